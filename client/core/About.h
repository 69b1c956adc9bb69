// Version texts of the About box and the language list of the first-run window and the
// Options dialog.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pendrake::client {

// A product version as the version resource holds it: major.minor.build.revision
// (dwProductVersionMS = major << 16 | minor, dwProductVersionLS = build << 16 | revision).
struct ProductVersion {
  uint16_t major = 0;
  uint16_t minor = 0;
  uint16_t build = 0;
  uint16_t revision = 0;
  static ProductVersion FromWords(uint32_t mostSignificant, uint32_t leastSignificant);
  friend bool operator==(const ProductVersion&, const ProductVersion&) = default;
};

// The component's version text behind message 301: major.minor.revision when the build
// number is 0 (1.2.0.4 -> "1.2.4"), all four numbers otherwise (1.2.3.4 -> "1.2.3.4"), and
// "Unknown Version" when the version could not be read (nullopt).
std::u16string ComponentVersionText(const std::optional<ProductVersion>& version);

// The client's own version text behind message 302: major.minor.revision (1.2.0.13 -> "1.2.13").
std::u16string ClientVersionText(const ProductVersion& version);

inline constexpr char16_t kUnknownVersion[] = u"Unknown Version";

// The language list (lsLanguage) of both windows, in list order.
struct LanguageEntry {
  const char16_t* text;
  int32_t itemNumber;
  const char16_t* code;
};
std::span<const LanguageEntry> LanguageList();

// The code for a selected entry's item number (0 "EN", 1 "DE", 2 "GR"); nullopt for anything
// else, including no selection (-1): the caller then stores and changes nothing.
std::optional<std::u16string> LanguageCodeForItem(int32_t itemNumber);

// The position the Options dialog selects for the current code: "EN" 0, "DE" 1, "GR" 2
// (exact, case-sensitive); -1 (nothing selected) for any other code.
int32_t OptionsSelectionFor(const std::u16string& languageCode);

// The position the first-run window selects: always "English".
inline constexpr int32_t kFirstRunSelection = 0;

}  // namespace pendrake::client
