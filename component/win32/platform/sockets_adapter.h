#pragma once

#include "ports.h"

namespace pendrake::win32 {

// Windows Sockets 1.1 calls.
class SocketsAdapter final : public Sockets {
 public:
  std::unique_ptr<SocketsStartup> Start(std::uint16_t version) override;
  std::unique_ptr<UdpSocket> OpenUdpSocket() override;
  std::optional<std::uint16_t> ServicePort(const char* service, const char* protocol) override;
  std::uint32_t ParseDottedAddress(const char* text) override;
  std::optional<std::uint32_t> LookUpHost(const char* name) override;
};

}  // namespace pendrake::win32
