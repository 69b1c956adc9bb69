#include "sockets_adapter.h"

#include <climits>
#include <cstring>

#include <winsock2.h>

namespace pendrake::win32 {

SocketsStartup SocketsAdapter::Start(std::uint16_t version) {
  WSADATA data{};
  if (WSAStartup(static_cast<WORD>(version), &data) != 0) return {};
  return SocketsStartup(*this, data.wVersion);
}

UdpSocket SocketsAdapter::OpenUdpSocket() {
  const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, 0);
  if (socket == INVALID_SOCKET) return {};
  return UdpSocket(*this, socket);
}

bool SocketsAdapter::Bind(std::uintptr_t socket) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = 0;
  return bind(static_cast<SOCKET>(socket), reinterpret_cast<const sockaddr*>(&local), sizeof local) != SOCKET_ERROR;
}

bool SocketsAdapter::Send(std::uintptr_t socket, std::string_view datagram, std::uint32_t address,
                          std::uint16_t port) {
  if (datagram.size() > INT_MAX) return false;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = address;
  to.sin_port = htons(port);
  return sendto(static_cast<SOCKET>(socket), datagram.data(), static_cast<int>(datagram.size()), 0,
                reinterpret_cast<const sockaddr*>(&to), sizeof to) != SOCKET_ERROR;
}

// One WSACleanup for each start that succeeded.
void SocketsAdapter::Release(StartupKind, std::uintptr_t) noexcept { WSACleanup(); }

void SocketsAdapter::Release(SocketKind, std::uintptr_t socket) noexcept { closesocket(static_cast<SOCKET>(socket)); }

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
