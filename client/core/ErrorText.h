// The text of the client's error boxes: which lines a failure shows, whatever the platform
// could or could not say about it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pendrake::client {

// What is known about one failure.
struct ErrorFacts {
  int32_t code = 0;                      // a Win32 error code or an HRESULT
  std::u16string_view systemDescription;  // the platform's text for the code; empty when it has none
  std::u16string_view objectDescription;  // the object's own text (EXCEPINFO); empty when it gave none
};

// The two HRESULTs a creation by ProgID ends with when the component of this bitness is not
// registered: the ProgID is unknown (CO_E_CLASSSTRING) or its class is (REGDB_E_CLASSNOTREG).
inline constexpr int32_t kClassStringError = static_cast<int32_t>(0x800401F3u);
inline constexpr int32_t kClassNotRegistered = static_cast<int32_t>(0x80040154u);

// `code` as "0x" and eight upper-case hexadecimal digits (0x800401F3).
std::u16string HexCode(int32_t code);

// The error box text: prefix + the code in decimal (an HRESULT as the signed number a script
// host reports) + CR LF + the second line. Where the platform has a description, the second
// line is the object's own description when it gave one, else the platform's. Where the
// platform has none, it is HexCode(code), then a blank and the object's description when there
// is one, so the line is never empty. For kClassStringError and kClassNotRegistered a third
// line (after CR LF) says which bitness of the component this client needs: message
// kNeeds64BitComponent for `clientBits` 64, kNeeds32BitComponent otherwise, in the current
// language.
std::u16string ErrorBoxText(std::u16string_view prefix, const ErrorFacts& facts, int clientBits);

}  // namespace pendrake::client
