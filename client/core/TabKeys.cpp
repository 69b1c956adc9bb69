#include "client/core/TabKeys.h"

namespace pendrake::client {

namespace {

// Capitals of the catalogue's scripts: ASCII and Greek letters (final sigma has no capital of
// its own place).
char16_t Upper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
  if (c >= u'\u03B1' && c <= u'\u03C9' && c != u'\u03C2') return static_cast<char16_t>(c - 0x20);
  return c;
}

}  // namespace

char16_t AccessKeyOf(std::u16string_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (caption[i + 1] != u'&') return Upper(caption[i + 1]);
    ++i;  // "&&" shows one ampersand
  }
  return 0;
}

AccessKeyStep StepForAccessKey(std::span<const char16_t> keys, int focused, char16_t key) {
  const int count = static_cast<int>(keys.size());
  int first = -1, next = -1, holders = 0;
  for (int i = 0; key != 0 && i < count; ++i) {
    if (keys[i] != Upper(key)) continue;
    ++holders;
    if (first < 0) first = i;
    if (next < 0 && i > focused) next = i;
  }
  if (holders == 0) return {};
  if (holders == 1) return {first, true};
  return {next >= 0 ? next : first, false};
}

int NextTab(int current, int count, bool backward) {
  if (count <= 0) return -1;
  if (current < 0 || current >= count) return 0;
  return (current + (backward ? count - 1 : 1)) % count;
}

}  // namespace pendrake::client
