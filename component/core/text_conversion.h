// Texts to 8-bit strings in the calling thread's ANSI code page. Inline: they sit on the path
// of every logging call, and each is little more than the port call it makes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "character_cut.h"
#include "ports.h"

namespace pendrake {

// Up to the first NUL. An absent text converts nothing and gives false.
inline bool ToNarrow(CodePage& codePage, const std::optional<std::u16string>& text, NarrowText& out) {
  if (!text) {
    out.Clear();
    return false;
  }
  const std::u16string_view view(*text);
  codePage.ToNarrow(std::u16string_view(view.begin(), std::find(view.begin(), view.end(), u'\0')), out);
  return true;
}

}  // namespace pendrake
