#include "code_page_adapter.h"

#include <windows.h>

#include <climits>
#include <type_traits>

#include "pendrake/narrowing_flags.h"

namespace pendrake::win32 {
namespace {

// One call in the common case: a buffer of two bytes per character holds every double-byte
// code page's result; only a longer result (UTF-8 as the ANSI code page) asks for its size.
// Returns false, with `out` empty, when the conversion fails.
bool Narrow(const wchar_t* text, int length, DWORD flags, NarrowText& out) {
  int written = 0;
  if (length <= INT_MAX / 2) {
    const int room = length * 2;
    written = WideCharToMultiByte(CP_THREAD_ACP, flags, text, length, out.Allocate(static_cast<std::size_t>(room)),
                                  room, nullptr, nullptr);
  }
  if (written <= 0 && (length > INT_MAX / 2 || GetLastError() == ERROR_INSUFFICIENT_BUFFER)) {
    const int size = WideCharToMultiByte(CP_THREAD_ACP, flags, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
      out.Clear();
      return false;
    }
    written = WideCharToMultiByte(CP_THREAD_ACP, flags, text, length, out.Allocate(static_cast<std::size_t>(size)),
                                  size, nullptr, nullptr);
  }
  out.Shorten(written > 0 ? static_cast<std::size_t>(written) : 0);
  return written > 0;
}

// Every Windows ANSI code page (the 125x family, 874, the East Asian double-byte ones and
// UTF-8) keeps ASCII as it is, so plain ASCII text needs no trip through the locale tables.
// One pass without an early exit: the compiler turns it into vector code, which beats
// stopping early on the short names and messages that are the common case.
template <typename Char>
bool IsAscii(std::basic_string_view<Char> text) {
  std::make_unsigned_t<Char> bits = 0;
  for (Char c : text) bits |= static_cast<std::make_unsigned_t<Char>>(c);
  return bits < 0x80;
}

}  // namespace

void CodePageAdapter::ToNarrow(std::u16string_view text, NarrowText& out) {
  if (text.empty() || text.size() > INT_MAX) {
    out.Clear();
    return;
  }
  // Copied and checked in one pass on the guess that the text is ASCII, as it mostly is.
  char* room = out.Allocate(text.size());
  char16_t bits = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bits |= text[i];
    room[i] = static_cast<char>(text[i]);
  }
  if (bits < 0x80) return;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // Without WC_NO_BEST_FIT_CHARS a missing character turns into a look-alike ("O" for an
  // omega in 1252) instead of the code page's default character. Some code pages (UTF-8
  // among them) refuse the flag; the client narrows by the same rule.
  CPINFOEXW info{};
  const UINT codePage = GetCPInfoExW(CP_THREAD_ACP, 0, &info) ? info.CodePage : CP_THREAD_ACP;
  Narrow(wide, length, NarrowingFlags(codePage), out);
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

CodePageLayout CodePageAdapter::Layout() {
  CodePageLayout layout;
  CPINFOEXW info{};
  if (!GetCPInfoExW(CP_THREAD_ACP, 0, &info)) return layout;
  layout.utf8 = info.CodePage == CP_UTF8;
  // Pairs of first and last lead byte, ended by a pair of zeros.
  for (std::size_t i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
    for (unsigned byte = info.LeadByte[i]; byte <= info.LeadByte[i + 1]; ++byte) layout.leadBytes.set(byte);
  }
  return layout;
}

}  // namespace pendrake::win32
