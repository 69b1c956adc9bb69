#include "character_cut.h"

namespace pendrake {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::u16string_view WholeCharacterPrefix(std::u16string_view text, std::size_t limit) {
  if (text.size() <= limit) return text;
  if (limit > 0 && IsHighSurrogate(text[limit - 1]) && IsLowSurrogate(text[limit])) --limit;
  return text.substr(0, limit);
}

std::size_t WholeCharacterPrefixSize(std::string_view text, std::size_t limit, const CodePageLayout& layout) {
  if (text.size() <= limit) return text.size();
  if (layout.utf8) {
    // Back over the continuation bytes of the character the limit falls into, to its start.
    std::size_t end = limit;
    while (end > 0 && limit - end < 3 && IsUtf8Continuation(text[end])) --end;
    return end;
  }
  if (layout.leadBytes.none()) return limit;
  // A trail byte may look like a lead byte or like ASCII, so only a walk from the start tells
  // where the characters begin.
  std::size_t end = 0;
  while (end < limit) {
    const std::size_t next = end + (layout.leadBytes.test(static_cast<unsigned char>(text[end])) ? 2 : 1);
    if (next > limit) break;
    end = next;
  }
  return end;
}

}  // namespace pendrake
