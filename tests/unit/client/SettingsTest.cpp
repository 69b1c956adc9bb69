// The main window's settings record: loading, taking the page, saving, and the fixed lists.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <variant>
#include <vector>

#include "client/core/InputRules.h"
#include "client/core/Narrowing.h"
#include "client/core/Settings.h"

namespace pendrake::client {
namespace {

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// A key in memory with the Registry module's rules, recording every operation in order.
class FakeStore : public SettingsStore {
 public:
  struct NoData {};
  using Value = std::variant<int32_t, std::u16string, NoData>;
  std::map<std::u16string, Value> values;
  std::vector<std::string> log;
  std::map<std::u16string, int32_t> refused;  // value name -> the error its write fails with

  int32_t QueryDword(const char16_t* name, int32_t& number, int32_t defaultNumber) override {
    log.push_back("get " + Narrow(name));
    auto it = values.find(name);
    if (it == values.end() || !std::holds_alternative<int32_t>(it->second)) {
      number = defaultNumber;
      return 2;
    }
    number = std::get<int32_t>(it->second);
    return 0;
  }
  int32_t QueryString(const char16_t* name, std::u16string& text, const std::u16string& defaultText) override {
    log.push_back("get " + Narrow(name));
    auto it = values.find(name);
    if (it == values.end() || std::holds_alternative<int32_t>(it->second)) {
      text = defaultText;
      return 2;
    }
    if (std::holds_alternative<std::u16string>(it->second)) text = std::get<std::u16string>(it->second);
    return 0;
  }
  int32_t SetDword(const char16_t* name, int32_t number) override {
    log.push_back("set " + Narrow(name) + "=" + std::to_string(number));
    if (refused.count(name)) return refused[name];
    values[name] = number;
    return 0;
  }
  int32_t SetString(const char16_t* name, const std::u16string& text) override {
    log.push_back("set " + Narrow(name) + "=" + Narrow(text));
    if (refused.count(name)) return refused[name];
    if (text.empty()) {
      values.erase(name);
    } else {
      values[name] = text;
    }
    return 0;
  }
};

DefaultsPageState PageShowing(const SettingsRecord& r) {
  DefaultsPageState page;
  page.enableDefaultsChecked = ShowsDefaultsEnabled(r.bBootFromRegistry);
  page.facilityPosition = FacilityPositionFor(r.iSyslogFacility);
  page.priorityPosition = PriorityPositionFor(r.iSyslogPriority);
  page.portText = DecimalText(r.iSyslogPort);
  page.server = r.szSyslogServer;
  page.computer = r.szEventLogComputer;
  page.source = r.szEventLogSource;
  page.eventIdText = DecimalText(r.iEventLogID);
  page.eventTypeItemData = EventTypeList()[EventTypePositionFor(r.iEventLogType)].itemData;
  return page;
}

TEST(SettingsLoad, ReadsTheNineValuesInOrderWithTheClientFallbacks) {
  FakeStore store;
  const SettingsRecord record = LoadSettings(store);
  const std::vector<std::string> order = {
      "get bBootFromRegistry", "get iSyslogFacility", "get iSyslogPriority", "get iSyslogPort",
      "get szSyslogServer",    "get szEventLogComputer", "get szEventLogSource", "get iEventLogID",
      "get iEventLogType"};
  EXPECT_EQ(order, store.log);
  EXPECT_EQ(1, record.bBootFromRegistry);
  EXPECT_EQ(16, record.iSyslogFacility);
  EXPECT_EQ(6, record.iSyslogPriority);
  EXPECT_EQ(514, record.iSyslogPort);
  EXPECT_EQ(u"127.0.0.1", record.szSyslogServer);
  EXPECT_EQ(u"", record.szEventLogComputer);
  EXPECT_EQ(u"Orvelle Pendrake", record.szEventLogSource);
  EXPECT_EQ(0, record.iEventLogID);
  EXPECT_EQ(4, record.iEventLogType);
}

TEST(SettingsLoad, FirstStartPageShowsTheFallbacks) {
  FakeStore store;
  const DefaultsPageState page = PageShowing(LoadSettings(store));
  EXPECT_TRUE(page.enableDefaultsChecked);
  EXPECT_EQ(u"LOCAL0 (16)", std::u16string(FacilityList()[page.facilityPosition].text));
  EXPECT_EQ(u"INFO (6)", std::u16string(PriorityList()[page.priorityPosition].text));
  EXPECT_EQ(u"514", page.portText);
  EXPECT_EQ(u"INFORMATION_TYPE (4)", std::u16string(EventTypeList()[EventTypePositionFor(4)].text));
  EXPECT_EQ(u"0", page.eventIdText);
}

TEST(SettingsLoad, StoredValuesWinAndAValueWithoutDataKeepsTheFallback) {
  FakeStore store;
  store.values = {{u"bBootFromRegistry", 2},          {u"iSyslogFacility", 23},
                  {u"iSyslogPriority", 0},            {u"iSyslogPort", 70000},
                  {u"szSyslogServer", FakeStore::NoData{}}, {u"szEventLogComputer", u"HOST"},
                  {u"szEventLogSource", u"Src"},      {u"iEventLogID", -1},
                  {u"iEventLogType", 2}};
  const SettingsRecord r = LoadSettings(store);
  EXPECT_EQ(2, r.bBootFromRegistry);
  EXPECT_FALSE(ShowsDefaultsEnabled(r.bBootFromRegistry)) << "only 1 shows a checked box";
  EXPECT_EQ(23, r.iSyslogFacility);
  EXPECT_EQ(0, r.iSyslogPriority);
  EXPECT_EQ(70000, r.iSyslogPort) << "the record keeps the stored value; only the fields are reset";
  EXPECT_EQ(u"127.0.0.1", r.szSyslogServer);
  EXPECT_EQ(u"HOST", r.szEventLogComputer);
  EXPECT_EQ(u"Src", r.szEventLogSource);
  EXPECT_EQ(-1, r.iEventLogID);
  EXPECT_EQ(2, r.iEventLogType);
}

TEST(SettingsLoad, CheckBoxShowsCheckedOnlyForOne) {
  for (int32_t flag : {1}) EXPECT_TRUE(ShowsDefaultsEnabled(flag));
  for (int32_t flag : {0, 2, -1, 257, INT32_MIN}) EXPECT_FALSE(ShowsDefaultsEnabled(flag)) << flag;
}

TEST(SettingsSave, WritesAllNineInOrderAndRemovesEmptyTexts) {
  FakeStore store;
  store.values[u"szSyslogServer"] = u"old";
  SettingsRecord r;
  r.szSyslogServer.clear();
  r.szEventLogSource = u"Src";
  SaveSettings(store, r);
  const std::vector<std::string> order = {
      "set bBootFromRegistry=1", "set iSyslogFacility=16", "set iSyslogPriority=6", "set iSyslogPort=514",
      "set szSyslogServer=",     "set szEventLogComputer=", "set szEventLogSource=Src", "set iEventLogID=0",
      "set iEventLogType=4"};
  EXPECT_EQ(order, store.log);
  EXPECT_EQ(0u, store.values.count(u"szSyslogServer")) << "an empty server removes its value";
  EXPECT_EQ(0u, store.values.count(u"szEventLogComputer"));
  // The next start shows the fallback server again.
  EXPECT_EQ(u"127.0.0.1", LoadSettings(store).szSyslogServer);
}

// A refused write is reported, not taken for success: the first failure's code comes back, and
// the other values are still written.
TEST(SettingsSave, ReportsTheFirstRefusedWriteAndStillWritesTheRest) {
  const char16_t* names[] = {value::kBootFromRegistry, value::kSyslogFacility, value::kSyslogPriority,
                             value::kSyslogPort,       value::kSyslogServer,   value::kEventLogComputer,
                             value::kEventLogSource,   value::kEventLogID,     value::kEventLogType};
  for (const char16_t* name : names) {
    FakeStore store;
    store.refused = {{name, 5}, {value::kEventLogType, 1346}};  // the last one refused as well
    SettingsRecord r;
    EXPECT_EQ(5, SaveSettings(store, r)) << "refused: " << Narrow(name);
    EXPECT_EQ(9u, store.log.size()) << "refused: " << Narrow(name);
  }
  FakeStore store;
  EXPECT_EQ(0, SaveSettings(store, SettingsRecord{})) << "nothing refused";
}

TEST(SettingsSave, CheckedPageReplacesEveryField) {
  SettingsRecord r;
  DefaultsPageState page;
  page.enableDefaultsChecked = true;
  page.facilityPosition = 23;  // "LOCAL7 (23)"
  page.priorityPosition = 7;
  page.portText = u"65535";
  page.server = u"10.0.0.5";
  page.computer = u"PC";
  page.source = u"";
  page.eventIdText = u"2147483647";
  page.eventTypeItemData = EventTypeList()[3].itemData;  // "INFORMATION_TYPE (4)", fourth entry
  r.bBootFromRegistry = 0;
  TakeDefaultsFromPage(page, r);
  EXPECT_EQ(1, r.bBootFromRegistry);
  EXPECT_EQ(23, r.iSyslogFacility);
  EXPECT_EQ(7, r.iSyslogPriority);
  EXPECT_EQ(65535, r.iSyslogPort);
  EXPECT_EQ(u"10.0.0.5", r.szSyslogServer);
  EXPECT_EQ(u"PC", r.szEventLogComputer);
  EXPECT_EQ(u"", r.szEventLogSource);
  EXPECT_EQ(INT32_MAX, r.iEventLogID);
  EXPECT_EQ(4, r.iEventLogType) << "item data, not the position 3";
}

TEST(SettingsSave, UncheckedPageChangesOnlyTheFlag) {
  FakeStore store;
  store.values = {{u"bBootFromRegistry", 1}, {u"iSyslogPort", 1514}, {u"szSyslogServer", u"loghost"}};
  SettingsRecord r = LoadSettings(store);
  const SettingsRecord loaded = r;
  DefaultsPageState page;  // what the disabled controls show must not matter
  page.enableDefaultsChecked = false;
  page.facilityPosition = 0;
  page.portText = u"9";
  page.server = u"typed while disabled";
  page.eventTypeItemData = 1;
  TakeDefaultsFromPage(page, r);
  SettingsRecord expected = loaded;
  expected.bBootFromRegistry = 0;
  EXPECT_EQ(expected, r);
  store.log.clear();
  SaveSettings(store, r);
  EXPECT_EQ(9u, store.log.size()) << "all nine values are written also when unchecked";
  EXPECT_EQ(0, std::get<int32_t>(store.values[u"bBootFromRegistry"]));
  EXPECT_EQ(1514, std::get<int32_t>(store.values[u"iSyslogPort"]));
  EXPECT_EQ(u"loghost", std::get<std::u16string>(store.values[u"szSyslogServer"]));
}

// A negative stored port shows as the port the component sends to (its low 16 bits), and a
// save that did not touch the field stores the negative number again.
TEST(SettingsPort, NegativeStoredPortShowsAsSentAndIsKeptUntilEdited) {
  struct Case {
    int32_t stored;
    const char16_t* shown;
  };
  const Case kCases[] = {{514, u"514"},       {0, u"0"},         {65535, u"65535"}, {70000, u"70000"},
                         {-1, u"65535"},      {-65536, u"0"},    {-65535, u"1"},    {INT32_MIN, u"0"},
                         {-70000, u"61072"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(std::u16string(c.shown), PortTextFor(c.stored));
    SettingsRecord record;
    record.bBootFromRegistry = 1;  // a checked box: the save reads every field
    record.iSyslogPort = c.stored;
    DefaultsPageState page = PageShowing(record);
    page.portText = PortTextFor(c.stored);
    TakeDefaultsFromPage(page, record);
    EXPECT_EQ(c.stored, record.iSyslogPort) << "an untouched field keeps the stored number";
  }
  // An edit stores what the field holds.
  SettingsRecord record;
  record.bBootFromRegistry = 1;
  record.iSyslogPort = -1;
  DefaultsPageState page = PageShowing(record);
  page.portText = u"1514";
  TakeDefaultsFromPage(page, record);
  EXPECT_EQ(1514, record.iSyslogPort);
  page.portText = u"65535";
  TakeDefaultsFromPage(page, record);
  EXPECT_EQ(65535, record.iSyslogPort);
}

TEST(SettingsSave, FieldsThatHoldNoValidValueKeepTheRecordValue) {
  const DefaultsPageState base = PageShowing(SettingsRecord{});
  SettingsRecord previous;
  previous.iSyslogPort = 1234;
  previous.iEventLogID = 77;
  previous.iSyslogFacility = 3;
  previous.iSyslogPriority = 2;
  previous.iEventLogType = 1;
  // The page as shown at a first start, taken over a record that held other values.
  SettingsRecord fromBase = previous;
  TakeDefaultsFromPage(base, fromBase);
  ASSERT_EQ(514, fromBase.iSyslogPort);

  struct Case {
    const char* what;
    void (*change)(DefaultsPageState&);
    int32_t SettingsRecord::*kept;
  };
  const Case kCases[] = {
      {"empty port", [](DefaultsPageState& p) { p.portText = u""; }, &SettingsRecord::iSyslogPort},
      {"port above 65535", [](DefaultsPageState& p) { p.portText = u"65536"; }, &SettingsRecord::iSyslogPort},
      {"port not a number", [](DefaultsPageState& p) { p.portText = u"51a"; }, &SettingsRecord::iSyslogPort},
      {"empty event ID", [](DefaultsPageState& p) { p.eventIdText = u""; }, &SettingsRecord::iEventLogID},
      {"event ID above 32 bits", [](DefaultsPageState& p) { p.eventIdText = u"2147483648"; },
       &SettingsRecord::iEventLogID},
      {"event ID far beyond", [](DefaultsPageState& p) { p.eventIdText = u"99999999999999999999"; },
       &SettingsRecord::iEventLogID},
      {"no facility", [](DefaultsPageState& p) { p.facilityPosition = -1; }, &SettingsRecord::iSyslogFacility},
      {"facility past the list", [](DefaultsPageState& p) { p.facilityPosition = 24; },
       &SettingsRecord::iSyslogFacility},
      {"no priority", [](DefaultsPageState& p) { p.priorityPosition = -1; }, &SettingsRecord::iSyslogPriority},
      {"priority past the list", [](DefaultsPageState& p) { p.priorityPosition = 8; },
       &SettingsRecord::iSyslogPriority},
      {"no event type", [](DefaultsPageState& p) { p.eventTypeItemData = -1; }, &SettingsRecord::iEventLogType},
      {"event type 3", [](DefaultsPageState& p) { p.eventTypeItemData = 3; }, &SettingsRecord::iEventLogType},
  };
  for (const Case& c : kCases) {
    DefaultsPageState page = base;
    c.change(page);
    SettingsRecord r = previous;
    TakeDefaultsFromPage(page, r);
    SettingsRecord expected = fromBase;
    expected.*c.kept = previous.*c.kept;
    EXPECT_EQ(expected, r) << c.what;
  }
}

TEST(FixedLists, TextsAndCodes) {
  ASSERT_EQ(24u, FacilityList().size());
  const char* kKeywords[] = {"KERN", "USER", "MAIL", "DAEMON", "AUTH", "SYSLOG", "LPR", "NEWS", "UUCP", "CRON"};
  for (int32_t code = 0; code < 24; ++code) {
    std::string keyword = code < 10   ? kKeywords[code]
                          : code < 16 ? "SYSTEMRESERVED" + std::to_string(code)
                                      : "LOCAL" + std::to_string(code - 16);
    EXPECT_EQ(keyword + " (" + std::to_string(code) + ")", Narrow(FacilityList()[code].text));
    EXPECT_EQ(code, FacilityList()[code].itemData);
  }
  const char* kPriorities[] = {"EMERG (0)", "ALERT (1)", "CRIT (2)", "ERR (3)",
                               "WARNING (4)", "NOTICE (5)", "INFO (6)", "DEBUG (7)"};
  ASSERT_EQ(8u, PriorityList().size());
  for (int32_t code = 0; code < 8; ++code) {
    EXPECT_EQ(kPriorities[code], Narrow(PriorityList()[code].text));
    EXPECT_EQ(code, PriorityList()[code].itemData);
  }
  const std::pair<const char*, int32_t> kTypes[] = {
      {"SUCCESS (0)", 0}, {"ERROR_TYPE (1)", 1}, {"WARNING_TYPE (2)", 2}, {"INFORMATION_TYPE (4)", 4}};
  ASSERT_EQ(4u, EventTypeList().size());
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(kTypes[i].first, Narrow(EventTypeList()[i].text));
    EXPECT_EQ(kTypes[i].second, EventTypeList()[i].itemData);
  }
}

TEST(FixedLists, PositionsForStoredValues) {
  struct Case {
    int32_t (*rule)(int32_t);
    int32_t stored;
    int32_t position;
  };
  const Case kCases[] = {
      {FacilityPositionFor, 0, 0},   {FacilityPositionFor, 23, 23}, {FacilityPositionFor, 24, 16},
      {FacilityPositionFor, -1, 16}, {PriorityPositionFor, 7, 7},   {PriorityPositionFor, 8, 6},
      {PriorityPositionFor, -3, 6},  {EventTypePositionFor, 4, 3},  {EventTypePositionFor, 2, 2},
      {EventTypePositionFor, 0, 0},  {EventTypePositionFor, 3, 0},  {EventTypePositionFor, 8, 0},
      {EventTypePositionFor, -1, 0},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.position, c.rule(c.stored)) << "stored " << c.stored;
}

TEST(SettingsRoundTrip, UnknownStoredTypeShowsSuccessAndSavesZero) {
  FakeStore store;
  store.values[u"iEventLogType"] = 3;
  SettingsRecord r = LoadSettings(store);
  const DefaultsPageState page = PageShowing(r);
  EXPECT_EQ(u"SUCCESS (0)", std::u16string(EventTypeList()[EventTypePositionFor(r.iEventLogType)].text));
  TakeDefaultsFromPage(page, r);
  SaveSettings(store, r);
  EXPECT_EQ(0, std::get<int32_t>(store.values[u"iEventLogType"]));
}

// WideCharToMultiByte as documented: UTF-8 and GB18030 fail with ERROR_INVALID_FLAGS for any
// flag but WC_ERR_INVALID_CHARS (0x80), the ISO-2022, ISCII, UTF-7 and Symbol pages for any
// flag at all; elsewhere a fullwidth quotation mark becomes '"' unless WC_NO_BEST_FIT_CHARS.
int DocumentedWideCharToMultiByte(uint32_t cp, uint32_t flags, std::u16string_view text, char* out, int size) {
  const bool zeroOnly = cp == 65000 || cp == 42 || (cp >= 50220 && cp <= 50229) || (cp >= 57002 && cp <= 57011);
  if ((cp == 65001 || cp == 54936) ? (flags & ~0x80u) != 0 : zeroOnly && flags != 0) return 0;
  std::string bytes;
  for (char16_t c : text) bytes += c < 0x80 ? static_cast<char>(c) : (flags & 0x400) ? '?' : '"';
  if (out) bytes.copy(out, static_cast<size_t>(size));
  return static_cast<int>(bytes.size());
}

TEST(NarrowTo, FlagsFollowTheDocumentedRuleForUtf8Gb18030AndTheFlaglessCodePages) {
  for (uint32_t cp : {1252u, 932u, 65001u, 54936u, 50220u, 50229u, 57002u, 57011u, 65000u, 42u}) {
    std::string bytes;
    EXPECT_TRUE(NarrowTo(cp, u"szSyslogServer", DocumentedWideCharToMultiByte, bytes)) << cp;
    EXPECT_EQ("szSyslogServer", bytes) << "code page " << cp << ": a refused flag empties every name";
  }
  std::string bytes = "old";
  ASSERT_TRUE(NarrowTo(1252, u"a\uFF02b", DocumentedWideCharToMultiByte, bytes));
  EXPECT_EQ("a?b", bytes) << "a missing character is '?', never a look-alike";
  EXPECT_FALSE(NarrowTo(1252, u"x", [](uint32_t, uint32_t, std::u16string_view, char*, int) { return 0; }, bytes));
  EXPECT_EQ("", bytes) << "a failed conversion is reported, not handed on as text";
}

}  // namespace
}  // namespace pendrake::client
