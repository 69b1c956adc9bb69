// Where a text may be cut: never inside a surrogate pair, a double-byte character or a UTF-8
// sequence; anywhere in a single-byte code page.
#include <gtest/gtest.h>

#include <string>

#include "character_cut.h"
#include "pendrake/narrowing_flags.h"

namespace pendrake {
namespace {

CodePageLayout ShiftJis() {  // code page 932
  CodePageLayout layout;
  for (unsigned b = 0x81; b <= 0x9F; ++b) layout.leadBytes.set(b);
  for (unsigned b = 0xE0; b <= 0xFC; ++b) layout.leadBytes.set(b);
  return layout;
}

CodePageLayout Utf8() {
  CodePageLayout layout;
  layout.utf8 = true;
  return layout;
}

TEST(CharacterCut, BytePrefixEndsBetweenCharacters) {
  const std::string a = "\x82\xa0";        // あ in 932
  const std::string so = "\x83\x5c";       // ソ in 932: its trail byte is ASCII's backslash
  const std::string lead81 = "\x81\x81";   // ＝ in 932: its trail byte is a lead byte too
  const std::string euro = "\xe2\x82\xac";  // € in UTF-8
  const std::string grin = "\xf0\x9f\x98\x80";
  struct Case {
    const char* what;
    CodePageLayout layout;
    std::string text;
    std::size_t limit;
    std::size_t expected;
  } const cases[] = {
      {"fits: the whole text", ShiftJis(), "x" + a, 3, 3},
      {"932: lead byte left without its trail", ShiftJis(), "x" + a + a, 4, 3},
      {"932: cut after a whole character", ShiftJis(), "x" + a + a, 3, 3},
      {"932: single-byte katakana", ShiftJis(), "\xb1\xb2\xb3", 2, 2},
      {"932: ASCII-looking trail byte", ShiftJis(), so + so, 3, 2},
      {"932: lead-looking trail byte", ShiftJis(), lead81 + lead81 + lead81, 5, 4},
      {"932: nothing fits", ShiftJis(), a, 1, 0},
      {"UTF-8: inside a three-byte character", Utf8(), "a" + euro, 2, 1},
      {"UTF-8: inside its last byte", Utf8(), "a" + euro, 3, 1},
      {"UTF-8: after it", Utf8(), "a" + euro + "b", 4, 4},
      {"UTF-8: inside a four-byte character", Utf8(), "ab" + grin, 5, 2},
      {"UTF-8: ASCII", Utf8(), "abcdef", 3, 3},
      {"single-byte: anywhere", CodePageLayout{}, "\xe9\xe9\xe9", 2, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WholeCharacterPrefixSize(c.text, c.limit, c.layout), c.expected) << c.what;
  }
}

TEST(CharacterCut, Utf16PrefixKeepsSurrogatePairsWhole) {
  const std::u16string text = u"ab\U0001F600c";  // a, b, high, low, c
  struct Case {
    std::size_t limit;
    std::size_t expected;
  } const cases[] = {{0, 0}, {2, 2}, {3, 2}, {4, 4}, {5, 5}, {99, 5}};
  for (const Case& c : cases) {
    EXPECT_EQ(WholeCharacterPrefix(text, c.limit).size(), c.expected) << "limit " << c.limit;
  }
  EXPECT_EQ(WholeCharacterPrefix(u"\xDC00x", 1).size(), 1u) << "a lone low surrogate is no pair";
}

// WideCharToMultiByte fails with ERROR_INVALID_FLAGS, and converts nothing, when a code page is
// given a flag that the documentation says it refuses; Wine accepts them all.
TEST(NarrowingFlags, WideCharToMultiByteDocumentedFlagsPerCodePage) {
  const std::pair<std::uint32_t, std::uint32_t> cases[] = {  // code page, what passes of both flags
      {1252, kWcNoBestFitChars}, {936, kWcNoBestFitChars}, {65001, kWcErrInvalidChars}, {54936, kWcErrInvalidChars},
      {42, 0}, {50220, 0}, {50229, 0}, {57002, 0}, {57011, 0}, {65000, 0}, {57012, kWcNoBestFitChars}};
  for (const auto& [codePage, passed] : cases) {
    EXPECT_EQ(NarrowingFlags(codePage, kWcNoBestFitChars | kWcErrInvalidChars), passed) << "code page " << codePage;
  }
}

}  // namespace
}  // namespace pendrake
