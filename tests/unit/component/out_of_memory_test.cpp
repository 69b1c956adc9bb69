// Running out of memory part-way through an operation: nothing escapes to the caller, and
// everything acquired up to then is released.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "logger.h"
#include "text_helpers.h"

namespace pendrake::testing {
namespace {

TEST(OutOfMemory, SyslogSenderReleasesWhatItHolds) {
  struct Case {
    const char* what;
    int throwOnConversion;
    std::vector<std::string> calls;
  } const cases[] = {
      {"while converting the message", 1, {}},
      {"while converting the server, after the start", 2, {"start", "cleanup"}},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    Logger logger(fake.platform);
    logger.SetSyslogServer(u"10.0.0.5");
    fake.codePage.throwOnConversion = c.throwOnConversion;
    logger.LogToSyslog(u"abc");  // must not throw
    EXPECT_EQ(fake.sockets.log.calls, c.calls) << c.what;
    EXPECT_EQ(fake.sockets.starts, fake.sockets.cleanups) << c.what;
    EXPECT_TRUE(fake.sockets.sent.empty()) << c.what;
  }
}

TEST(OutOfMemory, EventWriterRegistersNothing) {
  for (int call : {1, 2}) {
    FakePlatform fake;
    Logger logger(fake.platform);
    fake.codePage.throwOnConversion = call;
    logger.LogToEventLog(u"abc");
    EXPECT_TRUE(fake.eventLog.registrations.empty()) << "conversion " << call;
    EXPECT_TRUE(fake.eventLog.reports.empty()) << "conversion " << call;
  }
}

TEST(OutOfMemory, CreationKeepsWhatWasAppliedAndClosesTheKey) {
  FakePlatform fake;
  fake.registry.keyExists = true;
  fake.registry.SetNumber("bBootFromRegistry", 1);
  fake.registry.SetNumber("iSyslogFacility", 3);
  fake.registry.SetText("szSyslogServer", "10.0.0.5");
  fake.registry.SetText("szEventLogSource", "Stored");
  fake.codePage.throwOnConversion = 1;  // the server text
  Logger logger(fake.platform);
  EXPECT_EQ(logger.SyslogFacility(), 3);
  EXPECT_FALSE(logger.SyslogServer().has_value()) << Show(logger.SyslogServer());
  EXPECT_EQ(logger.EventLogSource(), Text(u"Orvelle Pendrake")) << Show(logger.EventLogSource());
  EXPECT_EQ(fake.registry.opens, fake.registry.closes);
}

}  // namespace
}  // namespace pendrake::testing
