#include "datagram.h"

#include <algorithm>
#include <charconv>

namespace pendrake {

void BuildDatagram(std::int32_t facility, std::int32_t priority, std::string_view message, NarrowText& out) {
  // Widened so that no pair of 32-bit values can overflow, whatever a caller passes.
  const std::int64_t pri = std::int64_t{facility} * 8 + priority;
  char prefix[24];
  char* end = prefix;
  *end++ = '<';
  end = std::to_chars(end, prefix + sizeof prefix, pri).ptr;
  *end++ = '>';
  const auto prefixSize = static_cast<std::size_t>(end - prefix);
  const std::size_t body = std::min(message.size(), kMaxDatagramSize - prefixSize);
  char* room = out.Allocate(prefixSize + body);
  std::copy(prefix, end, room);
  std::copy_n(message.data(), body, room + prefixSize);
}

}  // namespace pendrake
