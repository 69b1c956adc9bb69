// The stored defaults: which values a new logger takes over, and which it leaves alone.
#include <gtest/gtest.h>

#include <climits>

#include "fake_platform.h"
#include "logger.h"
#include "text_helpers.h"

namespace pendrake::testing {
namespace {

struct Settings {
  Text server;
  std::int32_t port;
  std::int32_t priority;
  std::int32_t facility;
  Text source;
  std::int32_t type;
  std::int32_t id;
  Text computer;
};

const Settings kBuiltIn{std::nullopt, 0, 5, 16, Text(u"Orvelle Pendrake"), 4, 0, std::nullopt};
// What StoreAll() writes, as the logger should show it.
const Settings kStored{Text(u"10.0.0.5"), 1468, 3, 4, Text(u"Stored Source"), 2, 77, Text(u"HOST7")};

void StoreAll(FakeRegistry& r, std::uint32_t boot) {
  r.keyExists = true;
  r.SetNumber("bBootFromRegistry", boot);
  r.SetNumber("iSyslogFacility", 4);
  r.SetNumber("iSyslogPriority", 3);
  r.SetNumber("iSyslogPort", 1468);
  r.SetText("szSyslogServer", "10.0.0.5");
  r.SetText("szEventLogComputer", "HOST7");
  r.SetText("szEventLogSource", "Stored Source");
  r.SetNumber("iEventLogID", 77);
  r.SetNumber("iEventLogType", 2);
}

Settings Read(const Logger& l) {
  return {l.SyslogServer(), l.SyslogPort(), l.SyslogPriority(), l.SyslogFacility(),
          l.EventLogSource(), l.EventLogType(), l.EventLogID(), l.EventLogComputer()};
}

void ExpectSettings(const Settings& got, const Settings& want, const std::string& context) {
  EXPECT_EQ(got.server, want.server) << context << ": SyslogServer " << Show(got.server);
  EXPECT_EQ(got.port, want.port) << context << ": SyslogPort";
  EXPECT_EQ(got.priority, want.priority) << context << ": SyslogPriority";
  EXPECT_EQ(got.facility, want.facility) << context << ": SyslogFacility";
  EXPECT_EQ(got.source, want.source) << context << ": EventLogSource " << Show(got.source);
  EXPECT_EQ(got.type, want.type) << context << ": EventLogType";
  EXPECT_EQ(got.id, want.id) << context << ": EventLogID";
  EXPECT_EQ(got.computer, want.computer) << context << ": EventLogComputer " << Show(got.computer);
}

std::vector<std::uint8_t> Bytes(std::initializer_list<std::uint8_t> b) { return b; }
std::vector<std::uint8_t> Filled(std::size_t n, std::uint8_t byte) { return std::vector<std::uint8_t>(n, byte); }
std::u16string Repeated(std::size_t n, char16_t c) { return std::u16string(n, c); }

struct Case {
  const char* what;
  void (*arrange)(FakeRegistry&);
  Settings (*expect)();
};

const Case kCases[] = {
    {"no key", [](FakeRegistry& r) { r.keyExists = false; }, [] { return kBuiltIn; }},
    {"key without bBootFromRegistry", [](FakeRegistry& r) { StoreAll(r, 1); r.values.erase("bBootFromRegistry"); },
     [] { return kBuiltIn; }},
    {"bBootFromRegistry 0", [](FakeRegistry& r) { StoreAll(r, 0); }, [] { return kBuiltIn; }},
    {"bBootFromRegistry 1", [](FakeRegistry& r) { StoreAll(r, 1); }, [] { return kStored; }},
    {"bBootFromRegistry 2 counts as on", [](FakeRegistry& r) { StoreAll(r, 2); }, [] { return kStored; }},
    {"bBootFromRegistry only in its high byte", [](FakeRegistry& r) { StoreAll(r, 0x01000000); },
     [] { return kStored; }},
    {"bBootFromRegistry of one byte", [](FakeRegistry& r) { StoreAll(r, 0); r.values["bBootFromRegistry"] = Bytes({1}); },
     [] { return kStored; }},
    {"bBootFromRegistry larger than 4 bytes is unreadable",
     [](FakeRegistry& r) { StoreAll(r, 1); r.values["bBootFromRegistry"] = Bytes({1, 0, 0, 0, 0}); },
     [] { return kBuiltIn; }},
    {"priority 9 dropped, the rest applied", [](FakeRegistry& r) { StoreAll(r, 1); r.SetNumber("iSyslogPriority", 9); },
     [] { Settings s = kStored; s.priority = 5; return s; }},
    {"priority 0 and facility 0 applied",
     [](FakeRegistry& r) { StoreAll(r, 1); r.SetNumber("iSyslogPriority", 0); r.SetNumber("iSyslogFacility", 0); },
     [] { Settings s = kStored; s.priority = 0; s.facility = 0; return s; }},
    {"priority 7 applied", [](FakeRegistry& r) { StoreAll(r, 1); r.SetNumber("iSyslogPriority", 7); },
     [] { Settings s = kStored; s.priority = 7; return s; }},
    {"negative priority dropped", [](FakeRegistry& r) { StoreAll(r, 1); r.SetNumber("iSyslogPriority", 0xFFFFFFFF); },
     [] { Settings s = kStored; s.priority = 5; return s; }},
    {"facility 23 applied", [](FakeRegistry& r) { StoreAll(r, 1); r.SetNumber("iSyslogFacility", 23); },
     [] { Settings s = kStored; s.facility = 23; return s; }},
    {"facility 24 dropped", [](FakeRegistry& r) { StoreAll(r, 1); r.SetNumber("iSyslogFacility", 24); },
     [] { Settings s = kStored; s.facility = 16; return s; }},
    {"port taken as any 32-bit value", [](FakeRegistry& r) { StoreAll(r, 1); r.SetNumber("iSyslogPort", 0x80000000); },
     [] { Settings s = kStored; s.port = INT_MIN; return s; }},
    {"event id 0xFFFFFFFF is -1", [](FakeRegistry& r) { StoreAll(r, 1); r.SetNumber("iEventLogID", 0xFFFFFFFF); },
     [] { Settings s = kStored; s.id = -1; return s; }},
    {"event type 3 taken unchanged", [](FakeRegistry& r) { StoreAll(r, 1); r.SetNumber("iEventLogType", 3); },
     [] { Settings s = kStored; s.type = 3; return s; }},
    {"number of one byte", [](FakeRegistry& r) { StoreAll(r, 1); r.values["iSyslogFacility"] = Bytes({7}); },
     [] { Settings s = kStored; s.facility = 7; return s; }},
    {"number of two bytes, little-endian", [](FakeRegistry& r) { StoreAll(r, 1); r.values["iSyslogPort"] = Bytes({0x34, 0x12}); },
     [] { Settings s = kStored; s.port = 0x1234; return s; }},
    {"number of three bytes keeps its sign bit clear",
     [](FakeRegistry& r) { StoreAll(r, 1); r.values["iEventLogID"] = Bytes({0xFF, 0xFF, 0xFF}); },
     [] { Settings s = kStored; s.id = 0xFFFFFF; return s; }},
    {"number without data is 0", [](FakeRegistry& r) { StoreAll(r, 1); r.values["iSyslogPort"] = Bytes({}); },
     [] { Settings s = kStored; s.port = 0; return s; }},
    {"number larger than 4 bytes not applied",
     [](FakeRegistry& r) { StoreAll(r, 1); r.values["iEventLogType"] = Bytes({1, 0, 0, 0, 0}); },
     [] { Settings s = kStored; s.type = 4; return s; }},
    {"server without terminator", [](FakeRegistry& r) { StoreAll(r, 1); r.SetText("szSyslogServer", "127.0.0.1", false); },
     [] { Settings s = kStored; s.server = u"127.0.0.1"; return s; }},
    {"server of 1023 bytes without terminator applied",
     [](FakeRegistry& r) { StoreAll(r, 1); r.values["szSyslogServer"] = Filled(1023, 'a'); },
     [] { Settings s = kStored; s.server = Repeated(1023, u'a'); return s; }},
    {"server of 1022 bytes with terminator applied",
     [](FakeRegistry& r) { StoreAll(r, 1); r.SetText("szSyslogServer", std::string(1022, 'b')); },
     [] { Settings s = kStored; s.server = Repeated(1022, u'b'); return s; }},
    {"server of 1024 bytes without terminator not applied",
     [](FakeRegistry& r) { StoreAll(r, 1); r.values["szSyslogServer"] = Filled(1024, 'a'); },
     [] { Settings s = kStored; s.server = std::nullopt; return s; }},
    {"server of 1023 bytes with terminator not applied",
     [](FakeRegistry& r) { StoreAll(r, 1); r.SetText("szSyslogServer", std::string(1023, 'c')); },
     [] { Settings s = kStored; s.server = std::nullopt; return s; }},
    {"text ends at its first NUL byte",
     [](FakeRegistry& r) { StoreAll(r, 1); r.values["szEventLogSource"] = Bytes({'a', 'b', 0, 'c', 0}); },
     [] { Settings s = kStored; s.source = u"ab"; return s; }},
    {"empty stored text gives the empty text, not absent",
     [](FakeRegistry& r) { StoreAll(r, 1); r.SetText("szEventLogComputer", ""); },
     [] { Settings s = kStored; s.computer = u""; return s; }},
    {"text without data gives the empty text",
     [](FakeRegistry& r) { StoreAll(r, 1); r.values["szEventLogSource"] = Bytes({}); },
     [] { Settings s = kStored; s.source = u""; return s; }},
    {"8-bit text converted through the code page",
     [](FakeRegistry& r) { StoreAll(r, 1); r.values["szEventLogSource"] = Bytes({'C', 0xE9, 0}); },
     [] { Settings s = kStored; s.source = u"C\u00e9"; return s; }},
};

TEST(StoredDefaults, AppliedAsTheTableSays) {
  for (const Case& c : kCases) {
    FakePlatform fake;
    c.arrange(fake.registry);
    Logger logger(fake.platform);
    ExpectSettings(Read(logger), c.expect(), c.what);
    EXPECT_EQ(fake.registry.opens, fake.registry.closes) << c.what << ": every opened key closed";
  }
}

// One value missing at a time: only that property keeps its built-in default.
TEST(StoredDefaults, EachMissingValueLeavesOnlyItsOwnPropertyAlone) {
  struct Missing {
    const char* name;
    void (*restore)(Settings&);
  } const kMissing[] = {
      {"iSyslogFacility", [](Settings& s) { s.facility = kBuiltIn.facility; }},
      {"iSyslogPriority", [](Settings& s) { s.priority = kBuiltIn.priority; }},
      {"iSyslogPort", [](Settings& s) { s.port = kBuiltIn.port; }},
      {"szSyslogServer", [](Settings& s) { s.server = kBuiltIn.server; }},
      {"szEventLogComputer", [](Settings& s) { s.computer = kBuiltIn.computer; }},
      {"szEventLogSource", [](Settings& s) { s.source = kBuiltIn.source; }},
      {"iEventLogID", [](Settings& s) { s.id = kBuiltIn.id; }},
      {"iEventLogType", [](Settings& s) { s.type = kBuiltIn.type; }},
  };
  for (const Missing& m : kMissing) {
    FakePlatform fake;
    StoreAll(fake.registry, 1);
    fake.registry.values.erase(m.name);
    Logger logger(fake.platform);
    Settings want = kStored;
    m.restore(want);
    ExpectSettings(Read(logger), want, std::string("without ") + m.name);
  }
}

TEST(StoredDefaults, KeyPathAndOrderOfReading) {
  FakePlatform fake;
  StoreAll(fake.registry, 1);
  Logger logger(fake.platform);
  EXPECT_EQ(fake.registry.openedPath, "Software\\Orvelle\\Pendrake");
  const std::vector<std::string> expected = {"bBootFromRegistry", "iSyslogFacility", "iSyslogPriority",
                                             "iSyslogPort",       "szSyslogServer",  "szEventLogComputer",
                                             "szEventLogSource",  "iEventLogID",     "iEventLogType"};
  EXPECT_EQ(fake.registry.reads, expected);
  EXPECT_EQ(fake.registry.opens, 1);
  EXPECT_EQ(fake.registry.closes, 1);
}

TEST(StoredDefaults, SwitchedOffReadsNothingButTheSwitch) {
  FakePlatform fake;
  StoreAll(fake.registry, 0);
  Logger logger(fake.platform);
  EXPECT_EQ(fake.registry.reads, std::vector<std::string>{"bBootFromRegistry"});
  EXPECT_EQ(fake.registry.closes, 1);
}

TEST(StoredDefaults, ReadOncePerLoggerAndNeverAgain) {
  FakePlatform fake;
  StoreAll(fake.registry, 1);
  Logger early(fake.platform);
  fake.registry.SetNumber("iSyslogFacility", 9);
  fake.registry.SetText("szSyslogServer", "10.9.9.9");
  early.LogToSyslog(u"x");
  early.LogToEventLog(u"x");
  EXPECT_EQ(early.SyslogFacility(), 4) << "a later change leaves an existing logger alone";
  EXPECT_EQ(early.SyslogServer(), Text(u"10.0.0.5")) << Show(early.SyslogServer());
  EXPECT_EQ(fake.registry.opens, 1) << "logging operations do not read the registry";
  Logger late(fake.platform);
  EXPECT_EQ(late.SyslogFacility(), 9) << "a logger created afterwards sees the change";
  EXPECT_EQ(late.SyslogServer(), Text(u"10.9.9.9")) << Show(late.SyslogServer());
}

}  // namespace
}  // namespace pendrake::testing
