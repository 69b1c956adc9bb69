#include "code_page_adapter.h"

#include <windows.h>

#include <climits>
#include <type_traits>

namespace pendrake::win32 {
namespace {

// One call in the common case: a buffer of two bytes per character holds every double-byte
// code page's result; only a longer result (UTF-8 as the ANSI code page) asks for its size.
std::string Narrow(const wchar_t* text, int length, DWORD flags) {
  std::string result(static_cast<std::size_t>(length) * 2, '\0');
  int written = length <= INT_MAX / 2
                    ? WideCharToMultiByte(CP_THREAD_ACP, flags, text, length, result.data(),
                                          static_cast<int>(result.size()), nullptr, nullptr)
                    : 0;
  if (written <= 0 && (length > INT_MAX / 2 || GetLastError() == ERROR_INSUFFICIENT_BUFFER)) {
    const int size = WideCharToMultiByte(CP_THREAD_ACP, flags, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    result.assign(static_cast<std::size_t>(size), '\0');
    written = WideCharToMultiByte(CP_THREAD_ACP, flags, text, length, result.data(), size, nullptr, nullptr);
  }
  result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return result;
}

// Every Windows ANSI code page (the 125x family, 874, the East Asian double-byte ones and
// UTF-8) keeps ASCII as it is, so plain ASCII text needs no trip through the locale tables.
template <typename Char>
bool IsAscii(std::basic_string_view<Char> text) {
  for (Char c : text) {
    if (static_cast<std::make_unsigned_t<Char>>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string CodePageAdapter::ToNarrow(std::u16string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  if (IsAscii(text)) return std::string(text.begin(), text.end());
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // Without WC_NO_BEST_FIT_CHARS a missing character turns into a look-alike ("O" for an
  // omega in 1252) instead of the code page's default character.
  std::string result = Narrow(wide, length, WC_NO_BEST_FIT_CHARS);
  // Some code pages (UTF-8 among them) refuse the flag; they lack no character anyway.
  if (result.empty() && GetLastError() == ERROR_INVALID_FLAGS) result = Narrow(wide, length, 0);
  return result;
}

std::u16string CodePageAdapter::ToWide(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  if (IsAscii(text)) return std::u16string(text.begin(), text.end());
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::u16string result(static_cast<std::size_t>(size), u'\0');
  const int written =
      MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(result.data()), size);
  result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return result;
}

}  // namespace pendrake::win32
