// Version texts of the About box and the language list rules.
#include <gtest/gtest.h>

#include <string>

#include "client/core/About.h"

namespace pendrake::client {
namespace {

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

TEST(VersionTexts, ComponentVersionShowsTheBuildOnlyWhenItIsNotZero) {
  struct Case {
    uint32_t ms, ls;
    const char* expected;
  };
  const Case kCases[] = {
      {0x00010002, 0x00000004, "1.2.4"},
      {0x00010002, 0x00030004, "1.2.3.4"},  // not 1.2.196612
      {0x00000000, 0x00000000, "0.0.0"},
      {0xFFFFFFFF, 0xFFFFFFFF, "65535.65535.65535.65535"},
      {0x00010000, 0x00010000, "1.0.1.0"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.expected, Narrow(ComponentVersionText(ProductVersion::FromWords(c.ms, c.ls))))
        << std::hex << c.ms << " " << c.ls;
  }
  EXPECT_EQ("Unknown Version", Narrow(ComponentVersionText(std::nullopt)));
}

TEST(VersionTexts, ClientVersionIsMajorMinorRevision) {
  EXPECT_EQ("1.2.13", Narrow(ClientVersionText(ProductVersion::FromWords(0x00010002, 0x0000000D))));
  EXPECT_EQ("1.2.13", Narrow(ClientVersionText({1, 2, 7, 13})));
}

TEST(LanguageList, EntriesItemNumbersAndCodes) {
  struct Row {
    const char* text;
    int32_t item;
    const char* code;
  };
  const Row kRows[] = {{"English", 0, "EN"}, {"Deutsch", 1, "DE"}, {"Greek", 2, "GR"}};
  ASSERT_EQ(3u, LanguageList().size());
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(kRows[i].text, Narrow(LanguageList()[i].text));
    EXPECT_EQ(kRows[i].item, LanguageList()[i].itemNumber);
    EXPECT_EQ(kRows[i].code, Narrow(LanguageCodeForItem(kRows[i].item).value_or(u"?")));
  }
}

TEST(LanguageList, SelectionRules) {
  const std::pair<const char16_t*, int32_t> kSelections[] = {
      {u"EN", 0}, {u"DE", 1}, {u"GR", 2}, {u"JP", -1}, {u"", -1}, {u"de", -1}, {u"EN ", -1}, {u"Greek", -1}};
  for (auto [code, position] : kSelections) EXPECT_EQ(position, OptionsSelectionFor(code)) << Narrow(code);
  EXPECT_EQ(0, kFirstRunSelection) << "the first-run window offers English";
  for (int32_t item : {-1, 3, 100}) EXPECT_FALSE(LanguageCodeForItem(item).has_value()) << item;
}

}  // namespace
}  // namespace pendrake::client
