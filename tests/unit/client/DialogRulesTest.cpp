// The decisions behind the first-run window, the Options dialog's OK and the About box's link.
#include "client/core/DialogRules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace pendrake::client {
namespace {

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

const char* Name(StartupAction action) {
  switch (action) {
    case StartupAction::ShowMainWindow: return "ShowMainWindow";
    case StartupAction::AskFirstTime: return "AskFirstTime";
    case StartupAction::AskSettingsNotFound: return "AskSettingsNotFound";
  }
  return "?";
}

TEST(DialogRules, StartupFollowsTheKeyAndTheStoredLanguage) {
  struct Case {
    bool keyOpened;
    std::u16string stored;
    StartupAction expected;
    const char* status;
  };
  const Case cases[] = {
      // The key had to be created: a first run, whatever the read would have given.
      {false, u"", StartupAction::AskFirstTime, "This window appears only the first Time"},
      {false, u"DE", StartupAction::AskFirstTime, "This window appears only the first Time"},
      // The key is there but holds no language.
      {true, u"", StartupAction::AskSettingsNotFound, "Language settings not found."},
      // Any stored code goes straight to the main window, also one the client never writes.
      {true, u"EN", StartupAction::ShowMainWindow, ""},
      {true, u"GR", StartupAction::ShowMainWindow, ""},
      {true, u"JP", StartupAction::ShowMainWindow, ""},
      {true, u" ", StartupAction::ShowMainWindow, ""},
  };
  for (const Case& c : cases) {
    const StartupAction got = DecideStartup(c.keyOpened, c.stored);
    EXPECT_EQ(got, c.expected) << "opened=" << c.keyOpened << " stored='" << Narrow(c.stored) << "': expected "
                               << Name(c.expected) << ", got " << Name(got);
    EXPECT_EQ(Narrow(FirstRunStatusText(got)), c.status) << "status text for " << Name(got);
  }
}

TEST(DialogRules, OptionsOkStoresTheSelectedCodeAndRelabelsOnlyOnAChange) {
  struct Case {
    std::optional<int32_t> item;
    std::u16string current;
    bool store;
    bool relabel;
    std::u16string language;
  };
  const Case cases[] = {
      // The same language: written again, nothing relabelled.
      {0, u"EN", true, false, u"EN"},
      {1, u"DE", true, false, u"DE"},
      {2, u"GR", true, false, u"GR"},
      // A change.
      {1, u"EN", true, true, u"DE"},
      {2, u"DE", true, true, u"GR"},
      {0, u"GR", true, true, u"EN"},
      // Comparison is exact: "de" is not "DE"; a hand-edited code is replaced by the choice.
      {1, u"de", true, true, u"DE"},
      {0, u"JP", true, true, u"EN"},
      {0, u"", true, true, u"EN"},
      // No entry selected, or an item number without a code: nothing stored, nothing changed.
      {std::nullopt, u"JP", false, false, u""},
      {std::nullopt, u"EN", false, false, u""},
      {-1, u"JP", false, false, u""},
      {3, u"EN", false, false, u""},
  };
  for (const Case& c : cases) {
    const OptionsOkOutcome got = DecideOptionsOk(c.item, c.current);
    const std::string context = "item " + (c.item ? std::to_string(*c.item) : std::string("none")) +
                                " with current '" + Narrow(c.current) + "'";
    EXPECT_EQ(got.store, c.store) << context;
    EXPECT_EQ(got.relabel, c.relabel) << context;
    EXPECT_EQ(Narrow(got.language), Narrow(c.language)) << context;
  }
}

TEST(DialogRules, WebLinkFailsAtThirtyTwoAndBelow) {
  struct Case {
    std::intptr_t result;
    bool failed;
    const char* text;
  };
  const Case cases[] = {
      {0, true, "Error 0 opening the Pendrake Ordersite"},
      {2, true, "Error 2 opening the Pendrake Ordersite"},
      {31, true, "Error 31 opening the Pendrake Ordersite"},
      {32, true, "Error 32 opening the Pendrake Ordersite"},
      {-1, true, "Error -1 opening the Pendrake Ordersite"},
      {33, false, nullptr},
      {42, false, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShellOpenFailed(c.result), c.failed) << "shell result " << c.result;
    if (c.text) {
      EXPECT_EQ(Narrow(WebLinkErrorText(c.result)), c.text) << "shell result " << c.result;
    }
  }
}

}  // namespace
}  // namespace pendrake::client
