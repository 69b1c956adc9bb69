#include "client/core/LanguageFont.h"

#include "client/core/Messages.h"

namespace pendrake::client {

LanguageFontValues InitialLanguageFontValues() { return {u"MS Sans Serif", 8, 1}; }

LanguageFontValues gLanguageFontValues = InitialLanguageFontValues();

bool ApplyLanguageFontRule(const std::u16string& languageCode, LanguageFontValues& values) {
  struct Rule {
    const char16_t* code;
    const char16_t* name;
    int16_t charset;
  };
  static constexpr Rule kRules[] = {
      {u"DE", u"MS Sans Serif", 1},
      {u"EN", u"MS Sans Serif", 1},
      {u"GR", u"Arial", 161},
      {u"JP", u"MS Gothic", 128},
  };
  for (const Rule& rule : kRules) {
    if (languageCode == rule.code) {
      values = {rule.name, 8, rule.charset};
      return true;
    }
  }
  return false;
}

const LanguageFontValues& UpdateLanguageFontValues() {
  ApplyLanguageFontRule(gszLanguage, gLanguageFontValues);
  return gLanguageFontValues;
}

}  // namespace pendrake::client
