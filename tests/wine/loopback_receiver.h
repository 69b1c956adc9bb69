// The one UDP receiver of the Wine tests and their bench and soak programs: a socket on
// 127.0.0.1 (or [::1] for AF_INET6) with its own Winsock start-up, independent of the logger's.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace pendrake::winetest {

class LoopbackReceiver {
 public:
  // Port 0 lets the system choose one (see port()). Another test run on this machine may hold
  // a fixed port for a moment, so binding one is tried for a while.
  explicit LoopbackReceiver(std::uint16_t port = 0, int family = AF_INET);
  ~LoopbackReceiver();
  LoopbackReceiver(const LoopbackReceiver&) = delete;
  LoopbackReceiver& operator=(const LoopbackReceiver&) = delete;

  bool ok() const { return socket_ != INVALID_SOCKET; }
  const std::string& error() const { return error_; }
  std::uint16_t port() const { return port_; }

  struct Datagram {
    std::string bytes;
    std::string fromAddress;
    std::uint16_t fromPort = 0;
  };
  // The next datagram with its sender, or std::nullopt when none arrives within timeoutMs.
  std::optional<Datagram> ReceiveDatagram(int timeoutMs = 3000);
  // The bytes of the next datagram, or std::nullopt when none arrives within timeoutMs.
  std::optional<std::string> Receive(int timeoutMs = 3000);
  // Discards whatever has arrived; returns how many datagrams that was.
  int Drain();
  // Room for datagrams that arrive before they are read: many senders at once need more than
  // the system gives by default. Returns the size the system granted (0 when unknown).
  int SetBufferSize(int bytes);
  int BufferSize() const;

 private:
  bool started_ = false;
  int family_ = AF_INET;
  SOCKET socket_ = INVALID_SOCKET;
  std::uint16_t port_ = 0;
  std::string error_;
};

}  // namespace pendrake::winetest
