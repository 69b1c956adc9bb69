// The message catalogue of the configuration client: every caption, tab title, menu text and
// tooltip of the localised windows, and the two catalogue error messages, in English, German
// and Greek.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace pendrake::client {

// The current language code, shared by every window: "EN", "DE" or "GR" once the first-run
// window or the Options dialog has set it; empty before. The font rule also knows "JP".
// Read and written only on the user-interface thread.
extern std::u16string gszLanguage;

// One row of the catalogue. Every column is filled: a Greek row that keeps the English
// wording holds the English text itself.
struct CatalogueRow {
  int32_t number;
  const char16_t* english;
  const char16_t* german;
  const char16_t* greek;
};

// The whole catalogue in ascending message number order.
std::span<const CatalogueRow> Catalogue();

// The text of message `number` in the language of `languageCode`: the German column for
// exactly "DE", else the Greek column for exactly "GR", else English (case-sensitive, so
// "de" gives English). A number without an entry gives "***MESSAGE_MISSING***<number>"
// (decimal, with a minus sign when negative). Never fails.
std::u16string GetMessageTextFor(const std::u16string& languageCode, int32_t number);

// The text of message `number` in the current language (gszLanguage, read at every call).
std::u16string GetMessageText(int32_t number);

// Message numbers the windows and rules refer to by name.
namespace msg {
inline constexpr int32_t kPortTooLarge = 150;
inline constexpr int32_t kScriptError = 1002;
// The prefix of the error box when one of the nine writes of a save fails.
inline constexpr int32_t kSaveFailed = 1010;
// Said once in the status bar when the settings key cannot be written at load.
inline constexpr int32_t kSettingsReadOnly = 1011;
// The last line of a "class not registered" error box, by the client's own bitness.
inline constexpr int32_t kNeeds64BitComponent = 1012;
inline constexpr int32_t kNeeds32BitComponent = 1013;
}  // namespace msg

}  // namespace pendrake::client
