// One syslog message as one UDP datagram: every call starts the sockets layer, uses a socket
// of its own and releases both before it returns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "ports.h"

namespace pendrake {

inline constexpr std::uint16_t kWinsockVersion11 = 0x0101;
inline constexpr std::uint16_t kFallbackSyslogPort = 514;
inline constexpr std::uint32_t kNoAddress = 0xFFFFFFFFu;  // inet_addr's INADDR_NONE

struct SyslogSettings {
  const std::optional<std::u16string>& server;
  std::int32_t port;
  std::int32_t facility;
  std::int32_t priority;
};

void SendSyslogMessage(Platform& platform, const SyslogSettings& settings,
                       const char16_t* messageOrNull);

// The destination port (host byte order): the low 16 bits of the setting, else the service
// database's syslog/udp port, else 514.
std::uint16_t ChooseSyslogPort(Sockets& sockets, std::int32_t configuredPort);
// An IPv4 address as inet_addr gives it, or an IPv6 address.
using SyslogAddress = std::variant<std::uint32_t, Ipv6Address>;

// The destination address, or std::nullopt when the server (a terminated name) cannot be
// resolved. A dotted IPv4 address or an IPv6 address is taken as written; a name goes to its
// first IPv4 address and, when it has none, to its first IPv6 address. An IPv4-mapped IPv6
// address (::ffff:a.b.c.d) is the IPv4 address it names.
std::optional<SyslogAddress> ChooseSyslogAddress(Sockets& sockets, const char* server);

}  // namespace pendrake
