#include "datagram.h"

namespace pendrake {

std::string BuildDatagram(std::int32_t facility, std::int32_t priority, std::string_view message) {
  // Widened so that no pair of 32-bit values can overflow, whatever a caller passes.
  const std::int64_t pri = std::int64_t{facility} * 8 + priority;
  std::string datagram;
  datagram.reserve(kDatagramBufferSize);
  datagram.push_back('<');
  datagram.append(std::to_string(pri));
  datagram.push_back('>');
  const std::size_t room = kMaxDatagramSize - datagram.size();
  datagram.append(message.substr(0, room));
  return datagram;
}

}  // namespace pendrake
