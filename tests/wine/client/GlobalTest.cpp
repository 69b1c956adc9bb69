// The shared routines of the windows: the language font object, code page conversion, error
// texts, script files and file versions.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "GetFileVersion.h"
#include "Global.h"
#include "client/core/LanguageFont.h"
#include "client/core/Messages.h"
#include "client/core/Scripts.h"

namespace pendrake::client {
namespace {

struct FontFacts {
  std::wstring face;
  int charset;
  int weight;
  bool italic, underline, strikeOut;
  LONG height;
};

FontFacts Facts(HFONT font) {
  LOGFONTW lf{};
  EXPECT_EQ(static_cast<int>(sizeof lf), GetObjectW(font, sizeof lf, &lf));
  return {lf.lfFaceName, lf.lfCharSet, static_cast<int>(lf.lfWeight), lf.lfItalic != 0, lf.lfUnderline != 0,
          lf.lfStrikeOut != 0, lf.lfHeight};
}

LONG EightPointHeight() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return -MulDiv(8, dpi, 72);
}

TEST(LanguageFont, CreatedOnFirstUseAndReusedForTheSameValues) {
  gLanguageFontValues = InitialLanguageFontValues();
  const int before = LanguageFontsCreated();
  gszLanguage = u"EN";
  HFONT english = SetLanguageFont();
  ASSERT_NE(nullptr, english);
  EXPECT_EQ(english, gLanguageFont);
  EXPECT_EQ(before + 1, LanguageFontsCreated());
  gszLanguage = u"DE";
  EXPECT_EQ(english, SetLanguageFont()) << "German uses the English values: same object";
  gszLanguage = u"xx";
  EXPECT_EQ(english, SetLanguageFont()) << "an unknown code keeps the previous values";
  EXPECT_EQ(before + 1, LanguageFontsCreated());

  gszLanguage = u"GR";
  HFONT greek = SetLanguageFont();
  EXPECT_NE(english, greek);
  EXPECT_EQ(before + 2, LanguageFontsCreated());
  gszLanguage = u"xx";
  EXPECT_EQ(greek, SetLanguageFont()) << "GR then xx keeps Arial 161";
  gszLanguage = u"EN";
  EXPECT_EQ(english, SetLanguageFont()) << "switching back reuses the first object";
  EXPECT_EQ(before + 2, LanguageFontsCreated());
  EXPECT_NE(0u, GetObjectType(greek)) << "an earlier font stays valid for windows still using it";

  const FontFacts e = Facts(english);
  EXPECT_EQ(L"MS Sans Serif", e.face);
  EXPECT_EQ(1, e.charset);
  const FontFacts g = Facts(greek);
  EXPECT_EQ(L"Arial", g.face);
  EXPECT_EQ(161, g.charset);
  for (const FontFacts& f : {e, g}) {
    EXPECT_EQ(400, f.weight);
    EXPECT_FALSE(f.italic || f.underline || f.strikeOut);
    EXPECT_EQ(EightPointHeight(), f.height);
  }
  gszLanguage = u"JP";
  const FontFacts j = Facts(SetLanguageFont());
  EXPECT_EQ(L"MS Gothic", j.face);
  EXPECT_EQ(128, j.charset);
  gszLanguage.clear();
}

TEST(LanguageFont, ControlsReceiveTheSharedFont) {
  gszLanguage = u"GR";
  SetLanguageFont();
  HWND label = CreateWindowExW(0, L"STATIC", L"x", WS_CHILD, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, label);
  ApplyLanguageFont(label);
  EXPECT_EQ(reinterpret_cast<LRESULT>(gLanguageFont), SendMessageW(label, WM_GETFONT, 0, 0));
  DestroyWindow(label);
  gszLanguage.clear();
}

TEST(Conversion, AnsiRoundTripInTheSystemCodePage) {
  const UINT acp = GetACP();
  if (const char* expected = getenv("PENDRAKE_EXPECT_ACP")) {
    ASSERT_EQ(static_cast<UINT>(atoi(expected)), acp);
  }
  struct Case {
    UINT codePage;
    const wchar_t* text;
    const char* bytes;
  };
  const Case kCases[] = {
      {0, L"", ""},
      {0, L"plain ASCII 123", "plain ASCII 123"},
      {1252, L"Grüße", "Gr\xFC\xDF" "e"},
      {1253, L"Γειά σου", "\xC3\xE5\xE9\xDC \xF3\xEF\xF5"},
  };
  for (const Case& c : kCases) {
    if (c.codePage != 0 && c.codePage != acp) continue;
    EXPECT_EQ(std::string(c.bytes), ToAnsi(c.text));
    EXPECT_EQ(std::wstring(c.text), FromAnsi(c.bytes));
  }
  EXPECT_EQ(u"Γειά", ToU16(ToWide(u"Γειά")));
  // Look-alikes of the quotation mark (script files) and of Latin letters (stored names) become
  // '?' in both code pages, never the character they resemble.
  EXPECT_EQ("a?b?c", ToAnsi(L"a\xFF02" L"b\x02BA" L"c"));
  if (acp == 1252) {
    EXPECT_EQ("?mega", ToAnsi(L"\x03A9mega"));
  }
}

TEST(ErrorText, NumberLineBreakAndThePlatformDescription) {
  const std::wstring text = ErrorMessageText(L"Error: ", ERROR_PATH_NOT_FOUND);
  const std::wstring head = L"Error: 3\r\n";
  ASSERT_EQ(head, text.substr(0, head.size()));
  EXPECT_EQ(ErrorDescription(ERROR_PATH_NOT_FOUND), text.substr(head.size()));
  EXPECT_FALSE(ErrorDescription(ERROR_PATH_NOT_FOUND).empty());
  EXPECT_NE(L'\n', ErrorDescription(ERROR_PATH_NOT_FOUND).back());
  // An HRESULT shows as the signed number a script host reports; where the platform has no text
  // for it (Wine has none for CO_E_CLASSSTRING), the code in hexadecimal comes before the
  // object's text, and a 64-bit client names the component it needs.
  const std::wstring hr = ErrorMessageText(L"Error: ", static_cast<int32_t>(0x800401F3), L"Invalid class string");
  const std::wstring secondLine = ErrorDescription(0x800401F3).empty() ? L"0x800401F3 Invalid class string"
                                                                        : L"Invalid class string";
  EXPECT_EQ(L"Error: -2147221005\r\n" + secondLine + L"\r\n" + MessageText(msg::kNeeds64BitComponent), hr);
  const std::wstring mismatch = ErrorMessageText(L"Error: ", static_cast<int32_t>(0x80020005));
  if (ErrorDescription(0x80020005).empty()) {
    EXPECT_EQ(L"Error: -2147352571\r\n0x80020005", mismatch);
  }
  EXPECT_EQ(L"Error during Script generation:5\r\nAccess denied",
            ErrorMessageText(L"Error during Script generation:", 5, L"Access denied"));
}

TEST(ScriptFile, WrittenAsAnsiBytesAndReplacingAnExistingFile) {
  wchar_t folder[MAX_PATH];
  ASSERT_NE(0u, GetTempPathW(MAX_PATH, folder));
  const std::wstring path = std::wstring(folder) + L"pendrake_client_test.vbs";
  ASSERT_EQ(0u, WriteAnsiFile(path, u"a much longer first content\r\n"));
  ASSERT_EQ(0u, WriteAnsiFile(path, u"x = \"ü\"\r\n\r\n"));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  char bytes[64];
  DWORD read = 0;
  ReadFile(file, bytes, sizeof bytes, &read, nullptr);
  CloseHandle(file);
  DeleteFileW(path.c_str());
  EXPECT_EQ(ToAnsi(L"x = \"ü\"\r\n\r\n"), std::string(bytes, read)) << "no byte-order mark, old content gone";
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND),
            WriteAnsiFile(std::wstring(folder) + L"no such folder\\x.vbs", u"x"));
}

