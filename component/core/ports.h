// The ports through which the logger reaches the platform. Each names only what the logger
// needs; a Win32 adapter implements it, and a test fake can make any step fail.
// Everything a port hands out as an owner (key, sockets start-up, socket, event source) is
// released when the owner is destroyed, so no path of the logger can leak it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "character_cut.h"
#include "narrow_text.h"

namespace pendrake {

// ---- Registry -------------------------------------------------------------------------------

// A key opened for reading; closed when destroyed.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // The value's data when it fits into a buffer of bufferSize bytes; std::nullopt when the
  // value is missing, unreadable or larger than the buffer. The stored type is not looked at.
  virtual std::optional<std::vector<std::uint8_t>> ReadValue(const char* valueName,
                                                             std::size_t bufferSize) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens a key under HKEY_LOCAL_MACHINE for reading only (never creates it);
  // nullptr when it is missing or cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenLocalMachineKeyForReading(const char* subKey) = 0;
};

// ---- Owners ---------------------------------------------------------------------------------

// Everything a port hands out for the length of one call is held by value: acquiring it costs
// no heap allocation, which matters because each logging call acquires and releases afresh.
// The owner gives its handle back to the port that issued it, once, when it goes.
template <typename Port, typename Kind>
class PortOwner {
 public:
  PortOwner() noexcept = default;  // holds nothing
  PortOwner(Port& port, std::uintptr_t handle) noexcept : port_(&port), handle_(handle) {}
  PortOwner(PortOwner&& other) noexcept : port_(std::exchange(other.port_, nullptr)), handle_(other.handle_) {}
  PortOwner& operator=(PortOwner&& other) noexcept {
    if (this != &other) {
      reset();
      port_ = std::exchange(other.port_, nullptr);
      handle_ = other.handle_;
    }
    return *this;
  }
  PortOwner(const PortOwner&) = delete;
  PortOwner& operator=(const PortOwner&) = delete;
  ~PortOwner() { reset(); }

  explicit operator bool() const noexcept { return port_ != nullptr; }
  void reset() noexcept {
    if (Port* port = std::exchange(port_, nullptr)) port->Release(Kind{}, handle_);
  }

 protected:
  Port* port_ = nullptr;
  std::uintptr_t handle_ = 0;
};

// ---- Sockets --------------------------------------------------------------------------------

class Sockets;
struct StartupKind {};
struct SocketKind {};

// An IPv6 address: its 16 bytes in network order, and the scope (the interface) that a
// link-local address needs.
struct Ipv6Address {
  std::array<std::uint8_t, 16> bytes{};
  std::uint32_t scopeId = 0;
  friend bool operator==(const Ipv6Address&, const Ipv6Address&) = default;
};

// A started sockets layer; cleaned up (once) when destroyed.
class SocketsStartup : public PortOwner<Sockets, StartupKind> {
 public:
  using PortOwner::PortOwner;
  // The version the layer reported, major in the low byte as WSADATA::wVersion has it.
  // The owner keeps it as its handle: the layer itself has none.
  std::uint16_t Version() const noexcept { return static_cast<std::uint16_t>(handle_); }
};

// An open UDP socket; closed when destroyed.
class UdpSocket : public PortOwner<Sockets, SocketKind> {
 public:
  using PortOwner::PortOwner;
  // Binds to 0.0.0.0, port 0.
  bool BindToAnyAddress();
  // address: an IPv4 address as inet_addr returns it (network byte order in memory);
  // port in host byte order. Returns whether the send was accepted.
  bool SendTo(std::string_view datagram, std::uint32_t address, std::uint16_t port);
};

// An open IPv6 UDP socket; closed when destroyed.
class Udp6Socket : public PortOwner<Sockets, SocketKind> {
 public:
  using PortOwner::PortOwner;
  // Binds to [::], port 0.
  bool BindToAnyAddress();
  // port in host byte order. Returns whether the send was accepted.
  bool SendTo(std::string_view datagram, const Ipv6Address& address, std::uint16_t port);
};

class Sockets {
 public:
  virtual ~Sockets() = default;
  // Starts the sockets layer asking for `version` (major in the low byte);
  // an empty owner when the start fails.
  virtual SocketsStartup Start(std::uint16_t version) = 0;
  // An AF_INET / SOCK_DGRAM / protocol 0 socket; an empty owner when it cannot be created.
  virtual UdpSocket OpenUdpSocket() = 0;
  // The port (host byte order) of a service in the system's service database.
  virtual std::optional<std::uint16_t> ServicePort(const char* service, const char* protocol) = 0;
  // inet_addr: the dotted address, or 0xFFFFFFFF (INADDR_NONE) when the text is none.
  virtual std::uint32_t ParseDottedAddress(const char* text) = 0;
  // gethostbyname: the first IPv4 address of the host entry (as inet_addr returns it),
  // std::nullopt when the name is not found.
  virtual std::optional<std::uint32_t> LookUpHost(const char* name) = 0;
  // An AF_INET6 / SOCK_DGRAM / protocol 0 socket; an empty owner when it cannot be created.
  virtual Udp6Socket OpenUdp6Socket() = 0;
  // An IPv6 address written as text (a scope may follow after "%"), read without any look-up;
  // std::nullopt when the text is none.
  virtual std::optional<Ipv6Address> ParseIpv6Address(const char* text) = 0;
  // The first IPv6 address that the name look-up gives; std::nullopt when there is none.
  virtual std::optional<Ipv6Address> LookUpIpv6Host(const char* name) = 0;

