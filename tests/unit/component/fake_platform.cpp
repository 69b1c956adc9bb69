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
  // As ReportEventA: one insertion string longer than 31,839 characters once widened with the
  // system's code page, or longer than a counted string's 65,534 bytes, fails the whole report.
  for (const char* string : strings) {
    const std::string_view text(string);
    if (text.size() > 65534 || (systemCodePage ? systemCodePage->SystemWidenedLength(text) : text.size()) > 31839) {
      return false;
    }
  }
  reports.push_back({type, category, id, std::vector<std::string>(strings.begin(), strings.end())});
  return true;
}

void FakeEventLog::Release(EventSourceKind, std::uintptr_t) noexcept { ++deregistrations; }

namespace {

bool IsDoubleByteLead(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

void AppendUtf8(char32_t c, std::string& out) {
  const int size = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  out.push_back(static_cast<char>((size == 1 ? 0 : 0xF00 >> size) | (c >> (6 * (size - 1)))));
  for (int shift = 6 * (size - 2); shift >= 0; shift -= 6) out.push_back(static_cast<char>(0x80 | ((c >> shift) & 0x3F)));
}

}  // namespace

void FakeCodePage::ToNarrow(std::u16string_view text, NarrowText& narrow) {
  if (++conversions == throwOnConversion) throw std::bad_alloc();
  if (text.size() > longestNarrowed) longestNarrowed = text.size();
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // As Windows does, a surrogate pair is one character and becomes one default character.
    const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (pair) ++i;
    if (thread == Kind::Utf8) {
      AppendUtf8(pair ? 0x10000 + ((c - 0xD800) << 10) + (text[i] - 0xDC00) : c, out);
    } else if (thread == Kind::DoubleByte && c >= 0x3041 && c <= 0x3093) {
      out += {'\x82', static_cast<char>(0x9F + (c - 0x3041))};
    } else {
      out.push_back(c <= (thread == Kind::Latin1 ? 0xFF : 0x7F) ? static_cast<char>(c) : '?');
    }
  }
  narrow.Assign(out);
}

std::u16string FakeCodePage::ToWide(std::string_view text) {
  if (++conversions == throwOnConversion) throw std::bad_alloc();
  std::u16string out;
  for (char c : text) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return out;
}

CodePageLayout FakeCodePage::Layout() {
  ++layoutQueries;
  CodePageLayout threadLayout = layout;
  threadLayout.utf8 |= thread == Kind::Utf8;
  for (int byte = 0; byte < 256 && thread == Kind::DoubleByte; ++byte) {
    threadLayout.leadBytes[byte] = IsDoubleByteLead(static_cast<char>(byte));
  }
  return threadLayout;
}

// As MultiByteToWideChar does with whole characters: UTF-8 makes one unit of each character and
// two of a four-byte one; the double-byte code page one of a lead byte and the byte after it.
std::size_t FakeCodePage::SystemWidenedLength(std::string_view text) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (system == Kind::Utf8) {
      units += (byte & 0xC0) == 0x80 ? 0 : byte >= 0xF0 ? 2 : 1;
    } else {
      ++units;
      if (system == Kind::DoubleByte && IsDoubleByteLead(text[i])) ++i;
    }
  }
  return units;
}

}  // namespace pendrake::testing
