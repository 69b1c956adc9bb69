#include "client/core/DialogRules.h"

#include "client/core/About.h"

namespace pendrake::client {

StartupAction DecideStartup(bool keyOpened, const std::u16string& storedLanguage) {
  if (!keyOpened) return StartupAction::AskFirstTime;
  return storedLanguage.empty() ? StartupAction::AskSettingsNotFound : StartupAction::ShowMainWindow;
}

std::u16string FirstRunStatusText(StartupAction action) {
  switch (action) {
    case StartupAction::AskFirstTime: return u"This window appears only the first Time";
    case StartupAction::AskSettingsNotFound: return u"Language settings not found.";
    case StartupAction::ShowMainWindow: break;
  }
  return {};
}

OptionsOkOutcome DecideOptionsOk(std::optional<int32_t> selectedItemNumber,
                                 const std::u16string& currentLanguage) {
  OptionsOkOutcome outcome;
  if (!selectedItemNumber) return outcome;
  const std::optional<std::u16string> code = LanguageCodeForItem(*selectedItemNumber);
  if (!code) return outcome;
  outcome.store = true;
  outcome.relabel = *code != currentLanguage;
  outcome.language = *code;
  return outcome;
}

bool ShellOpenFailed(std::intptr_t shellResult) { return shellResult <= 32; }

std::u16string WebLinkErrorText(std::intptr_t shellResult) {
  std::u16string text = u"Error ";
  for (char c : std::to_string(shellResult)) text += static_cast<char16_t>(c);
  return text + u" opening the Pendrake Ordersite";
}

}  // namespace pendrake::client
