// The settings of a new logger and the rules of every put.
#include <gtest/gtest.h>

#include <climits>

#include "fake_platform.h"
#include "logger.h"
#include "text_helpers.h"

namespace pendrake::testing {
namespace {

TEST(LoggerSettings, NewLoggerWithoutStoredKeyHasBuiltInDefaults) {
  FakePlatform fake;
  Logger logger(fake.platform);
  EXPECT_EQ(logger.SyslogPriority(), 5);
  EXPECT_EQ(logger.SyslogFacility(), 16);
  EXPECT_EQ(logger.SyslogPort(), 0);
  EXPECT_EQ(logger.EventLogType(), 4);
  EXPECT_EQ(logger.EventLogID(), 0);
  EXPECT_EQ(logger.EventLogSource(), Text(u"Orvelle Pendrake")) << Show(logger.EventLogSource());
  EXPECT_FALSE(logger.SyslogServer().has_value()) << Show(logger.SyslogServer());
  EXPECT_FALSE(logger.EventLogComputer().has_value()) << Show(logger.EventLogComputer());
  EXPECT_FALSE(logger.MessageToLog().has_value()) << Show(logger.MessageToLog());
}

TEST(LoggerNumberPut, StoresInRangeAndDropsTheRest) {
  struct Case {
    const char* name;
    void (Logger::*put)(std::int32_t);
    std::int32_t (Logger::*get)() const;
    std::int32_t value;
    std::int32_t expected;
  } const cases[] = {
      {"priority", &Logger::SetSyslogPriority, &Logger::SyslogPriority, 0, 0},
      {"priority", &Logger::SetSyslogPriority, &Logger::SyslogPriority, 7, 7},
      {"priority", &Logger::SetSyslogPriority, &Logger::SyslogPriority, 8, 5},
      {"priority", &Logger::SetSyslogPriority, &Logger::SyslogPriority, -1, 5},
      {"priority", &Logger::SetSyslogPriority, &Logger::SyslogPriority, INT_MIN, 5},
      {"facility", &Logger::SetSyslogFacility, &Logger::SyslogFacility, 0, 0},
      {"facility", &Logger::SetSyslogFacility, &Logger::SyslogFacility, 23, 23},
      {"facility", &Logger::SetSyslogFacility, &Logger::SyslogFacility, 24, 16},
      {"facility", &Logger::SetSyslogFacility, &Logger::SyslogFacility, -1, 16},
      {"facility", &Logger::SetSyslogFacility, &Logger::SyslogFacility, INT_MAX, 16},
      {"port", &Logger::SetSyslogPort, &Logger::SyslogPort, 70000, 70000},
      {"port", &Logger::SetSyslogPort, &Logger::SyslogPort, -1, -1},
      {"event type", &Logger::SetEventLogType, &Logger::EventLogType, 3, 3},
      {"event type", &Logger::SetEventLogType, &Logger::EventLogType, 65540, 65540},
      {"event id", &Logger::SetEventLogID, &Logger::EventLogID, -1, -1},
      {"event id", &Logger::SetEventLogID, &Logger::EventLogID, INT_MIN, INT_MIN},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    Logger logger(fake.platform);
    (logger.*c.put)(c.value);
    EXPECT_EQ((logger.*c.get)(), c.expected) << c.name << " put " << c.value;
  }
}

TEST(LoggerNumberPut, RefusedPutKeepsAnEarlierAcceptedValue) {
  FakePlatform fake;
  Logger logger(fake.platform);
  logger.SetSyslogPriority(2);
  logger.SetSyslogPriority(8);
  logger.SetSyslogFacility(20);
  logger.SetSyslogFacility(24);
  EXPECT_EQ(logger.SyslogPriority(), 2);
  EXPECT_EQ(logger.SyslogFacility(), 20);
}

struct TextPut {
  const char* name;
  void (Logger::*put)(const char16_t*);
  const Text& (Logger::*get)() const;
};

const TextPut kTextProperties[] = {
    {"SyslogServer", &Logger::SetSyslogServer, &Logger::SyslogServer},
    {"EventLogSource", &Logger::SetEventLogSource, &Logger::EventLogSource},
    {"EventLogComputer", &Logger::SetEventLogComputer, &Logger::EventLogComputer},
    {"MessageToLog", &Logger::SetMessageToLog, &Logger::MessageToLog},
};

TEST(LoggerTextPut, EachTextPropertyFollowsTheTextRules) {
  static const char16_t kEmbeddedNul[] = u"front\0back";
  struct Case {
    const char* what;
    const char16_t* argument;
    Text expected;
  } const cases[] = {
      {"plain text", u"10.0.0.5", Text(u"10.0.0.5")},
      {"embedded NUL keeps the part before it", kEmbeddedNul, Text(u"front")},
      {"empty text stays empty, not absent", u"", Text(u"")},
      {"null makes the text absent", nullptr, std::nullopt},
      {"non-ASCII kept as UTF-16", u"\u03a9mega", Text(u"\u03a9mega")},
  };
  for (const TextPut& property : kTextProperties) {
    for (const Case& c : cases) {
      FakePlatform fake;
      Logger logger(fake.platform);
      (logger.*property.put)(u"previous");
      (logger.*property.put)(c.argument);
      EXPECT_EQ((logger.*property.get)(), c.expected)
          << property.name << ", " << c.what << ": got " << Show((logger.*property.get)());
    }
  }
}

TEST(LoggerTextPut, PutsDoNotDisturbOtherSettings) {
  FakePlatform fake;
  Logger logger(fake.platform);
  logger.SetMessageToLog(u"spare");
  logger.SetSyslogServer(nullptr);
  EXPECT_EQ(logger.MessageToLog(), Text(u"spare"));
  EXPECT_EQ(logger.EventLogSource(), Text(u"Orvelle Pendrake"));
}

TEST(LoggerTextPut, StoredCopyIsIndependentOfTheCallersBuffer) {
  FakePlatform fake;
  Logger logger(fake.platform);
  char16_t buffer[] = u"host-a";
  logger.SetSyslogServer(buffer);
  buffer[5] = u'b';
  EXPECT_EQ(logger.SyslogServer(), Text(u"host-a")) << Show(logger.SyslogServer());
}

}  // namespace
}  // namespace pendrake::testing
