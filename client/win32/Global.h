// Routines the client's windows share: the language font, text conversions, error texts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace pendrake::client {

// The program title of every message box.
inline constexpr wchar_t kProgramTitle[] = L"Pendrake Client";

// The shared language font. SetLanguageFont applies the font rule for gszLanguage
// (LanguageFont.h) and makes gLanguageFont the font of those values: created on first use and
// reused while the values stay the same. A font made for other values is kept alive (never
// deleted while the process runs) because a window not relabelled yet may still use it.
extern HFONT gLanguageFont;
HFONT SetLanguageFont();

// The language font made for the resolution of `window` (gLanguageFont at the screen's).
HFONT LanguageFontFor(HWND window);

// Gives the language font, at the window's resolution, to a window or control (WM_SETFONT,
// redrawn).
void ApplyLanguageFont(HWND window);

// How many distinct font objects SetLanguageFont has created in this process.
int LanguageFontsCreated();

// UTF-16 <-> the portable core's text type (both 16-bit on Windows).
std::wstring ToWide(std::u16string_view text);
std::u16string ToU16(std::wstring_view text);

// UTF-16 <-> 8-bit text in the system ANSI code page (CP_ACP). A character the code page lacks
// becomes '?', never a look-alike (script files and registry texts alike), where the code page
// allows that choice (NarrowTo). A text that cannot be converted gives empty bytes and, in
// `error`, the system's error code (0 after a conversion): callers that store or write the
// bytes pass `error`, so a failure is never taken for an empty text.
std::string ToAnsi(std::wstring_view text, DWORD* error = nullptr);
std::wstring FromAnsi(std::string_view text);

// The catalogue text of `number` in the current language, ready for the Win32 API.
std::wstring MessageText(int32_t number);

// The text of a window or control (GetWindowTextW), of any length.
std::wstring WindowText(HWND window);

// The platform's description of a Win32 error code or HRESULT (FormatMessageW, trailing line
// end removed); empty when the system has none.
std::wstring ErrorDescription(DWORD code);

// The error box text of ErrorBoxText (client/core/ErrorText.h) for this program's bitness:
// prefix + code in decimal (an HRESULT as the signed number, e.g. -2147221005) + CR LF +
// `description` (the object's own) or ErrorDescription(code); where the system has no text,
// the code in hexadecimal and then `description`.
std::wstring ErrorMessageText(std::wstring_view prefix, int32_t code, std::wstring_view description = {});

// Writes `text` converted to the ANSI code page to `path` (replacing or creating the file).
// Returns 0 or the Win32 error code of the failing step.
DWORD WriteAnsiFile(const std::wstring& path, std::u16string_view text);

// Writes `bytes` as they are to `path` (replacing or creating the file). Returns 0 or the Win32
// error code of the failing step.
DWORD WriteFileBytes(const std::wstring& path, std::string_view bytes);

// The full path of the running program's file, of any length; empty when it cannot be told.
std::wstring ProgramFile();

// The folder that holds the running program's file, without a trailing backslash.
std::wstring ProgramFolder();

// Registers a window class of the program's windows: arrow cursor, the window face colour as
// background, `icon` (none when null). Returns whether RegisterClassExW succeeded.
bool RegisterFormClass(const wchar_t* className, WNDPROC proc, HINSTANCE instance, HICON icon = nullptr);

// The screen's resolution in dots per inch, across and down (96 where it cannot be read);
// read once for the process. A window's own resolution: DpiOf (WindowDpi.h).
struct ScreenDpi {
  int x = 96;
  int y = 96;
};
const ScreenDpi& Dpi();

// Makes an edit control a number field: typed keys pass DigitsOnlyKeyFilter (a refused key
// beeps), and pasted text goes in with its non-digits removed, with the same beep.
void MakeDigitsOnlyField(HWND edit);

// A visible child control of `parent` with the given position and size in twips, at the
// parent's resolution.
HWND AddChildControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w,
                     int h);

// The frame of the modal dialogs (Options, About): a hidden popup with a caption, owned by
// `owner`; its size and place come from PlaceOverOwner.
HWND CreateDialogFrame(const wchar_t* className, HWND owner);

// Sizes a window, with its own frame styles, so that its client area is the given size in twips
// at the window's resolution, and centres it over `owner` (over the screen when there is none).
void PlaceOverOwner(HWND window, HWND owner, int clientWidthTwips, int clientHeightTwips);

}  // namespace pendrake::client
