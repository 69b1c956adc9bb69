#include "settings.h"

namespace pendrake {

std::optional<std::u16string> TextFromArgument(const char16_t* textOrNull) {
  if (textOrNull == nullptr) return std::nullopt;
  return std::u16string(textOrNull);  // stops at the first NUL
}

}  // namespace pendrake
