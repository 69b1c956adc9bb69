// The conversion rule with the thread's real ANSI code page: CTest runs this program once
// under LANG=C.UTF-8 (1252) and once under LANG=el_GR.UTF-8 (1253); each test runs only
// under its own code page.
#include <gtest/gtest.h>

#include "logger.h"
#include "system_platform.h"
#include "wine_support.h"

namespace pendrake::winetest {
namespace {

constexpr std::uint16_t kTestPort = 41469;

std::optional<std::string> SendAndReceive(const char16_t* message) {
  LoopbackReceiver receiver(kTestPort);
  if (!receiver.ok()) {
    ADD_FAILURE() << receiver.error();
    return std::nullopt;
  }
  Logger logger(win32::SystemPlatform());
  logger.SetSyslogServer(u"127.0.0.1");
  logger.SetSyslogPort(kTestPort);
  logger.LogToSyslog(message);
  return receiver.Receive();
}

// Guards the two runs against a locale that did not take: each names the code page it expects.
TEST(CodePageWine, RunsUnderTheExpectedCodePage) {
  char expected[16] = "";
  if (GetEnvironmentVariableA("PENDRAKE_EXPECT_ACP", expected, sizeof expected) == 0) GTEST_SKIP();
  EXPECT_EQ(std::to_string(GetACP()), expected);
}

TEST(CodePageWine, Western1252) {
  if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP();
  struct Case {
    const char* what;
    const char16_t* message;
    std::string expected;
  } const cases[] = {
      {"Latin-1 letter", u"caf\u00e9", "<133>caf\xe9"},
      {"euro sign", u"\u20ac5", "<133>\x80" "5"},
      // Without the no-best-fit rule this would arrive as "O".
      {"omega is missing", u"\u03a9hm", "<133>?hm"},
      {"CJK is missing", u"\u4e2d", "<133>?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Printable(SendAndReceive(c.message)), Printable(c.expected)) << c.what;
  }
}

TEST(CodePageWine, Greek1253) {
  if (GetACP() != 1253) GTEST_SKIP() << "code page " << GetACP();
  struct Case {
    const char* what;
    const char16_t* message;
    std::string expected;
  } const cases[] = {
      {"Greek word", u"\u0393\u03b5\u03b9\u03ac", "<133>\xc3\xe5\xe9\xdc"},
      {"omega", u"\u03a9", "<133>\xd9"},
      {"e acute is missing in 1253", u"\u00e9", "<133>?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Printable(SendAndReceive(c.message)), Printable(c.expected)) << c.what;
  }
}

TEST(CodePageWine, StoredTextReadThroughTheCodePage) {
  SettingsKeySnapshot snapshot;
  HKEY key = snapshot.OpenEmptied();
  ASSERT_NE(key, nullptr);
  SetNumber(key, "bBootFromRegistry", 1);
  SetBytes(key, "szEventLogSource", REG_BINARY, "\xd9");  // omega in 1253, U with grave in 1252
  Logger logger(win32::SystemPlatform());
  const Text expected = GetACP() == 1253 ? Text(u"\u03a9") : Text(u"\u00d9");
  EXPECT_EQ(logger.EventLogSource(), expected) << "code page " << GetACP();
}

}  // namespace
}  // namespace pendrake::winetest
