// LogToEventLog against a fake event log: the reported values and the failure paths.
#include <gtest/gtest.h>

#include "debug_lines.h"
#include "fake_platform.h"
#include "logger.h"

namespace pendrake::testing {
namespace {

using Strings = std::vector<std::string>;
using OptText = std::optional<std::string>;

struct ValueCase {
  const char* what;
  void (*arrange)(Logger&);
  const char16_t* message;
  OptText computer;
  OptText source;
  std::uint16_t type;
  std::uint32_t id;
  Strings strings;
};

const ValueCase kValueCases[] = {
    {"defaults", [](Logger&) {}, u"abc", std::nullopt, "Orvelle Pendrake", 4, 0, {"abc", ""}},
    {"type 3 passed on", [](Logger& l) { l.SetEventLogType(3); }, u"abc", std::nullopt, "Orvelle Pendrake", 3, 0,
     {"abc", ""}},
    {"type 65540 narrowed to 4", [](Logger& l) { l.SetEventLogType(65540); }, u"abc", std::nullopt,
     "Orvelle Pendrake", 4, 0, {"abc", ""}},
    {"type -1 narrowed to 65535", [](Logger& l) { l.SetEventLogType(-1); }, u"abc", std::nullopt,
     "Orvelle Pendrake", 0xFFFF, 0, {"abc", ""}},
    {"id -1 bit for bit", [](Logger& l) { l.SetEventLogID(-1); }, u"abc", std::nullopt, "Orvelle Pendrake", 4,
     4294967295u, {"abc", ""}},
    {"id 0x40000001", [](Logger& l) { l.SetEventLogID(0x40000001); }, u"abc", std::nullopt, "Orvelle Pendrake", 4,
     0x40000001u, {"abc", ""}},
    {"empty computer means local", [](Logger& l) { l.SetEventLogComputer(u""); }, u"abc", std::nullopt,
     "Orvelle Pendrake", 4, 0, {"abc", ""}},
    {"named computer", [](Logger& l) { l.SetEventLogComputer(u"SRV7"); }, u"abc", "SRV7", "Orvelle Pendrake", 4, 0,
     {"abc", ""}},
    {"absent source asks without a name", [](Logger& l) { l.SetEventLogSource(nullptr); }, u"abc", std::nullopt,
     std::nullopt, 4, 0, {"abc", ""}},
    {"empty source passed as empty", [](Logger& l) { l.SetEventLogSource(u""); }, u"abc", std::nullopt, "", 4, 0,
     {"abc", ""}},
    {"absent message", [](Logger&) {}, nullptr, std::nullopt, "Orvelle Pendrake", 4, 0, {"", ""}},
    {"empty message", [](Logger&) {}, u"", std::nullopt, "Orvelle Pendrake", 4, 0, {"", ""}},
    {"missing character becomes the default character", [](Logger& l) { l.SetEventLogSource(u"Src\u03a9"); },
     u"x\u03a9", std::nullopt, "Src?", 4, 0, {"x?", ""}},
    {"error type", [](Logger& l) { l.SetEventLogType(1); }, u"bad", std::nullopt, "Orvelle Pendrake", 1, 0,
     {"bad", ""}},
};

TEST(EventWriter, ReportedValues) {
  for (const ValueCase& c : kValueCases) {
    FakePlatform fake;
    Logger logger(fake.platform);
    c.arrange(logger);
    logger.LogToEventLog(c.message);
    ASSERT_EQ(fake.eventLog.registrations.size(), 1u) << c.what;
    EXPECT_EQ(fake.eventLog.registrations[0].computer, c.computer) << c.what;
    EXPECT_EQ(fake.eventLog.registrations[0].source, c.source) << c.what;
    ASSERT_EQ(fake.eventLog.reports.size(), 1u) << c.what;
    const auto& report = fake.eventLog.reports[0];
    EXPECT_EQ(report.type, c.type) << c.what;
    EXPECT_EQ(report.category, 0) << c.what;
    EXPECT_EQ(report.id, c.id) << c.what;
    EXPECT_EQ(report.strings, c.strings) << c.what;
    EXPECT_EQ(fake.eventLog.deregistrations, 1) << c.what << ": source released within the call";
    EXPECT_TRUE(fake.debugOutput.lines.empty()) << c.what;
  }
}

TEST(EventWriter, FailurePaths) {
  struct Case {
    const char* what;
    bool registerFails;
    bool reportFails;
    int deregistrations;
  } const cases[] = {
      {"source cannot be registered", true, false, 0},
      {"report fails", false, true, 1},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.eventLog.registerFails = c.registerFails;
    fake.eventLog.reportFails = c.reportFails;
    Logger logger(fake.platform);
    logger.SetEventLogComputer(u"unreachable");
    logger.LogToEventLog(u"abc");
    EXPECT_TRUE(fake.eventLog.reports.empty()) << c.what;
    EXPECT_EQ(fake.eventLog.deregistrations, c.deregistrations) << c.what;
    EXPECT_TRUE(fake.debugOutput.lines.empty()) << c.what;
  }
}

template <typename Text>
Text Repeat(const Text& piece, std::size_t times) {
  Text out;
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// ReportEventA would refuse the entry: the message is cut to fit, between two characters, and
// one debugger line says so. It widens the text with the system's code page, which may differ
// from the thread's in which the text was written, and takes at most 65534 bytes of it.
TEST(EventWriter, LongMessageIsCutOnACharacterBoundary) {
  using Kind = FakeCodePage::Kind;
  const std::u16string pair = u"\U0001F600";  // a surrogate pair; four bytes in UTF-8
  struct Case {
    const char* what;
    std::u16string message;
    std::string firstString;
    bool cut;
    Kind thread = Kind::Latin1;
    Kind system = Kind::Latin1;
  } const cases[] = {
      {"at the limit", std::u16string(31839, u'x'), std::string(31839, 'x'), false},
      {"one over", std::u16string(31840, u'x'), std::string(31839, 'x'), true},
      {"far over", std::u16string(200000, u'x'), std::string(31839, 'x'), true},
      {"UTF-8: pair across the limit left out whole", std::u16string(31838, u'x') + pair + u"y",
       std::string(31838, 'x'), true, Kind::Utf8, Kind::Utf8},
      {"UTF-8: pair just inside the limit kept", std::u16string(31837, u'x') + pair + u"y",
       std::string(31837, 'x') + "\xF0\x9F\x98\x80", true, Kind::Utf8, Kind::Utf8},
      {"double-byte thread, 1252 system: each byte widens to a character", std::u16string(31839, u'\u3042'),
       Repeat<std::string>("\x82\xA0", 15919), true, Kind::DoubleByte, Kind::Latin1},
      {"1252 thread, double-byte system: byte pairs widen to one character and fit",
       std::u16string(40000, u'\u00E9'), std::string(40000, '\xE9'), false, Kind::Latin1, Kind::DoubleByte},
      {"UTF-8 system: 31839 three-byte characters exceed 65534 bytes", std::u16string(31839, u'\u3042'),
       Repeat<std::string>("\xE3\x81\x82", 21844), true, Kind::Utf8, Kind::Utf8},
      {"UTF-8 system: 31839 two-byte characters fit", std::u16string(31839, u'\u03A9'),
       Repeat<std::string>("\xCE\xA9", 31839), false, Kind::Utf8, Kind::Utf8},
      {"UTF-8 system: pairs count two characters each", Repeat(pair, 20000),
       Repeat<std::string>("\xF0\x9F\x98\x80", 15919), true, Kind::Utf8, Kind::Utf8},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.codePage.thread = c.thread;
    fake.codePage.system = c.system;
    Logger logger(fake.platform);
    logger.LogToEventLog(c.message.c_str());
    ASSERT_EQ(fake.eventLog.reports.size(), 1u) << c.what;
    EXPECT_EQ(fake.eventLog.reports[0].strings[0].size(), c.firstString.size()) << c.what;
    EXPECT_TRUE(fake.eventLog.reports[0].strings == (Strings{c.firstString, ""})) << c.what;
    EXPECT_EQ(fake.debugOutput.lines, c.cut ? Strings{kEventMessageCutLine} : Strings{}) << c.what;
    EXPECT_LE(fake.codePage.longestNarrowed, 2 * 65534u) << c.what << ": only what can be kept is converted";
  }
}

TEST(EventWriter, CutMessageWithoutASourceWritesNothing) {
  FakePlatform fake;
  fake.eventLog.registerFails = true;
  Logger logger(fake.platform);
  logger.LogToEventLog(std::u16string(40000, u'x').c_str());
  EXPECT_TRUE(fake.eventLog.reports.empty());
  EXPECT_TRUE(fake.debugOutput.lines.empty()) << "no entry, so nothing was cut";
}

TEST(EventWriter, EveryCallRegistersAndReleasesAnew) {
  FakePlatform fake;
  Logger logger(fake.platform);
  logger.LogToEventLog(u"one");
  logger.SetEventLogComputer(u"SRV2");
  logger.LogToEventLog(u"two");
  ASSERT_EQ(fake.eventLog.registrations.size(), 2u);
  EXPECT_EQ(fake.eventLog.registrations[1].computer, OptText("SRV2"));
  EXPECT_EQ(fake.eventLog.deregistrations, 2);
  EXPECT_TRUE(fake.sockets.log.calls.empty()) << "the event log writer touches no sockets";
}

}  // namespace
}  // namespace pendrake::testing
