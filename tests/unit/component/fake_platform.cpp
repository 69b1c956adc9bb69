#include "fake_platform.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace pendrake::testing {
namespace {

class FakeKey final : public RegistryKey {
 public:
  explicit FakeKey(FakeRegistry& registry) : registry_(registry) {}
  ~FakeKey() override { ++registry_.closes; }

  std::optional<std::vector<std::uint8_t>> ReadValue(const char* valueName, std::size_t bufferSize) override {
    registry_.reads.emplace_back(valueName);
    auto it = registry_.values.find(valueName);
    if (it == registry_.values.end() || it->second.size() > bufferSize) return std::nullopt;
    return it->second;
  }

 private:
  FakeRegistry& registry_;
};

}  // namespace

std::unique_ptr<RegistryKey> FakeRegistry::OpenLocalMachineKeyForReading(const char* subKey) {
  openedPath = subKey;
  if (!keyExists) return nullptr;
  ++opens;
  return std::make_unique<FakeKey>(*this);
}

SocketsStartup FakeSockets::Start(std::uint16_t version) {
  log.Add("start");
  if (startFails || version != 0x0101) return {};
  ++starts;
  return SocketsStartup(*this, reportedVersion);
}

UdpSocket FakeSockets::OpenUdpSocket() {
  log.Add("socket");
  // As with Winsock, no socket without a started layer.
  if (socketFails || LiveStarts() <= 0) return {};
  ++socketsOpened;
  return UdpSocket(*this, static_cast<std::uintptr_t>(socketsOpened));
}

Udp6Socket FakeSockets::OpenUdp6Socket() {
  log.Add("socket6");
  if (socket6Fails || LiveStarts() <= 0) return {};
  ++socketsOpened;
  return Udp6Socket(*this, static_cast<std::uintptr_t>(socketsOpened));
}

bool FakeSockets::Bind6(std::uintptr_t) {
  log.Add("bind6");
  return !bind6Fails;
}

bool FakeSockets::Send6(std::uintptr_t, std::string_view datagram, const Ipv6Address& address, std::uint16_t port) {
  log.Add("send6");
  if (sendFails) return false;
  sent6.push_back({std::string(datagram), address, port});
  return true;
}

std::optional<Ipv6Address> FakeSockets::ParseIpv6Address(const char* text) {
  log.Add("parse6");
  auto it = ipv6Texts.find(text);
  if (it == ipv6Texts.end()) return std::nullopt;
  return it->second;
}

std::optional<Ipv6Address> FakeSockets::LookUpIpv6Host(const char* name) {
  log.Add("lookup6");
  hostLookUps6.emplace_back(name);
  auto it = hosts6.find(name);
  if (it == hosts6.end()) return std::nullopt;
  return it->second;
}

bool FakeSockets::Bind(std::uintptr_t) {
  log.Add("bind");
  return !bindFails;
}

bool FakeSockets::Send(std::uintptr_t, std::string_view datagram, std::uint32_t address, std::uint16_t port) {
  log.Add("send");
  if (sendFails) return false;
  sent.push_back({std::string(datagram), address, port});
  return true;
}

void FakeSockets::Release(StartupKind, std::uintptr_t) noexcept {
  ++cleanups;
  log.Add("cleanup");
}

void FakeSockets::Release(SocketKind, std::uintptr_t) noexcept {
  ++socketsClosed;
  log.Add("close");
}

std::optional<std::uint16_t> FakeSockets::ServicePort(const char* service, const char* protocol) {
  log.Add("service");
  ++serviceLookUps;
  if (std::string(service) != "syslog" || std::string(protocol) != "udp") return std::nullopt;
  return servicePort;
}

std::uint32_t FakeSockets::ParseDottedAddress(const char* text) {
  // Four decimal parts of 0..255 and nothing else; enough for the cases under test.
  std::uint32_t address = 0;
  const char* p = text;
  for (int part = 0; part < 4; ++part) {
    if (*p < '0' || *p > '9') return 0xFFFFFFFFu;
    char* end = nullptr;
    const long value = std::strtol(p, &end, 10);
    if (value > 255) return 0xFFFFFFFFu;
    address |= static_cast<std::uint32_t>(value) << (8 * part);
    p = end;
    if (part < 3) {
      if (*p != '.') return 0xFFFFFFFFu;
      ++p;
    }
  }
  return *p == '\0' ? address : 0xFFFFFFFFu;
}

std::optional<std::uint32_t> FakeSockets::LookUpHost(const char* name) {
  log.Add("lookup");
  hostLookUps.emplace_back(name);
  auto it = hosts.find(name);
  if (it == hosts.end()) return std::nullopt;
  return it->second;
}

EventSource FakeEventLog::RegisterSource(const char* computer, const char* source) {
  registrations.push_back({computer ? std::optional<std::string>(computer) : std::nullopt,
                           source ? std::optional<std::string>(source) : std::nullopt});
  if (registerFails) return {};
  return EventSource(*this, registrations.size());
}

bool FakeEventLog::Report(std::uintptr_t, std::uint16_t type, std::uint16_t category, std::uint32_t id,
                          std::span<const char* const> strings) {
  if (reportFails) return false;
  // As ReportEventA: one insertion string longer than 31,839 characters fails the whole report.
  for (const char* string : strings) {
    if (std::strlen(string) > 31839) return false;
  }
  reports.push_back({type, category, id, std::vector<std::string>(strings.begin(), strings.end())});
  return true;
}

void FakeEventLog::Release(EventSourceKind, std::uintptr_t) noexcept { ++deregistrations; }

void FakeCodePage::ToNarrow(std::u16string_view text, NarrowText& narrow) {
  if (++conversions == throwOnConversion) throw std::bad_alloc();
  if (text.size() > longestNarrowed) longestNarrowed = text.size();
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // As Windows does, a surrogate pair is one character and becomes one default character.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
    out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  }
  narrow.Assign(out);
}

std::u16string FakeCodePage::ToWide(std::string_view text) {
  if (++conversions == throwOnConversion) throw std::bad_alloc();
  std::u16string out;
  for (char c : text) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace pendrake::testing
