// Reading a fuzzer's bytes as the texts and numbers a target hands to the code under test.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace pendrake::fuzz {

// Bytes become UTF-16 units one to one, so plain-text seeds read as themselves; 0xFF takes the
// next two bytes as one unit (little-endian), which reaches surrogates and characters outside
// Latin-1.
inline std::u16string WideFromBytes(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  text.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && i + 2 < size) {
      text.push_back(static_cast<char16_t>(data[i + 1] | data[i + 2] << 8));
      i += 2;
    } else {
      text.push_back(static_cast<char16_t>(data[i]));
    }
  }
  return text;
}

inline std::u16string ConsumeWide(FuzzedDataProvider& input, std::size_t maxLength) {
  const std::string bytes = input.ConsumeRandomLengthString(maxLength);
  return WideFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// A broken invariant is a crash the fuzzer keeps the input of; the line says which one.
[[noreturn]] inline void Broken(const char* invariant, const std::string& detail = {}) {
  std::fprintf(stderr, "invariant broken: %s %s\n", invariant, detail.c_str());
  std::abort();
}

#define PENDRAKE_FUZZ_CHECK(condition, detail) \
  do {                                         \
    if (!(condition)) ::pendrake::fuzz::Broken(#condition, detail); \
  } while (0)

}  // namespace pendrake::fuzz
