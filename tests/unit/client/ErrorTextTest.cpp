// The error box text: the second line is never empty, and a missing registration names the
// bitness the client needs.
#include <gtest/gtest.h>

#include <string>

#include "client/core/ErrorText.h"
#include "client/core/Messages.h"

namespace pendrake::client {
namespace {

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

class ErrorTextTest : public ::testing::Test {
 protected:
  void TearDown() override { gszLanguage.clear(); }
};

TEST(HexCode, EightUpperCaseDigitsOfTheUnsignedCode) {
  EXPECT_EQ(u"0x800401F3", HexCode(kClassStringError));
  EXPECT_EQ(u"0x80020005", HexCode(static_cast<int32_t>(0x80020005u)));
  EXPECT_EQ(u"0x00000005", HexCode(5));
  EXPECT_EQ(u"0x00000000", HexCode(0));
  EXPECT_EQ(u"0xFFFFFFFF", HexCode(-1));
}

TEST_F(ErrorTextTest, SecondLineByWhatThePlatformAndTheObjectSaid) {
  constexpr int32_t kTypeMismatch = static_cast<int32_t>(0x80020005u);
  struct Case {
    const char* name;
    int32_t code;
    const char16_t* system;
    const char16_t* object;
    const char16_t* expected;
  };
  const Case kCases[] = {
      {"platform text", 5, u"Access denied.", u"", u"Error: 5\r\nAccess denied."},
      {"object text wins over the platform's", kTypeMismatch, u"Type mismatch.", u"Bad port",
       u"Error: -2147352571\r\nBad port"},
      {"neither: the code in hexadecimal", kTypeMismatch, u"", u"", u"Error: -2147352571\r\n0x80020005"},
      {"no platform text: hexadecimal, then the object's", kTypeMismatch, u"", u"Bad port",
       u"Error: -2147352571\r\n0x80020005 Bad port"},
      {"a Win32 code without text", 1234567, u"", u"", u"Error: 1234567\r\n0x0012D687"},
  };
  for (const Case& c : kCases) {
    const std::u16string text = ErrorBoxText(u"Error: ", {c.code, c.system, c.object}, 64);
    EXPECT_EQ(Narrow(c.expected), Narrow(text)) << c.name;
  }
}

TEST_F(ErrorTextTest, MissingRegistrationNamesTheBitnessTheClientNeeds) {
  for (const char16_t* code : {u"EN", u"DE", u"GR"}) {
    gszLanguage = code;
    const std::u16string hint64 = GetMessageText(msg::kNeeds64BitComponent);
    const std::u16string hint32 = GetMessageText(msg::kNeeds32BitComponent);
    EXPECT_EQ(u"Error: -2147221005\r\n0x800401F3\r\n" + hint64,
              ErrorBoxText(u"Error: ", {kClassStringError, u"", u""}, 64));
    EXPECT_EQ(u"Error: -2147221164\r\nClass not registered\r\n" + hint64,
              ErrorBoxText(u"Error: ", {kClassNotRegistered, u"Class not registered", u""}, 64));
    EXPECT_EQ(u"Error: -2147221005\r\n0x800401F3\r\n" + hint32,
              ErrorBoxText(u"Error: ", {kClassStringError, u"", u""}, 32));
  }
  // Other failures of a creation or a call carry no hint.
  const std::u16string other = ErrorBoxText(u"Error: ", {static_cast<int32_t>(0x80070005u), u"", u""}, 64);
  EXPECT_EQ(u"Error: -2147024891\r\n0x80070005", other);
}

TEST_F(ErrorTextTest, ThePrefixIsTakenAsItIs) {
  gszLanguage = u"DE";
  EXPECT_EQ(u"Die Einstellungen konnten nicht gespeichert werden. Fehler: 5\r\nZugriff verweigert",
            ErrorBoxText(GetMessageText(msg::kSaveFailed), {5, u"Zugriff verweigert", u""}, 64));
  EXPECT_EQ(u"Fehler bei der Erstellung des Scripts:3\r\n0x00000003",
            ErrorBoxText(GetMessageText(1002), {3, u"", u""}, 64));
}

}  // namespace
}  // namespace pendrake::client
