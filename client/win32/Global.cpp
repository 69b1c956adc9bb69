#include "Global.h"

#include <commctrl.h>

#include <climits>
#include <utility>
#include <vector>

#include "client/core/ErrorText.h"
#include "client/core/InputRules.h"
#include "client/core/LanguageFont.h"
#include "client/core/Messages.h"
#include "client/core/Narrowing.h"
#include "WindowDpi.h"
#include "pendrake/owners.h"

namespace pendrake::client {

HFONT gLanguageFont = nullptr;

namespace {

// Every font made so far, with the values and the resolution it was made for. Fonts are few
// (one per language font and resolution in use) and live as long as the process.
struct MadeFont {
  LanguageFontValues values;
  int dpi;
  owners::UniqueHfont font;
};
std::vector<MadeFont>& FontCache() {
  static std::vector<MadeFont> cache;
  return cache;
}

HFONT CreateLanguageFont(const LanguageFontValues& values, int dpi) {
  LOGFONTW font{};
  lstrcpynW(font.lfFaceName, ToWide(values.name).c_str(), LF_FACESIZE);
  font.lfHeight = -MulDiv(values.sizePoints, dpi, 72);
  font.lfCharSet = static_cast<BYTE>(values.charset);
  font.lfWeight = FW_NORMAL;  // 400
  font.lfUnderline = FALSE;
  font.lfItalic = FALSE;
  font.lfStrikeOut = FALSE;
  return CreateFontIndirectW(&font);
}

// The font of these values at `dpi`: made on first use, then found again.
HFONT FontFor(const LanguageFontValues& values, int dpi) {
  auto& cache = FontCache();
  for (const MadeFont& made : cache) {
    if (made.values == values && made.dpi == dpi) return made.font.get();
  }
  HFONT font = CreateLanguageFont(values, dpi);
  if (font) cache.push_back({values, dpi, owners::UniqueHfont(font)});
  return font;
}

}  // namespace

HFONT SetLanguageFont() {
  // A font that could not be made leaves the previous one in use.
  if (HFONT font = FontFor(UpdateLanguageFontValues(), Dpi().y)) gLanguageFont = font;
  return gLanguageFont;
}

HFONT LanguageFontFor(HWND window) {
  const int dpi = DpiOf(window);
  if (dpi == Dpi().y) return gLanguageFont;
  HFONT font = FontFor(gLanguageFontValues, dpi);
  return font ? font : gLanguageFont;
}

int LanguageFontsCreated() { return static_cast<int>(FontCache().size()); }

void ApplyLanguageFont(HWND window) {
  if (!window || !gLanguageFont) return;
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(LanguageFontFor(window)), TRUE);
}

std::wstring ToWide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::u16string ToU16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

std::string ToAnsi(std::wstring_view text, DWORD* error) {
  const NarrowFunction narrow = [](uint32_t codePage, uint32_t flags, std::u16string_view wide, char* out, int size) {
    return WideCharToMultiByte(codePage, flags, reinterpret_cast<const wchar_t*>(wide.data()),
                               static_cast<int>(wide.size()), out, size, nullptr, nullptr);
  };
  std::string bytes;
  // The code page by number: the flags it accepts depend on which one it is (UTF-8 refuses
  // WC_NO_BEST_FIT_CHARS, and then nothing at all would be converted).
  SetLastError(ERROR_SUCCESS);
  const bool converted = text.size() <= INT_MAX && NarrowTo(GetACP(), ToU16(text), narrow, bytes);
  if (error) {
    const DWORD last = GetLastError();
    *error = converted ? ERROR_SUCCESS : last != ERROR_SUCCESS ? last : ERROR_NO_UNICODE_TRANSLATION;
  }
  return bytes;
}

std::wstring FromAnsi(std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(length > 0 ? length : 0, L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  }
  return wide;
}

std::wstring MessageText(int32_t number) { return ToWide(GetMessageText(number)); }

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(length + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(copied > 0 ? copied : 0);
  return text;
}

std::wstring ErrorDescription(DWORD code) {
  owners::UniqueHlocal buffer;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(buffer.put()), 0, nullptr);
  std::wstring text;
  if (length != 0 && buffer) text.assign(static_cast<const wchar_t*>(buffer.get()), length);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  return text;
}

