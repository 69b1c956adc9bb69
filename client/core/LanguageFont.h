// The language font rule: which font name, size and character set the localised windows use
// for the current language code.
#pragma once

#include <cstdint>
#include <string>

namespace pendrake::client {

struct LanguageFontValues {
  std::u16string name;
  int16_t sizePoints = 0;
  int16_t charset = 0;  // a Windows character-set number

  friend bool operator==(const LanguageFontValues&, const LanguageFontValues&) = default;
};

// The three global font values. Before the first application they hold the English values
// ("MS Sans Serif", 8 points, character set 1), so that a process whose very first language
// code is outside the rule (a hand-edited szLanguage) still shows a sensible, defined font.
extern LanguageFontValues gLanguageFontValues;

// Applies the rule for `languageCode` to `values`: "DE" and "EN" give MS Sans Serif / 1,
// "GR" Arial / 161, "JP" MS Gothic / 128, all at 8 points; any other code (case-sensitive)
// leaves `values` unchanged. Returns true when the code is one the rule knows.
bool ApplyLanguageFontRule(const std::u16string& languageCode, LanguageFontValues& values);

// The portable half of SetLanguageFont: applies the rule for gszLanguage to
// gLanguageFontValues and returns them. The Win32 half (Global.h) turns them into the font.
const LanguageFontValues& UpdateLanguageFontValues();

// The English values that the globals start from (and that tests reset to).
LanguageFontValues InitialLanguageFontValues();

}  // namespace pendrake::client
