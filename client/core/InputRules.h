// Input rules of the client's number fields: the key filter and the syslog port check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pendrake::client {

struct KeyFilterResult {
  uint32_t code;  // the character code to pass on; 0 swallows the key
  bool beep;      // sound the system beep
};

// DigitsOnlyKeyFilter: the key-press filter of the four number fields. A character code
// below '0' or above '9' that is greater than 31 is swallowed (code 0) with a beep; digits
// and control characters (31 or less: backspace, enter, clipboard shortcuts) pass unchanged.
KeyFilterResult DigitsOnlyKeyFilter(uint32_t charCode);

// `text` with every character that is not an ASCII digit removed. A number field uses it for
// pasted text, which the key filter never sees.
std::u16string DigitsOnly(std::u16string_view text);

// The text of a clipboard block of `bytes` bytes: up to its first NUL, and never beyond the
// block, so a text put there without its terminator cannot run on into other memory. An odd
// last byte is not half a character.
std::u16string TextWithinBlock(const char16_t* data, size_t bytes);

enum class PortCheck {
  Accept,      // empty, or a whole number of at most 65535
  TooLarge,    // show message 150 (error icon, OK, program title), then set the text to "65535"
  NotDigits,   // the text holds a non-digit (pasted or set by a program): replace it by
               // DigitsOnly(text) without a message; that assignment runs the check again
};

// The port check, run whenever the text of a syslog port field changes.
PortCheck CheckPortText(std::u16string_view text);

// The text a port field is set to after PortCheck::TooLarge.
inline constexpr char16_t kMaxPortText[] = u"65535";

// The number in a field that holds only ASCII digits, if it lies within 0..maxValue;
// nullopt for an empty text, a non-digit, or a larger value (no overflow for long texts).
std::optional<int32_t> ParseDigits(std::u16string_view text, int32_t maxValue);

// Decimal text of a number, with a minus sign when negative.
std::u16string DecimalText(int64_t value);

}  // namespace pendrake::client
