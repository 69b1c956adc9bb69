#pragma once

#include "ports.h"

namespace pendrake::win32 {

// Windows Sockets 1.1 calls.
class SocketsAdapter final : public Sockets {
 public:
  SocketsStartup Start(std::uint16_t version) override;
  UdpSocket OpenUdpSocket() override;
  std::optional<std::uint16_t> ServicePort(const char* service, const char* protocol) override;
  std::uint32_t ParseDottedAddress(const char* text) override;
  std::optional<std::uint32_t> LookUpHost(const char* name) override;

 protected:
  bool Bind(std::uintptr_t socket) override;
  bool Send(std::uintptr_t socket, std::string_view datagram, std::uint32_t address, std::uint16_t port) override;
  void Release(StartupKind, std::uintptr_t version) noexcept override;
  void Release(SocketKind, std::uintptr_t socket) noexcept override;
};

}  // namespace pendrake::win32
