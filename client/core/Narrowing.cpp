#include "client/core/Narrowing.h"

#include "pendrake/narrowing_flags.h"

namespace pendrake::client {

bool NarrowTo(uint32_t codePage, std::u16string_view text, NarrowFunction narrow, std::string& bytes) {
  bytes.clear();
  if (text.empty()) return true;
  const uint32_t flags = NarrowingFlags(codePage, kWcNoBestFitChars);
  const int size = narrow(codePage, flags, text, nullptr, 0);
  if (size <= 0) return false;
  bytes.resize(static_cast<size_t>(size));
  const int written = narrow(codePage, flags, text, bytes.data(), size);
  bytes.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return written > 0;
}

}  // namespace pendrake::client
