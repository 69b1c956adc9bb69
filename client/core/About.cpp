#include "client/core/About.h"

#include "client/core/InputRules.h"

namespace pendrake::client {

ProductVersion ProductVersion::FromWords(uint32_t mostSignificant, uint32_t leastSignificant) {
  return {static_cast<uint16_t>(mostSignificant >> 16), static_cast<uint16_t>(mostSignificant & 0xFFFF),
          static_cast<uint16_t>(leastSignificant >> 16), static_cast<uint16_t>(leastSignificant & 0xFFFF)};
}

std::u16string ComponentVersionText(const std::optional<ProductVersion>& version) {
  if (!version) return kUnknownVersion;
  std::u16string text = DecimalText(version->major) + u"." + DecimalText(version->minor) + u".";
  // The build number is shown only where it says something; 1.2.0.4 reads as 1.2.4.
  if (version->build != 0) text += DecimalText(version->build) + u".";
  return text + DecimalText(version->revision);
}

std::u16string ClientVersionText(const ProductVersion& version) {
  return DecimalText(version.major) + u"." + DecimalText(version.minor) + u"." + DecimalText(version.revision);
}

namespace {
constexpr LanguageEntry kLanguages[] = {
    {u"English", 0, u"EN"},
    {u"Deutsch", 1, u"DE"},
    {u"Greek", 2, u"GR"},
};
}  // namespace

std::span<const LanguageEntry> LanguageList() { return kLanguages; }

std::optional<std::u16string> LanguageCodeForItem(int32_t itemNumber) {
  for (const LanguageEntry& entry : kLanguages) {
    if (entry.itemNumber == itemNumber) return std::u16string(entry.code);
  }
  return std::nullopt;
}

int32_t OptionsSelectionFor(const std::u16string& languageCode) {
  for (size_t i = 0; i < std::size(kLanguages); ++i) {
    if (languageCode == kLanguages[i].code) return static_cast<int32_t>(i);
  }
  return -1;
}

}  // namespace pendrake::client
