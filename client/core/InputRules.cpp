#include "client/core/InputRules.h"


namespace pendrake::client {

namespace {
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
}  // namespace

KeyFilterResult DigitsOnlyKeyFilter(uint32_t charCode) {
  if (charCode > 31 && (charCode < u'0' || charCode > u'9')) return {0, true};
  return {charCode, false};
}

std::u16string DigitsOnly(std::u16string_view text) {
  std::u16string digits;
  for (char16_t c : text) {
    if (IsDigit(c)) digits.push_back(c);
  }
  return digits;
}

std::optional<int32_t> ParseDigits(std::u16string_view text, int32_t maxValue) {
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (char16_t c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - u'0');
    // Stop before the accumulator could overflow on a long run of digits.
    if (value > maxValue) return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

PortCheck CheckPortText(std::u16string_view text) {
  if (text.empty()) return PortCheck::Accept;
  for (char16_t c : text) {
    if (!IsDigit(c)) return PortCheck::NotDigits;
  }
  return ParseDigits(text, 65535) ? PortCheck::Accept : PortCheck::TooLarge;
}

std::u16string DecimalText(int64_t value) {
  // Work on the magnitude as unsigned so the most negative value needs no special case.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits.insert(digits.begin(), u'-');
  return digits;
}

std::u16string TextWithinBlock(const char16_t* data, size_t bytes) {
  if (!data) return {};
  const std::u16string_view block(data, bytes / sizeof(char16_t));
  return std::u16string(block.substr(0, block.find(u'\0')));
}

}  // namespace pendrake::client
