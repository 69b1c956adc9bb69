#include "datagram.h"

#include <algorithm>
#include <charconv>

namespace pendrake {
namespace {

// "<PRI>" into `prefix`; returns its end.
char* WritePri(std::int32_t facility, std::int32_t priority, char (&prefix)[24]) {
  // Widened so that no pair of 32-bit values can overflow, whatever a caller passes.
  const std::int64_t pri = std::int64_t{facility} * 8 + priority;
  char* end = prefix;
  *end++ = '<';
  end = std::to_chars(end, prefix + sizeof prefix, pri).ptr;
  *end++ = '>';
  return end;
}

}  // namespace

void BuildDatagram(std::int32_t facility, std::int32_t priority, std::string_view message, NarrowText& out) {
  char prefix[24];
  char* end = WritePri(facility, priority, prefix);
  const auto prefixSize = static_cast<std::size_t>(end - prefix);
  const std::size_t body = std::min(message.size(), kMaxDatagramSize - prefixSize);
  char* room = out.Allocate(prefixSize + body);
  std::copy(prefix, end, room);
  std::copy_n(message.data(), body, room + prefixSize);
}

std::size_t MessageRoom(std::int32_t facility, std::int32_t priority) {
  char prefix[24];
  return kMaxDatagramSize - static_cast<std::size_t>(WritePri(facility, priority, prefix) - prefix);
}

}  // namespace pendrake
