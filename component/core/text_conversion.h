// Texts to 8-bit strings in the calling thread's ANSI code page.
#pragma once

#include <optional>
#include <string>

#include "ports.h"

namespace pendrake {

// Up to the first NUL; an absent text gives an absent string.
std::optional<std::string> ToNarrow(CodePage& codePage, const std::optional<std::u16string>& text);
// An absent (null) argument gives the empty string.
std::string ArgumentToNarrow(CodePage& codePage, const char16_t* textOrNull);

}  // namespace pendrake
