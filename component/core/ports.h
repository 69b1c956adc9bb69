// The ports through which the logger reaches the platform. Each names only what the logger
// needs; a Win32 adapter implements it, and a test fake can make any step fail.
// Everything a port hands out as an owner (key, sockets start-up, socket, event source) is
// released when the owner is destroyed, so no path of the logger can leak it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// ---- Sockets --------------------------------------------------------------------------------

// A started sockets layer; cleaned up (once) when destroyed.
class SocketsStartup {
 public:
  virtual ~SocketsStartup() = default;
  // The version the layer reported, major in the low byte as WSADATA::wVersion has it.
  virtual std::uint16_t Version() const = 0;
};

// An open UDP socket; closed when destroyed.
class UdpSocket {
 public:
  virtual ~UdpSocket() = default;
  // Binds to 0.0.0.0, port 0.
  virtual bool BindToAnyAddress() = 0;
  // address: an IPv4 address as inet_addr returns it (network byte order in memory);
  // port in host byte order. Returns whether the send was accepted.
  virtual bool SendTo(std::string_view datagram, std::uint32_t address, std::uint16_t port) = 0;
};

class Sockets {
 public:
  virtual ~Sockets() = default;
  // Starts the sockets layer asking for `version` (major in the low byte);
  // nullptr when the start fails.
  virtual std::unique_ptr<SocketsStartup> Start(std::uint16_t version) = 0;
  // An AF_INET / SOCK_DGRAM / protocol 0 socket; nullptr when it cannot be created.
  virtual std::unique_ptr<UdpSocket> OpenUdpSocket() = 0;
  // The port (host byte order) of a service in the system's service database.
  virtual std::optional<std::uint16_t> ServicePort(const char* service, const char* protocol) = 0;
  // inet_addr: the dotted address, or 0xFFFFFFFF (INADDR_NONE) when the text is none.
  virtual std::uint32_t ParseDottedAddress(const char* text) = 0;
  // gethostbyname: the first IPv4 address of the host entry (as inet_addr returns it),
  // std::nullopt when the name is not found.
  virtual std::optional<std::uint32_t> LookUpHost(const char* name) = 0;
};

// ---- Event log ------------------------------------------------------------------------------

// A registered event source; deregistered when destroyed.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // Reports one entry with no user SID and no raw data. Returns whether the report succeeded.
  virtual bool Report(std::uint16_t type, std::uint16_t category, std::uint32_t eventId,
                      std::span<const char* const> strings) = 0;
};

class EventLog {
 public:
  virtual ~EventLog() = default;
  // computer/source may be nullptr (local computer / no source name).
  // nullptr when the platform gives no handle.
  virtual std::unique_ptr<EventSource> RegisterSource(const char* computer, const char* source) = 0;
};

// ---- Code page and debugger output ----------------------------------------------------------

// The ANSI code page of the calling thread's locale.
class CodePage {
 public:
  virtual ~CodePage() = default;
  // A character the code page lacks becomes the code page's default character.
  virtual std::string ToNarrow(std::u16string_view text) = 0;
  virtual std::u16string ToWide(std::string_view text) = 0;
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
