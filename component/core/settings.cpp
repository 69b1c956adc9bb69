#include "settings.h"

#include <exception>

namespace pendrake {

std::optional<std::u16string> TextFromArgument(const char16_t* textOrNull) noexcept {
  if (textOrNull == nullptr) return std::nullopt;
  try {
    return std::u16string(textOrNull);  // stops at the first NUL
  } catch (const std::exception&) {
    return std::nullopt;  // a copy that cannot be made leaves the text absent, unreported
  }
}

}  // namespace pendrake
