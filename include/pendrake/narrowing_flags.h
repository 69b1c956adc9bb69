// Which WideCharToMultiByte flags a code page accepts. The call fails with ERROR_INVALID_FLAGS
// when given one that the code page refuses, and a text converted that way comes out empty: the
// component and the client both ask here before they convert. Portable (no <windows.h>), so the
// rule is proved natively; the values are those of the Windows headers.
#pragma once

#include <cstdint>

namespace pendrake {

inline constexpr std::uint32_t kWcCompositeCheck = 0x00000200;  // WC_COMPOSITECHECK
inline constexpr std::uint32_t kWcDiscardNs = 0x00000010;       // WC_DISCARDNS
inline constexpr std::uint32_t kWcSepChars = 0x00000020;        // WC_SEPCHARS
inline constexpr std::uint32_t kWcDefaultChar = 0x00000040;     // WC_DEFAULTCHAR
inline constexpr std::uint32_t kWcErrInvalidChars = 0x00000080; // WC_ERR_INVALID_CHARS
inline constexpr std::uint32_t kWcNoBestFitChars = 0x00000400;  // WC_NO_BEST_FIT_CHARS

// The flags `codePage` (a number, not CP_ACP or CP_THREAD_ACP) accepts. The stateful and
// symbol code pages take none: 42 (symbol), 50220-50229 (ISO-2022), 57002-57011 (ISCII),
// 65000 (UTF-7). UTF-8 (65001) and GB18030 (54936) take WC_ERR_INVALID_CHARS only, and are the
// only ones that take it. Every other code page takes the rest.
constexpr std::uint32_t NarrowingFlagsAllowed(std::uint32_t codePage) {
  if (codePage == 42 || (codePage >= 50220 && codePage <= 50229) || (codePage >= 57002 && codePage <= 57011) ||
      codePage == 65000) {
    return 0;
  }
  if (codePage == 65001 || codePage == 54936) return kWcErrInvalidChars;
  return kWcCompositeCheck | kWcDiscardNs | kWcSepChars | kWcDefaultChar | kWcNoBestFitChars;
}

// The wanted flags that `codePage` accepts; the others are left out, never the conversion.
constexpr std::uint32_t NarrowingFlags(std::uint32_t codePage, std::uint32_t wanted) {
  return wanted & NarrowingFlagsAllowed(codePage);
}

}  // namespace pendrake
