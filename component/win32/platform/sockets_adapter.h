#pragma once

#include "ports.h"

namespace pendrake::win32 {

// Windows Sockets 1.1 calls, and the IPv6 socket and look-ups of Windows Sockets 2 for servers
// that have IPv6 addresses only.
class SocketsAdapter final : public Sockets {
 public:
  SocketsStartup Start(std::uint16_t version) override;
  UdpSocket OpenUdpSocket() override;
  std::optional<std::uint16_t> ServicePort(const char* service, const char* protocol) override;
  std::uint32_t ParseDottedAddress(const char* text) override;
  std::optional<std::uint32_t> LookUpHost(const char* name) override;
  Udp6Socket OpenUdp6Socket() override;
  std::optional<Ipv6Address> ParseIpv6Address(const char* text) override;
  std::optional<Ipv6Address> LookUpIpv6Host(const char* name) override;

 protected:
  bool Bind(std::uintptr_t socket) override;
  bool Send(std::uintptr_t socket, std::string_view datagram, std::uint32_t address, std::uint16_t port) override;
  bool Bind6(std::uintptr_t socket) override;
  bool Send6(std::uintptr_t socket, std::string_view datagram, const Ipv6Address& address,
             std::uint16_t port) override;
  void Release(StartupKind, std::uintptr_t version) noexcept override;
  void Release(SocketKind, std::uintptr_t socket) noexcept override;
};

}  // namespace pendrake::win32
