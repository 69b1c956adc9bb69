// Cutting a text short without breaking its last character.
#pragma once

#include <bitset>
#include <cstddef>
#include <string_view>

namespace pendrake {

// How the bytes of an 8-bit code page make characters, as far as cutting a text needs to know.
struct CodePageLayout {
  bool utf8 = false;
  // The first bytes of double-byte characters; none in a single-byte code page.
  std::bitset<256> leadBytes;
};

// The longest prefix of at most `limit` UTF-16 units that keeps every surrogate pair whole.
std::u16string_view WholeCharacterPrefix(std::u16string_view text, std::size_t limit);

// The size of the longest prefix of at most `limit` bytes that ends between two characters of
// the code page. A single-byte code page may be cut anywhere.
std::size_t WholeCharacterPrefixSize(std::string_view text, std::size_t limit, const CodePageLayout& layout);

}  // namespace pendrake
