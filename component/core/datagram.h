// The syslog datagram: "<PRI>message", no header, no terminator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "narrow_text.h"

namespace pendrake {

// The datagram is built in a buffer of this size and keeps one byte of it free.
inline constexpr std::size_t kDatagramBufferSize = 10240;
inline constexpr std::size_t kMaxDatagramSize = kDatagramBufferSize - 1;

// PRI = facility * 8 + priority; a longer result is cut to kMaxDatagramSize bytes.
void BuildDatagram(std::int32_t facility, std::int32_t priority, std::string_view message, NarrowText& out);

// How many message bytes fit into a datagram behind the "<PRI>" of these settings.
std::size_t MessageRoom(std::int32_t facility, std::int32_t priority);

}  // namespace pendrake
