#include "syslog_sender.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "datagram.h"
#include "debug_lines.h"
#include "text_conversion.h"

namespace pendrake {

std::uint16_t ChooseSyslogPort(Sockets& sockets, std::int32_t configuredPort) {
  const auto low = static_cast<std::uint16_t>(static_cast<std::uint32_t>(configuredPort) & 0xFFFFu);
  if (low != 0) return low;
  // Asked on every call: the service database may change while objects live. A port whose
  // low 16 bits are 0 (65536, say) would put port 0 on the wire, where nothing can listen,
  // so it takes the service port as 0 itself does.
  if (auto service = sockets.ServicePort("syslog", "udp"); service && *service != 0) return *service;
  return kFallbackSyslogPort;
}

namespace {

// ::ffff:a.b.c.d is the IPv4 address a.b.c.d written in IPv6 form. Windows opens IPv6 sockets
// with IPV6_V6ONLY on, and such a socket reaches no IPv4 address: the datagram would be lost
// while the call succeeds. It goes out over IPv4 to the address it names instead.
SyslogAddress Ipv4WhereMapped(const Ipv6Address& address) {
  static constexpr std::array<std::uint8_t, 12> kMappedPrefix{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
  if (!std::equal(kMappedPrefix.begin(), kMappedPrefix.end(), address.bytes.begin())) return address;
  std::uint32_t ipv4 = 0;  // in network order in memory, as inet_addr gives it
  std::memcpy(&ipv4, address.bytes.data() + kMappedPrefix.size(), sizeof ipv4);
  return ipv4;
}

}  // namespace

std::optional<SyslogAddress> ChooseSyslogAddress(Sockets& sockets, const char* server) {
  // A colon belongs to no host name and to no dotted address: the text is an IPv6 address,
  // read as it is written and never looked up.
  if (std::string_view(server).find(':') != std::string_view::npos) {
    if (std::optional<Ipv6Address> address = sockets.ParseIpv6Address(server)) return Ipv4WhereMapped(*address);
    return std::nullopt;
  }
  if (server[0] >= '0' && server[0] <= '9') {
    // A dotted address needs no look-up. A name that merely starts with a digit
    // ("4th-floor-gw") is no address: inet_addr gives the all-ones broadcast address for it,
    // where the datagram would be dropped, so it is looked up by name instead.
    const std::uint32_t address = sockets.ParseDottedAddress(server);
    if (address != kNoAddress || std::string_view(server) == "255.255.255.255") return address;
  }
  if (std::optional<std::uint32_t> address = sockets.LookUpHost(server)) return *address;
  // gethostbyname knows IPv4 only; a name with nothing but IPv6 addresses is asked for those.
  if (std::optional<Ipv6Address> address = sockets.LookUpIpv6Host(server)) return Ipv4WhereMapped(*address);
  return std::nullopt;
}

namespace {

// Whether a socket of either family was opened and bound; the debugger output says which step
// failed.
template <typename Socket>
bool OpenedAndBound(Socket& socket, DebugOutput& debugOutput) {
  if (!socket) {
    debugOutput.Write(kInvalidSocketLine);
    return false;
  }
  if (!socket.BindToAnyAddress()) {
    debugOutput.Write(kBindFailedLine);
    return false;
  }
  return true;
}

}  // namespace

void SendSyslogMessage(Platform& platform, const SyslogSettings& settings,
                       const char16_t* messageOrNull) {
  if (!settings.server) {
    // No destination at all: say so once and acquire nothing.
    platform.debugOutput.Write(kNoSyslogServerLine);
    return;
  }
  // Every character (or surrogate pair) gives at least one byte, so no character past this
  // prefix can reach the datagram: a huge message costs no more than a full one.
  std::u16string_view message = messageOrNull ? std::u16string_view(messageOrNull) : std::u16string_view();
  message = message.substr(0, 2 * kMaxDatagramSize);
  NarrowText datagram;
  {
    NarrowText narrowMessage;
    platform.codePage.ToNarrow(message, narrowMessage);
    std::string_view body = narrowMessage.view();
    // A cut in the middle of a double-byte or UTF-8 character would end the datagram in half a
    // character: it goes back to the last whole one. What fits is never looked at.
    if (const std::size_t room = MessageRoom(settings.facility, settings.priority); body.size() > room) {
      body = body.substr(0, WholeCharacterPrefixSize(body, room, platform.codePage.Layout()));
    }
    BuildDatagram(settings.facility, settings.priority, body, datagram);
  }

  Sockets& sockets = platform.sockets;
  // Only a start that reports version 1.1 is kept; any other start is cleaned up at once when
  // its owner goes. Either way the call goes on, and the socket creation shows the trouble.
  SocketsStartup started = sockets.Start(kWinsockVersion11);
  if (started && started.Version() != kWinsockVersion11) started.reset();

  NarrowText server;
  ToNarrow(platform.codePage, settings.server, server);

  UdpSocket socket = sockets.OpenUdpSocket();
  if (!OpenedAndBound(socket, platform.debugOutput)) return;
  const std::uint16_t port = ChooseSyslogPort(sockets, settings.port);
  const std::optional<SyslogAddress> address = ChooseSyslogAddress(sockets, server.c_str());
  if (!address) return;
  // Fire and forget: a failed send is not reported.
  if (const auto* ipv4 = std::get_if<std::uint32_t>(&*address)) {
    (void)socket.SendTo(datagram.view(), *ipv4, port);
    return;
  }
  // IPv6 takes a socket of its own, opened and bound as the IPv4 one, which is of no use now.
  socket.reset();
  Udp6Socket socket6 = sockets.OpenUdp6Socket();
  if (!OpenedAndBound(socket6, platform.debugOutput)) return;
  (void)socket6.SendTo(datagram.view(), std::get<Ipv6Address>(*address), port);
}  // sockets closed, then the sockets layer cleaned up, in reverse order of acquisition

}  // namespace pendrake