// The portable UTF-8 writer of PowerShell files says what the system's conversion says, at each
// length's first and last character and for half surrogate pairs (U+FFFD each).
TEST(ScriptFile, PowerShellBytesAreTheSystemsUtf8) {
  for (const std::wstring text : {std::wstring(L"a\r\n\u007F\u0080\u07FF\u0800\u2019\uFFFF\U00010000\U0010FFFF"),
                                  std::wstring{L'a', 0xD800, L'b', 0xDC00, 0xDBFF}, std::wstring{0xD83D}}) {
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    EXPECT_EQ("\xEF\xBB\xBF" + bytes, Utf8FileBytes(ToU16(text))) << text.size();
  }
}

TEST(FileVersion, ReadsTheProductVersionOrNothing) {
  const auto own = ReadOwnProductVersion();
  ASSERT_TRUE(own.has_value()) << "this test program carries version 1.2.3.4";
  EXPECT_EQ((ProductVersion{1, 2, 3, 4}), *own);
  EXPECT_EQ(u"1.2.3.4", ComponentVersionText(own));
  EXPECT_EQ(u"1.2.4", ClientVersionText(*own));

  EXPECT_FALSE(ReadProductVersion(ProgramFolder() + L"\\no-such-file.dll").has_value());
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring plain = std::wstring(folder) + L"pendrake_no_version.dll";
  ASSERT_EQ(0u, WriteAnsiFile(plain, u"not a program"));
  EXPECT_FALSE(ReadProductVersion(plain).has_value()) << "a file without version information";
  DeleteFileW(plain.c_str());

  if (const char* dll = getenv("PENDRAKE_COMPONENT_DLL")) {
    const auto component = ReadProductVersion(FromAnsi(dll));
    ASSERT_TRUE(component.has_value()) << dll;
    EXPECT_EQ((ProductVersion{1, 2, 0, 4}), *component);
    EXPECT_EQ(u"1.2.4", ComponentVersionText(component));
  }
}

TEST(FileVersion, ProgramFolderHoldsTheProgram) {
  const std::wstring folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(L'\\', folder.back());
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  EXPECT_EQ(0, std::wstring(self).rfind(folder + L"\\", 0));
}

}  // namespace
}  // namespace pendrake::client
