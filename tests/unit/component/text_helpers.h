#pragma once

#include <optional>
#include <string>

namespace pendrake::testing {

// A text as the assertion messages show it: "<absent>" or the text in quotes (ASCII only).
inline std::string Show(const std::optional<std::u16string>& text) {
  if (!text) return "<absent>";
  std::string out = "\"";
  for (char16_t c : *text) out += c < 0x80 ? static_cast<char>(c) : '~';
  return out + "\"";
}

inline std::u16string U16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace pendrake::testing
