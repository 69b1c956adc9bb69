// The flags to hand WideCharToMultiByte for one code page. Header-only and free of <windows.h>,
// so the component, the client and the native tests all narrow text by the same rule.
#pragma once

#include <cstdint>

namespace pendrake {

inline constexpr uint32_t kNoBestFitChars = 0x400;  // WC_NO_BEST_FIT_CHARS

// WC_NO_BEST_FIT_CHARS keeps a character the code page lacks as the default character ('?')
// rather than a look-alike that would change a stored name or a script's quoting. Some code
// pages refuse it, and the call then fails with ERROR_INVALID_FLAGS: UTF-8 (65001) and GB18030
// (54936) take only 0 or WC_ERR_INVALID_CHARS (they lack no character anyway), and the ISO-2022
// pages (50220-50229), the ISCII pages (57002-57011), UTF-7 (65000) and Symbol (42) take only 0.
constexpr uint32_t NarrowingFlags(uint32_t codePage) {
  const bool noFlags = codePage == 65001 || codePage == 54936 || codePage == 65000 || codePage == 42 ||
                       (codePage >= 50220 && codePage <= 50229) || (codePage >= 57002 && codePage <= 57011);
  return noFlags ? 0 : kNoBestFitChars;
}

}  // namespace pendrake
