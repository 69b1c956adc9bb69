// The number fields' key filter and port check.
#include <gtest/gtest.h>

#include <string>

#include "client/core/InputRules.h"

namespace pendrake::client {
namespace {

TEST(DigitsOnlyKeyFilter, PassesDigitsAndControlCodesAndSwallowsEverythingElse) {
  for (uint32_t code = 0; code <= 65535; ++code) {
    const KeyFilterResult r = DigitsOnlyKeyFilter(code);
    const bool passes = code <= 31 || (code >= '0' && code <= '9');
    if (passes) {
      ASSERT_EQ(code, r.code) << "code " << code;
      ASSERT_FALSE(r.beep) << "code " << code;
    } else {
      ASSERT_EQ(0u, r.code) << "code " << code;
      ASSERT_TRUE(r.beep) << "code " << code;
    }
  }
}

TEST(DigitsOnlyKeyFilter, BoundariesAroundTheDigits) {
  struct Case {
    uint32_t code;
    uint32_t out;
    bool beep;
  };
  const Case kCases[] = {
      {8, 8, false},   {13, 13, false}, {22, 22, false}, {31, 31, false}, {32, 0, true},
      {'/', 0, true},  {'0', '0', false}, {'9', '9', false}, {':', 0, true}, {'-', 0, true},
      {127, 0, true},  {0x0660, 0, true},  // ARABIC-INDIC DIGIT ZERO is not an ASCII digit
      {0x10000, 0, true},
  };
  for (const Case& c : kCases) {
    const KeyFilterResult r = DigitsOnlyKeyFilter(c.code);
    EXPECT_EQ(c.out, r.code) << "code " << c.code;
    EXPECT_EQ(c.beep, r.beep) << "code " << c.code;
  }
}

TEST(PortCheck, DecidesByTheWholeText) {
  struct Case {
    const char16_t* text;
    PortCheck expected;
  };
  const Case kCases[] = {
      {u"", PortCheck::Accept},
      {u"0", PortCheck::Accept},
      {u"514", PortCheck::Accept},
      {u"65535", PortCheck::Accept},
      {u"065535", PortCheck::Accept},
      {u"65536", PortCheck::TooLarge},
      {u"70000", PortCheck::TooLarge},
      {u"99999999999999999999999", PortCheck::TooLarge},  // no overflow back into range
      {u"4294967297", PortCheck::TooLarge},                // 2^32 + 1 must not wrap to 1
      {u"abc", PortCheck::NotDigits},
      {u"12a", PortCheck::NotDigits},
      {u" 514", PortCheck::NotDigits},
      {u"-1", PortCheck::NotDigits},
      {u"5 14", PortCheck::NotDigits},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.expected, CheckPortText(c.text)) << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
  }
}

TEST(PortCheck, ResetTextAndPastedTextSettleWithoutAnotherMessage) {
  EXPECT_EQ(PortCheck::Accept, CheckPortText(kMaxPortText));
  // A pasted text is reduced to its digits; the second check then decides as for typing.
  EXPECT_EQ(PortCheck::Accept, CheckPortText(DigitsOnly(u"port 514!")));
  EXPECT_EQ(PortCheck::TooLarge, CheckPortText(DigitsOnly(u"7a0b0c0d0")));
  EXPECT_EQ(u"", DigitsOnly(u"abc"));
  EXPECT_EQ(u"0123456789", DigitsOnly(u"0x1-2 3.4\t5٠6,7/8:9"));
}

TEST(ParseDigits, AcceptsOnlyWholeNumbersWithinTheLimit) {
  struct Case {
    const char16_t* text;
    int32_t max;
    std::optional<int32_t> expected;
  };
  const Case kCases[] = {
      {u"", 65535, std::nullopt},
      {u"0", 65535, 0},
      {u"65535", 65535, 65535},
      {u"65536", 65535, std::nullopt},
      {u"2147483647", INT32_MAX, INT32_MAX},
      {u"2147483648", INT32_MAX, std::nullopt},
      {u"00000000000000000007", INT32_MAX, 7},
      {u"184467440737095516170", INT32_MAX, std::nullopt},
      {u"1e3", INT32_MAX, std::nullopt},
      {u"+5", INT32_MAX, std::nullopt},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.expected, ParseDigits(c.text, c.max))
        << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
  }
}

TEST(DecimalText, SignedDecimalWithoutPadding) {
  EXPECT_EQ(u"0", DecimalText(0));
  EXPECT_EQ(u"-5", DecimalText(-5));
  EXPECT_EQ(u"65535", DecimalText(65535));
  EXPECT_EQ(u"-2147483648", DecimalText(INT32_MIN));
  EXPECT_EQ(u"-9223372036854775808", DecimalText(INT64_MIN));
}

// A clipboard block is read up to its first NUL or its end, whichever comes first. The block
// sits inside a larger buffer of digits, so reading past its end would show.
TEST(TextWithinBlock, StopsAtTheFirstNulOrAtTheBlocksEnd) {
  const char16_t memory[] = u"1234\u00005678999999";
  struct Case {
    size_t bytes;
    std::u16string expected;
  } cases[] = {{0, u""}, {1, u""}, {2, u"1"}, {7, u"123"}, {8, u"1234"}, {10, u"1234"}, {sizeof memory, u"1234"}};
  for (const Case& c : cases) EXPECT_EQ(c.expected, TextWithinBlock(memory, c.bytes)) << c.bytes << " bytes";
  const char16_t unterminated[] = {u'4', u'2', u'7', u'7', u'7'};
  EXPECT_EQ(u"42", TextWithinBlock(unterminated, 4)) << "no terminator in the block";
  EXPECT_EQ(u"", TextWithinBlock(nullptr, 16));
}

}  // namespace
}  // namespace pendrake::client
