// The language font rule as the windows meet it: a sequence of language changes.
#include <gtest/gtest.h>

#include <string>

#include "client/core/LanguageFont.h"
#include "client/core/Messages.h"

namespace pendrake::client {
namespace {

std::string Describe(const LanguageFontValues& v) {
  return std::string(v.name.begin(), v.name.end()) + "/" + std::to_string(v.charset) + "/" +
         std::to_string(v.sizePoints);
}

class LanguageFontTest : public ::testing::Test {
 protected:
  void SetUp() override { gLanguageFontValues = InitialLanguageFontValues(); }
  void TearDown() override {
    gszLanguage.clear();
    gLanguageFontValues = InitialLanguageFontValues();
  }
};

TEST_F(LanguageFontTest, EachApplicationFollowsTheRuleOrKeepsThePreviousValues) {
  struct Step {
    const char16_t* code;
    LanguageFontValues expected;
  };
  // One process's life: every step starts from what the previous one left.
  const Step kSteps[] = {
      {u"xx", {u"MS Sans Serif", 8, 1}},  // very first application, unknown code: English values
      {u"GR", {u"Arial", 8, 161}},
      {u"xx", {u"Arial", 8, 161}},
      {u"de", {u"Arial", 8, 161}},  // case-sensitive: not German
      {u"", {u"Arial", 8, 161}},
      {u"JP", {u"MS Gothic", 8, 128}},
      {u"DE", {u"MS Sans Serif", 8, 1}},
      {u"GR", {u"Arial", 8, 161}},
      {u"EN", {u"MS Sans Serif", 8, 1}},
      {u"gr", {u"MS Sans Serif", 8, 1}},
  };
  int step = 0;
  for (const Step& s : kSteps) {
    gszLanguage = s.code;
    const LanguageFontValues& got = UpdateLanguageFontValues();
    EXPECT_EQ(Describe(s.expected), Describe(got)) << "step " << step;
    EXPECT_EQ(&got, &gLanguageFontValues) << "the rule updates the shared values";
    ++step;
  }
}

TEST_F(LanguageFontTest, RuleReportsWhetherItKnewTheCode) {
  LanguageFontValues values{u"Keep", 9, 7};
  EXPECT_FALSE(ApplyLanguageFontRule(u"FR", values));
  EXPECT_EQ(Describe({u"Keep", 9, 7}), Describe(values));
  EXPECT_TRUE(ApplyLanguageFontRule(u"JP", values));
  EXPECT_EQ(Describe({u"MS Gothic", 8, 128}), Describe(values));
}

}  // namespace
}  // namespace pendrake::client
