#include "loopback_receiver.h"

#include <ws2tcpip.h>

namespace pendrake::winetest {

LoopbackReceiver::LoopbackReceiver(std::uint16_t port, int family) : family_(family) {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  socket_ = ::socket(family, SOCK_DGRAM, IPPROTO_UDP);
  if (socket_ == INVALID_SOCKET) {
    error_ = "socket failed: " + std::to_string(WSAGetLastError());
    return;
  }
  sockaddr_storage local{};
  int localSize = sizeof(sockaddr_in);
  if (family == AF_INET6) {
    auto& local6 = reinterpret_cast<sockaddr_in6&>(local);
    local6.sin6_family = AF_INET6;
    local6.sin6_addr = in6addr_loopback;
    local6.sin6_port = htons(port);
    localSize = sizeof local6;
  } else {
    auto& local4 = reinterpret_cast<sockaddr_in&>(local);
    local4.sin_family = AF_INET;
    local4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    local4.sin_port = htons(port);
  }
  const std::string where = (family == AF_INET6 ? "[::1]:" : "127.0.0.1:") + std::to_string(port);
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (bind(socket_, reinterpret_cast<sockaddr*>(&local), localSize) == 0) {
      int length = sizeof local;
      if (getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length) == 0) {
        port_ = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(local).sin6_port
                                         : reinterpret_cast<sockaddr_in&>(local).sin_port);
        return;
      }
      break;
    }
    if (port == 0) break;  // a port of the system's choice is never busy
    Sleep(200);
  }
  error_ = "bind to " + where + " failed: " + std::to_string(WSAGetLastError());
  closesocket(socket_);
  socket_ = INVALID_SOCKET;
}

LoopbackReceiver::~LoopbackReceiver() {
  if (socket_ != INVALID_SOCKET) closesocket(socket_);
  if (started_) WSACleanup();
}

std::optional<LoopbackReceiver::Datagram> LoopbackReceiver::ReceiveDatagram(int timeoutMs) {
  if (socket_ == INVALID_SOCKET) return std::nullopt;
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(socket_, &readable);
  timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  if (select(0, &readable, nullptr, nullptr, &timeout) != 1) return std::nullopt;
  char buffer[65536];
  sockaddr_storage from{};
  int fromLength = sizeof from;
  const int received = recvfrom(socket_, buffer, static_cast<int>(sizeof buffer), 0,
                                reinterpret_cast<sockaddr*>(&from), &fromLength);
  if (received < 0) return std::nullopt;
  char address[INET6_ADDRSTRLEN] = {};
  std::uint16_t fromPort = 0;
  if (family_ == AF_INET6) {
    const auto& from6 = reinterpret_cast<const sockaddr_in6&>(from);
    inet_ntop(AF_INET6, &from6.sin6_addr, address, sizeof address);
    fromPort = ntohs(from6.sin6_port);
  } else {
    const auto& from4 = reinterpret_cast<const sockaddr_in&>(from);
    inet_ntop(AF_INET, &from4.sin_addr, address, sizeof address);
    fromPort = ntohs(from4.sin_port);
  }
  // Only the bytes that came: a caller that keeps many datagrams keeps no spare room with them.
  return Datagram{std::string(buffer, static_cast<std::size_t>(received)), address, fromPort};
}

std::optional<std::string> LoopbackReceiver::Receive(int timeoutMs) {
  auto datagram = ReceiveDatagram(timeoutMs);
  if (!datagram) return std::nullopt;
  return std::move(datagram->bytes);
}

int LoopbackReceiver::Drain() {
  int drained = 0;
  while (ReceiveDatagram(0)) ++drained;
  return drained;
}

int LoopbackReceiver::SetBufferSize(int bytes) {
  if (socket_ != INVALID_SOCKET) {
    setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes), sizeof bytes);
  }
  return BufferSize();
}

int LoopbackReceiver::BufferSize() const {
  int size = 0;
  int length = sizeof size;
  if (socket_ == INVALID_SOCKET ||
      getsockopt(socket_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&size), &length) != 0) {
    return 0;
  }
  return size;
}

}  // namespace pendrake::winetest
