// Decisions of the first-run window, the Options dialog and the About box that need no
// window: what start-up shows, what the Options dialog's OK stores and how a failed web link
// reads. The windows only carry these out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pendrake::client {

// What the start window does after it has looked at the client key.
enum class StartupAction {
  ShowMainWindow,        // a language is stored: the first-run window is never seen
  AskFirstTime,          // the key had to be created
  AskSettingsNotFound,   // the key exists, but szLanguage is missing or empty
};

// keyOpened: the read-and-write open of the client key succeeded (a created key is a first run).
StartupAction DecideStartup(bool keyOpened, const std::u16string& storedLanguage);

// The status line of the first-run window for an Ask action (empty for ShowMainWindow).
std::u16string FirstRunStatusText(StartupAction action);

// What the Options dialog's OK does with the entry the user left selected.
struct OptionsOkOutcome {
  bool store = false;       // write szLanguage (also when the language did not change)
  bool relabel = false;     // the code differs: main window and dialog take the new language
  std::u16string language;  // the code to store; empty when nothing is stored
};

// selectedItemNumber: the item number of the selected entry, nullopt when nothing is selected
// (possible only when the stored code is none of the three and the user picked nothing). With
// no entry, or an item number that maps to no code, nothing is stored and nothing changes.
OptionsOkOutcome DecideOptionsOk(std::optional<int32_t> selectedItemNumber,
                                 const std::u16string& currentLanguage);

// The shell reports success with a value above 32; 32 and below are errors.
bool ShellOpenFailed(std::intptr_t shellResult);

// "Error <n> opening the Pendrake Ordersite".
std::u16string WebLinkErrorText(std::intptr_t shellResult);

}  // namespace pendrake::client
