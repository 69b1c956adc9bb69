// The conversion rule with the thread's real ANSI code page: CTest runs this program under
// LANG=C.UTF-8 (1252), el_GR.UTF-8 (1253) and ja_JP.UTF-8 (932); each test runs only under its
// own code page.
#include <gtest/gtest.h>

#include <algorithm>

#include "logger.h"
#include "system_platform.h"
#include "wine_support.h"

namespace pendrake::winetest {
namespace {

std::optional<std::string> SendAndReceive(const char16_t* message, std::int32_t facility = 16) {
  LoopbackReceiver receiver;
  if (!receiver.ok()) {
    ADD_FAILURE() << receiver.error();
    return std::nullopt;
  }
  Logger logger(win32::SystemPlatform());
  logger.SetSyslogServer(u"127.0.0.1");
  logger.SetSyslogPort(receiver.port());
  logger.SetSyslogFacility(facility);
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

std::string Repeated(const std::string& piece, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += piece;
  return out;
}

// Double-byte characters at the datagram's limit: the cut goes back to the last whole one.
TEST(CodePageWine, Japanese932) {
  if (GetACP() != 932) GTEST_SKIP() << "code page " << GetACP();
  const std::string a = "\x82\xa0";  // HIRAGANA LETTER A
  const std::u16string many(6000, u'\u3042');
  const std::u16string afterX = u"x" + many;
  struct Case {
    const char* what;
    const char16_t* message;
    std::int32_t facility;
    std::string expected;
  } const cases[] = {
      {"fits: bytes as they are", u"\u3042\u3044\u3046", 16, "<133>\x82\xa0\x82\xa2\x82\xa4"},
      {"even room: 5117 whole characters", many.c_str(), 16, "<133>" + Repeated(a, 5117)},
      {"odd room: the half character goes", many.c_str(), 2, "<21>" + Repeated(a, 5117)},
      {"behind one ASCII byte: the half character goes", afterX.c_str(), 16, "<133>x" + Repeated(a, 5116)},
  };
  for (const Case& c : cases) {
    const std::optional<std::string> got = SendAndReceive(c.message, c.facility);
    ASSERT_TRUE(got.has_value()) << c.what << ": nothing arrived";
    const auto [differs, _] = std::mismatch(got->begin(), got->end(), c.expected.begin(), c.expected.end());
    const auto at = static_cast<std::size_t>(differs - got->begin());
    EXPECT_TRUE(*got == c.expected) << c.what << ": " << got->size() << " bytes, expected " << c.expected.size()
                                    << "; first difference at " << at << ", from there "
                                    << Printable(got->substr(at, 8)) << " instead of "
                                    << Printable(c.expected.substr(std::min(at, c.expected.size()), 8));
  }
}

TEST(CodePageWine, StoredTextReadThroughTheCodePage) {
  SettingsKeySnapshot snapshot;
  HKEY key = snapshot.OpenEmptied();
  ASSERT_NE(key, nullptr);
  SetNumber(key, "bBootFromRegistry", 1);
  SetBytes(key, "szEventLogSource", REG_BINARY, "\xd9");  // omega in 1253, U with grave in 1252
  Logger logger(win32::SystemPlatform());
  // Omega in 1253, half-width katakana RU in 932, U with grave in 1252.
  const Text expected = GetACP() == 1253 ? Text(u"\u03a9") : GetACP() == 932 ? Text(u"\uff99") : Text(u"\u00d9");
  EXPECT_EQ(logger.EventLogSource(), expected) << "code page " << GetACP();
}

}  // namespace
}  // namespace pendrake::winetest
