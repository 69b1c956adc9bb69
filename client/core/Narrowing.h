// UTF-16 text to the bytes of one code page, with the flags that code page accepts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pendrake::client {

// WideCharToMultiByte's shape: converts `text` into `out` (`size` bytes) and returns the bytes
// written, or with `out` null the bytes needed; 0 when it fails.
using NarrowFunction = int (*)(uint32_t codePage, uint32_t flags, std::u16string_view text, char* out, int size);

// Narrows `text` to `codePage` through `narrow`, with NarrowingFlags (pendrake/narrowing_flags.h).
// False, with `bytes` empty, when the conversion fails: an empty result is never mistaken for
// a converted text. An empty text converts to no bytes.
bool NarrowTo(uint32_t codePage, std::u16string_view text, NarrowFunction narrow, std::string& bytes);

}  // namespace pendrake::client
