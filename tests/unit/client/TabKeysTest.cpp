// Which tab Alt+letter and Ctrl+Tab select.
#include "client/core/TabKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pendrake::client {
namespace {

TEST(TabKeys, AccessKeyIsTheLetterAfterASingleAmpersand) {
  struct Case {
    const char16_t* caption;
    char16_t key;
  } cases[] = {{u"&Test Installation", u'T'}, {u"&Defaults", u'D'}, {u"&Standardwerte", u'S'},
               {u"R&&D &plan", u'P'},        {u"no key", 0},       {u"trailing&", 0},
               {u"&&", 0},                   {u"&\u0394okim\u03ae", u'\u0394'}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.key, AccessKeyOf(c.caption)) << std::string(c.caption, c.caption + std::char_traits<char16_t>::length(c.caption));
  }
}

TEST(TabKeys, AltLetterFindsItsTabWithoutRegardToCase) {
  auto target = [](std::initializer_list<const char16_t*> captions, char16_t key) {
    std::vector<char16_t> keys;
    for (const char16_t* caption : captions) keys.push_back(AccessKeyOf(caption));
    return StepForAccessKey(keys, -1, key).target;
  };
  EXPECT_EQ(0, target({u"&Test Installation", u"&Defaults"}, u't'));
  EXPECT_EQ(0, target({u"&Test Installation", u"&Defaults"}, u'T'));
  EXPECT_EQ(1, target({u"&Test Installation", u"&Defaults"}, u'd'));
  EXPECT_EQ(-1, target({u"&Test Installation", u"&Defaults"}, u'x'));
  EXPECT_EQ(-1, target({u"&Test Installation", u"&Defaults"}, 0));
  EXPECT_EQ(1, target({u"&Test \u03b5\u03b3\u03ba\u03b1\u03c4\u03ac\u03c3\u03c4\u03b1\u03c3\u03b7\u03c2",
                       u"&\u03a0\u03c1\u03bf\u03b5\u03c0\u03b9\u03bb\u03bf\u03b3\u03ad\u03c2"},
                      u'\u03c0'))
      << "a Greek small pi finds the tab of capital pi";
}

// German: the defaults tab "&Standardwerte" and Apply "&Speichern" share S. Each press moves the
// focus on to the next of them (the tab first), wrapping round; a unique key acts at once.
TEST(TabKeys, SharedAccessKeyCyclesTheFocusInTabOrderAndAUniqueOneActs) {
  const std::vector<char16_t> keys = {u'I', u'S', u'O', u'A', u'S'};  // two tabs, OK, Abbrechen, Speichern
  struct Case {
    int focused;
    char16_t key;
    AccessKeyStep step;
  } cases[] = {{-1, u's', {1, false}}, {1, u'S', {4, false}}, {4, u's', {1, false}}, {2, u's', {4, false}},
               {-1, u'a', {3, true}},  {3, u'a', {3, true}},  {1, u'i', {0, true}},  {0, u'x', {-1, false}},
               {0, 0, {-1, false}}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.step, StepForAccessKey(keys, c.focused, c.key)) << "focus " << c.focused << ", key " << char(c.key);
  }
}

TEST(TabKeys, CtrlTabWrapsRoundBothWays) {
  struct Case {
    int current, count;
    bool backward;
    int expected;
  } cases[] = {{0, 2, false, 1}, {1, 2, false, 0}, {0, 2, true, 1}, {1, 2, true, 0},
               {2, 3, false, 0}, {0, 3, true, 2}, {-1, 2, false, 0}, {0, 0, false, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, NextTab(c.current, c.count, c.backward))
        << c.current << " of " << c.count << (c.backward ? " backward" : " forward");
  }
}

}  // namespace
}  // namespace pendrake::client
