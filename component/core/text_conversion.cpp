#include "text_conversion.h"

#include <string_view>

namespace pendrake {

std::optional<std::string> ToNarrow(CodePage& codePage, const std::optional<std::u16string>& text) {
  if (!text) return std::nullopt;
  const std::u16string_view view(*text);
  return codePage.ToNarrow(view.substr(0, view.find(u'\0')));
}

std::string ArgumentToNarrow(CodePage& codePage, const char16_t* textOrNull) {
  if (textOrNull == nullptr) return {};
  return codePage.ToNarrow(std::u16string_view(textOrNull));
}

}  // namespace pendrake
