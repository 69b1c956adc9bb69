// Fakes of every port: each step can be made to fail, and every acquisition and release is
// counted, so a test can prove that nothing leaks on any path.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ports.h"

namespace pendrake::testing {

struct CallLog {
  std::vector<std::string> calls;  // in the order they happened
  void Add(std::string call) { calls.push_back(std::move(call)); }
};

class FakeRegistry final : public Registry {
 public:
  bool keyExists = true;
  std::map<std::string, std::vector<std::uint8_t>> values;
  std::vector<std::string> reads;  // value names, in the order they were asked
  std::string openedPath;
  int opens = 0;
  int closes = 0;

  void SetNumber(const std::string& name, std::uint32_t value) {
    values[name] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                    static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  }
  void SetText(const std::string& name, const std::string& text, bool terminated = true) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    if (terminated) data.push_back(0);
    values[name] = data;
  }

  std::unique_ptr<RegistryKey> OpenLocalMachineKeyForReading(const char* subKey) override;
};

class FakeSockets final : public Sockets {
 public:
  // What goes wrong
  bool startFails = false;
  std::uint16_t reportedVersion = 0x0101;
  bool socketFails = false;
  bool bindFails = false;
  bool sendFails = false;
  std::optional<std::uint16_t> servicePort;              // the service database's syslog/udp
  std::map<std::string, std::uint32_t> hosts;            // what the name look-up finds
  std::map<std::string, Ipv6Address> hosts6;             // what the IPv6 name look-up finds
  std::map<std::string, Ipv6Address> ipv6Texts;          // the IPv6 addresses the parser reads
  bool socket6Fails = false;
  bool bind6Fails = false;

  // What happened
  CallLog log;
  int starts = 0;
  int cleanups = 0;
  int socketsOpened = 0;
  int socketsClosed = 0;
  int serviceLookUps = 0;
  std::vector<std::string> hostLookUps;
  struct Sent {
    std::string datagram;
    std::uint32_t address;
    std::uint16_t port;
  };
  std::vector<Sent> sent;
  std::vector<std::string> hostLookUps6;
  struct Sent6 {
    std::string datagram;
    Ipv6Address address;
    std::uint16_t port;
  };
  std::vector<Sent6> sent6;

  int LiveStarts() const { return starts - cleanups; }

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

class FakeEventLog final : public EventLog {
 public:
  bool registerFails = false;
  bool reportFails = false;
  CodePage* systemCodePage = nullptr;  // widens the strings as ReportEventA does; none: Latin-1

  struct Registration {
    std::optional<std::string> computer;
    std::optional<std::string> source;
  };
  struct Report {
    std::uint16_t type;
    std::uint16_t category;
    std::uint32_t id;
    std::vector<std::string> strings;
  };
  std::vector<Registration> registrations;
  std::vector<Report> reports;
  int deregistrations = 0;

  EventSource RegisterSource(const char* computer, const char* source) override;

 protected:
  bool Report(std::uintptr_t source, std::uint16_t type, std::uint16_t category, std::uint32_t id,
              std::span<const char* const> strings) override;
  void Release(EventSourceKind, std::uintptr_t source) noexcept override;
};

// A Latin-1 code page: characters above U+00FF are missing and become '?'. Its layout is
// what a test sets: a Latin-1 byte made a lead byte stands in for a double-byte code page.
// The thread's code page (ToNarrow, Layout) and the system's (SystemWidenedLength) may each be
// UTF-8, or double-byte as 932 is for ASCII and hiragana (U+3041-U+3093 as 0x82 0x9F-0xF1).
class FakeCodePage final : public CodePage {
 public:
  enum class Kind { Latin1, DoubleByte, Utf8 };
  Kind thread = Kind::Latin1;
  Kind system = Kind::Latin1;
  std::size_t longestNarrowed = 0;  // characters in the longest text given to ToNarrow
  int conversions = 0;              // ToNarrow and ToWide calls so far
  int throwOnConversion = 0;        // 1-based call that runs out of memory; 0: never
  CodePageLayout layout;
  int layoutQueries = 0;
  void ToNarrow(std::u16string_view text, NarrowText& out) override;
  std::u16string ToWide(std::string_view text) override;
  CodePageLayout Layout() override;
  std::size_t SystemWidenedLength(std::string_view text) override;
};

class FakeDebugOutput final : public DebugOutput {
 public:
  std::vector<std::string> lines;
  void Write(const char* line) override { lines.emplace_back(line); }
};

struct FakePlatform {
  FakeRegistry registry;
  FakeSockets sockets;
  FakeEventLog eventLog;
  FakeCodePage codePage;
  FakeDebugOutput debugOutput;
  Platform platform{registry, sockets, eventLog, codePage, debugOutput};

  FakePlatform() {
    registry.keyExists = false;
    eventLog.systemCodePage = &codePage;
  }
};

// 1.2.3.4 as inet_addr gives it: the first byte lowest in memory order.
constexpr std::uint32_t Ipv4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  return std::uint32_t{a} | std::uint32_t{b} << 8 | std::uint32_t{c} << 16 | std::uint32_t{d} << 24;
}

// An IPv6 address whose last byte is `last` and whose other bytes are 0 (::1 for 1).
constexpr Ipv6Address Ipv6(std::uint8_t last, std::uint32_t scopeId = 0) {
  Ipv6Address address;
  address.bytes[15] = last;
  address.scopeId = scopeId;
  return address;
}

}  // namespace pendrake::testing
