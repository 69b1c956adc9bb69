#include "sockets_adapter.h"

#include <climits>
#include <cstring>
#include <memory>

#include <winsock2.h>
#include <ws2tcpip.h>

namespace pendrake::win32 {
namespace {

// Wine keeps the sockets layer's start count in a plain integer, and the clean-up that takes it
// to zero closes every socket of the process. Two threads starting and cleaning up at the same
// moment can lose a count, and then one thread's clean-up closes the socket another thread is
// about to send on: that message is gone without a word. The component's starts and clean-ups
// therefore never overlap; the sends between them still run in parallel.
SRWLOCK g_startupLock = SRWLOCK_INIT;

class StartupLockGuard {
 public:
  StartupLockGuard() { AcquireSRWLockExclusive(&g_startupLock); }
  ~StartupLockGuard() { ReleaseSRWLockExclusive(&g_startupLock); }
  StartupLockGuard(const StartupLockGuard&) = delete;
  StartupLockGuard& operator=(const StartupLockGuard&) = delete;
};

struct FreeAddressList {
  void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

// The first IPv6 address getaddrinfo gives for the text; `flags` AI_NUMERICHOST forbids any
// look-up. The list it hands out is freed before the answer returns.
std::optional<Ipv6Address> FirstIpv6Address(const char* text, int flags) {
  addrinfo hints{};
  hints.ai_family = AF_INET6;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = flags;
  addrinfo* found = nullptr;
  if (getaddrinfo(text, nullptr, &hints, &found) != 0) return std::nullopt;
  const std::unique_ptr<addrinfo, FreeAddressList> list(found);
  for (const addrinfo* entry = list.get(); entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET6 || entry->ai_addr == nullptr || entry->ai_addrlen < sizeof(sockaddr_in6)) {
      continue;
    }
    sockaddr_in6 socketAddress;
    std::memcpy(&socketAddress, entry->ai_addr, sizeof socketAddress);
    Ipv6Address address;
    std::memcpy(address.bytes.data(), &socketAddress.sin6_addr, address.bytes.size());
    address.scopeId = socketAddress.sin6_scope_id;
    return address;
  }
  return std::nullopt;
}

// A SOCK_DGRAM socket of the family, protocol 0, in the port's owner of that family.
template <typename Owner>
Owner OpenDatagramSocket(Sockets& port, int family) {
  const SOCKET socket = ::socket(family, SOCK_DGRAM, 0);
  if (socket == INVALID_SOCKET) return {};
  return Owner(port, socket);
}

template <typename SocketAddress>
bool BindTo(std::uintptr_t socket, const SocketAddress& local) {
  return bind(static_cast<SOCKET>(socket), reinterpret_cast<const sockaddr*>(&local), sizeof local) != SOCKET_ERROR;
}

template <typename SocketAddress>
bool SendDatagram(std::uintptr_t socket, std::string_view datagram, const SocketAddress& to) {
  if (datagram.size() > INT_MAX) return false;
  return sendto(static_cast<SOCKET>(socket), datagram.data(), static_cast<int>(datagram.size()), 0,
                reinterpret_cast<const sockaddr*>(&to), sizeof to) != SOCKET_ERROR;
}

}  // namespace

SocketsStartup SocketsAdapter::Start(std::uint16_t version) {
  WSADATA data{};
  const StartupLockGuard guard;
  if (WSAStartup(static_cast<WORD>(version), &data) != 0) return {};
  return SocketsStartup(*this, data.wVersion);
}

UdpSocket SocketsAdapter::OpenUdpSocket() { return OpenDatagramSocket<UdpSocket>(*this, AF_INET); }

bool SocketsAdapter::Bind(std::uintptr_t socket) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = 0;
  return BindTo(socket, local);
}

bool SocketsAdapter::Send(std::uintptr_t socket, std::string_view datagram, std::uint32_t address,
                          std::uint16_t port) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = address;
  to.sin_port = htons(port);
  return SendDatagram(socket, datagram, to);
}

Udp6Socket SocketsAdapter::OpenUdp6Socket() { return OpenDatagramSocket<Udp6Socket>(*this, AF_INET6); }

bool SocketsAdapter::Bind6(std::uintptr_t socket) {
  sockaddr_in6 local{};
  local.sin6_family = AF_INET6;
  local.sin6_addr = in6addr_any;
  local.sin6_port = 0;
  return BindTo(socket, local);
}

bool SocketsAdapter::Send6(std::uintptr_t socket, std::string_view datagram, const Ipv6Address& address,
                           std::uint16_t port) {
  sockaddr_in6 to{};
  to.sin6_family = AF_INET6;
  std::memcpy(&to.sin6_addr, address.bytes.data(), address.bytes.size());
  to.sin6_scope_id = address.scopeId;
  to.sin6_port = htons(port);
  return SendDatagram(socket, datagram, to);
}

// One WSACleanup for each start that succeeded.
void SocketsAdapter::Release(StartupKind, std::uintptr_t) noexcept {
  const StartupLockGuard guard;
  WSACleanup();
}

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

std::optional<Ipv6Address> SocketsAdapter::ParseIpv6Address(const char* text) {
  return FirstIpv6Address(text, AI_NUMERICHOST);
}

std::optional<Ipv6Address> SocketsAdapter::LookUpIpv6Host(const char* name) { return FirstIpv6Address(name, 0); }

}  // namespace pendrake::win32
