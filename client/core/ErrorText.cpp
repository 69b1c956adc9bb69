#include "client/core/ErrorText.h"

#include "client/core/InputRules.h"
#include "client/core/Messages.h"

namespace pendrake::client {

std::u16string HexCode(int32_t code) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  const auto bits = static_cast<uint32_t>(code);
  std::u16string text = u"0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(bits >> shift) & 0xFu];
  return text;
}

std::u16string ErrorBoxText(std::u16string_view prefix, const ErrorFacts& facts, int clientBits) {
  std::u16string text(prefix);
  text += DecimalText(facts.code);
  text += u"\r\n";
  if (!facts.systemDescription.empty()) {
    text += facts.objectDescription.empty() ? facts.systemDescription : facts.objectDescription;
  } else {
    text += HexCode(facts.code);
    if (!facts.objectDescription.empty()) {
      text += u' ';
      text += facts.objectDescription;
    }
  }
  if (facts.code == kClassStringError || facts.code == kClassNotRegistered) {
    text += u"\r\n";
    text += GetMessageText(clientBits == 64 ? msg::kNeeds64BitComponent : msg::kNeeds32BitComponent);
  }
  return text;
}

}  // namespace pendrake::client