std::wstring ErrorMessageText(std::wstring_view prefix, int32_t code, std::wstring_view description) {
  const std::u16string system = ToU16(ErrorDescription(static_cast<DWORD>(code)));
  const std::u16string object = ToU16(description);
  return ToWide(ErrorBoxText(ToU16(prefix), {code, system, object}, static_cast<int>(sizeof(void*) * 8)));
}

DWORD WriteAnsiFile(const std::wstring& path, std::u16string_view text) {
  DWORD converted = ERROR_SUCCESS;
  const std::string bytes = ToAnsi(ToWide(text), &converted);
  // Nothing is created or truncated for a text that cannot be written as it stands.
  if (converted != ERROR_SUCCESS) return converted;
  return WriteFileBytes(path, bytes);
}

DWORD WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  HANDLE opened = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return GetLastError();
  owners::UniqueHandle file(opened);
  DWORD error = ERROR_SUCCESS;
  DWORD written = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    error = GetLastError();
  } else if (written != bytes.size()) {
    error = ERROR_WRITE_FAULT;
  }
  // The close's own result is the write's last word, so the owner lets go of it here.
  if (!CloseHandle(file.release()) && error == ERROR_SUCCESS) error = GetLastError();
  return error;
}

std::wstring ProgramFile() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring ProgramFolder() {
  const std::wstring path = ProgramFile();
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool RegisterFormClass(const wchar_t* className, WNDPROC proc, HINSTANCE instance, HICON icon) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = proc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  cls.hIcon = icon;
  cls.lpszClassName = className;
  return RegisterClassExW(&cls) != 0;
}

const ScreenDpi& Dpi() {
  static const ScreenDpi dpi = [] {
    ScreenDpi read;
    const owners::UniqueWindowDc screen = owners::GetWindowDc(nullptr);
    if (screen) {
      if (const int x = GetDeviceCaps(screen.get().dc, LOGPIXELSX); x > 0) read.x = x;
      if (const int y = GetDeviceCaps(screen.get().dc, LOGPIXELSY); y > 0) read.y = y;
    }
    return read;
  }();
  return dpi;
}

namespace {

LRESULT CALLBACK DigitsOnlyFieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_CHAR: {
      const KeyFilterResult r = DigitsOnlyKeyFilter(static_cast<uint32_t>(wParam));
      if (r.beep) MessageBeep(MB_OK);
      if (r.code == 0) return 0;
      wParam = r.code;
      break;
    }
    case WM_PASTE: {
      // Pasted text bypasses the key filter: only its digits go in, the rest is refused
      // with the same beep as a refused key.
      if (!OpenClipboard(edit)) return 0;
      std::wstring text;
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const char16_t*>(GlobalLock(data))) {
          text = ToWide(TextWithinBlock(chars, GlobalSize(data)));
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
      const std::u16string digits = DigitsOnly(ToU16(text));
      if (digits.size() != text.size()) MessageBeep(MB_OK);
      SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ToWide(digits).c_str()));
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, DigitsOnlyFieldProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

void MakeDigitsOnlyField(HWND edit) { SetWindowSubclass(edit, DigitsOnlyFieldProc, 0, 0); }

HWND AddChildControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w,
                     int h) {
  const int dpi = DpiOf(parent);
  return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, TwipsAt(x, dpi), TwipsAt(y, dpi),
                         TwipsAt(w, dpi), TwipsAt(h, dpi), parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

HWND CreateDialogFrame(const wchar_t* className, HWND owner) {
  return CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, className, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                         CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void PlaceOverOwner(HWND window, HWND owner, int clientWidthTwips, int clientHeightTwips) {
  const int dpi = DpiOf(window);
  RECT frame{0, 0, TwipsAt(clientWidthTwips, dpi), TwipsAt(clientHeightTwips, dpi)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  RECT ownerRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner) GetWindowRect(owner, &ownerRect);
  SetWindowPos(window, nullptr, ownerRect.left + (ownerRect.right - ownerRect.left - w) / 2,
               ownerRect.top + (ownerRect.bottom - ownerRect.top - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace pendrake::client