 protected:
  friend class PortOwner<Sockets, StartupKind>;
  friend class PortOwner<Sockets, SocketKind>;
  friend class UdpSocket;
  friend class Udp6Socket;
  virtual bool Bind(std::uintptr_t socket) = 0;
  virtual bool Send(std::uintptr_t socket, std::string_view datagram, std::uint32_t address,
                    std::uint16_t port) = 0;
  virtual bool Bind6(std::uintptr_t socket) = 0;
  virtual bool Send6(std::uintptr_t socket, std::string_view datagram, const Ipv6Address& address,
                     std::uint16_t port) = 0;
  // Cleans up one start; `version` is what the start reported.
  virtual void Release(StartupKind, std::uintptr_t version) noexcept = 0;
  // Closes the socket.
  virtual void Release(SocketKind, std::uintptr_t socket) noexcept = 0;
};

inline bool UdpSocket::BindToAnyAddress() { return port_->Bind(handle_); }
inline bool UdpSocket::SendTo(std::string_view datagram, std::uint32_t address, std::uint16_t port) {
  return port_->Send(handle_, datagram, address, port);
}
inline bool Udp6Socket::BindToAnyAddress() { return port_->Bind6(handle_); }
inline bool Udp6Socket::SendTo(std::string_view datagram, const Ipv6Address& address, std::uint16_t port) {
  return port_->Send6(handle_, datagram, address, port);
}

// ---- Event log ------------------------------------------------------------------------------

class EventLog;
struct EventSourceKind {};

// A registered event source; deregistered when destroyed.
class EventSource : public PortOwner<EventLog, EventSourceKind> {
 public:
  using PortOwner::PortOwner;
  // Reports one entry with no user SID and no raw data. Returns whether the report succeeded.
  bool Report(std::uint16_t type, std::uint16_t category, std::uint32_t eventId,
              std::span<const char* const> strings);
};

class EventLog {
 public:
  virtual ~EventLog() = default;
  // computer/source may be nullptr (local computer / no source name).
  // An empty owner when the platform gives no handle.
  virtual EventSource RegisterSource(const char* computer, const char* source) = 0;

 protected:
  friend class PortOwner<EventLog, EventSourceKind>;
  friend class EventSource;
  virtual bool Report(std::uintptr_t source, std::uint16_t type, std::uint16_t category, std::uint32_t eventId,
                      std::span<const char* const> strings) = 0;
  // Deregisters the source.
  virtual void Release(EventSourceKind, std::uintptr_t source) noexcept = 0;
};

inline bool EventSource::Report(std::uint16_t type, std::uint16_t category, std::uint32_t eventId,
                                std::span<const char* const> strings) {
  return port_->Report(handle_, type, category, eventId, strings);
}

// ---- Code page and debugger output ----------------------------------------------------------

// The ANSI code page of the calling thread's locale.
class CodePage {
 public:
  virtual ~CodePage() = default;
  // Replaces `out` with the text in the code page; a character the code page lacks becomes
  // the code page's default character. Throws std::bad_alloc when memory runs out.
  virtual void ToNarrow(std::u16string_view text, NarrowText& out) = 0;
  virtual std::u16string ToWide(std::string_view text) = 0;
  // Where the code page's characters begin and end; asked only when a text must be cut.
  virtual CodePageLayout Layout() = 0;
  // How many UTF-16 units the 8-bit text becomes in the system's ANSI code page (CP_ACP), which
  // need not be the thread's: ReportEventA widens its strings with it. No ANSI code page makes
  // more than one unit of one byte, so the answer is at most text.size().
  virtual std::size_t SystemWidenedLength(std::string_view text) = 0;
};

class DebugOutput {
 public:
  virtual ~DebugOutput() = default;
  virtual void Write(const char* line) = 0;
};

// The bundle handed to every logger. The ports outlive the loggers that use them.
struct Platform {
  Registry& registry;
  Sockets& sockets;
  EventLog& eventLog;
  CodePage& codePage;
  DebugOutput& debugOutput;
};

}  // namespace pendrake
