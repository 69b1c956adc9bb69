#include "sockets_adapter.h"

#include <climits>
#include <cstring>

#include "handles.h"

namespace pendrake::win32 {
namespace {

class Startup final : public SocketsStartup {
 public:
  explicit Startup(std::unique_ptr<WinsockStartup> startup) : startup_(std::move(startup)) {}
  std::uint16_t Version() const override { return startup_->version(); }

 private:
  std::unique_ptr<WinsockStartup> startup_;
};

class Socket final : public UdpSocket {
 public:
  explicit Socket(UniqueSocket socket) : socket_(std::move(socket)) {}

  bool BindToAnyAddress() override {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    return bind(socket_.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != SOCKET_ERROR;
  }

  bool SendTo(std::string_view datagram, std::uint32_t address, std::uint16_t port) override {
    if (datagram.size() > INT_MAX) return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    to.sin_port = htons(port);
    return sendto(socket_.get(), datagram.data(), static_cast<int>(datagram.size()), 0,
                  reinterpret_cast<const sockaddr*>(&to), sizeof to) != SOCKET_ERROR;
  }

 private:
  UniqueSocket socket_;
};

}  // namespace

std::unique_ptr<SocketsStartup> SocketsAdapter::Start(std::uint16_t version) {
  auto startup = std::make_unique<WinsockStartup>(static_cast<WORD>(version));
  if (!startup->started()) return nullptr;
  return std::make_unique<Startup>(std::move(startup));
}

std::unique_ptr<UdpSocket> SocketsAdapter::OpenUdpSocket() {
  UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, 0));
  if (!socket) return nullptr;
  return std::make_unique<Socket>(std::move(socket));
}

std::optional<std::uint16_t> SocketsAdapter::ServicePort(const char* service, const char* protocol) {
  const servent* entry = getservbyname(service, protocol);
  if (entry == nullptr) return std::nullopt;
  return ntohs(static_cast<u_short>(entry->s_port));
}

std::uint32_t SocketsAdapter::ParseDottedAddress(const char* text) { return inet_addr(text); }

std::optional<std::uint32_t> SocketsAdapter::LookUpHost(const char* name) {
  const hostent* host = gethostbyname(name);
  if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != 4 ||
      host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) {
    return std::nullopt;
  }
  // The bytes are taken as they are (network order): no round trip through signed text.
  std::uint32_t address = 0;
  std::memcpy(&address, host->h_addr_list[0], sizeof address);
  return address;
}

}  // namespace pendrake::win32
