#include "code_page_adapter.h"

#include <windows.h>

#include <climits>

namespace pendrake::win32 {
namespace {

std::string Narrow(const wchar_t* text, int length, DWORD flags) {
  const int size = WideCharToMultiByte(CP_THREAD_ACP, flags, text, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string result(static_cast<std::size_t>(size), '\0');
  const int written = WideCharToMultiByte(CP_THREAD_ACP, flags, text, length, result.data(), size, nullptr, nullptr);
  result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return result;
}

}  // namespace

std::string CodePageAdapter::ToNarrow(std::u16string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // Without WC_NO_BEST_FIT_CHARS a missing character turns into a look-alike ("O" for an
  // omega in 1252) instead of the code page's default character.
  if (WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, nullptr) > 0) {
    return Narrow(wide, length, WC_NO_BEST_FIT_CHARS);
  }
  // Some code pages (UTF-8 among them) refuse the flag; they lack no character anyway.
  if (GetLastError() == ERROR_INVALID_FLAGS) return Narrow(wide, length, 0);
  return {};
}

std::u16string CodePageAdapter::ToWide(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
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
