// The start window, the Options dialog and the About box, worked from outside as a user would.
// Every test puts the client key (and the settings key the main window may create) back as it
// found them, and its client process ends with the test.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ControlIds.h"
#include "FontProbe.h"
#include "GuiDriver.h"
#include "client/core/Messages.h"

namespace {

using namespace guidriver;

constexpr wchar_t kClientKey[] = L"SOFTWARE\\Orvelle\\Pendrake\\Client";
constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Orvelle\\Pendrake";
constexpr wchar_t kVendorKey[] = L"SOFTWARE\\Orvelle";
constexpr wchar_t kLanguage[] = L"szLanguage";
constexpr wchar_t kSplashClass[] = L"PendrakeClientSplash";
constexpr wchar_t kMainClass[] = L"PendrakeClientMain";
constexpr wchar_t kOptionsClass[] = L"PendrakeClientOptions";
constexpr wchar_t kAboutClass[] = L"PendrakeClientAbout";
// A started program's first window can take long on a busy machine; later windows come fast.
constexpr Duration kStartWait = 60s;
constexpr Duration kWindowWait = 20s;

std::wstring Catalogue(const char16_t* language, int32_t number) {
  const std::u16string text = pendrake::client::GetMessageTextFor(language, number);
  return std::wstring(text.begin(), text.end());
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      char buffer[12];
      snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out;
}

void DeleteTree(HKEY root, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return;
  RegDeleteTreeW(key, nullptr);
  RegCloseKey(key);
  RegDeleteKeyExW(root, path, KEY_WOW64_64KEY, 0);
}

// Writes szLanguage with exactly these bytes (no terminator added), for values a user could
// leave behind by hand.
void WriteRawLanguage(const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kClientKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, kLanguage, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

// ---- List boxes (the language lists are list boxes: item data = item number) ----------------
int ListSelection(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }
int ListCount(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }
LPARAM ListItemData(HWND list, int index) { return SendMessageW(list, LB_GETITEMDATA, index, 0); }
std::wstring ListItemText(HWND list, int index) {
  std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, index, 0)) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return text;
}
void ListSelect(HWND list, int index) {
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

// ---- Screenshots ------------------------------------------------------------------------------
// Saves what the screen shows of `window` as a 24-bit BMP in the screenshot folder; the test
// script turns them into PNGs.
void SaveScreenshot(HWND window, const std::wstring& name) {
  const std::wstring folder = Env(L"PENDRAKE_SCREENSHOT_DIR");
  if (folder.empty() || !window) return;
  CreateDirectoryW(WinePath(folder).c_str(), nullptr);
  Settle(400ms);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  Settle(300ms);
  const RECT r = WindowRect(window);
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
  const DWORD imageSize = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageSize;
  const std::wstring path = WinePath(folder) + L"\\" + name + L".bmp";
  HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(out, bits, imageSize, &written, nullptr);
    CloseHandle(out);
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

// ---- The fixture ------------------------------------------------------------------------------
class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    vendorExisted_ = KeyExists(HKEY_CURRENT_USER, kVendorKey);
    machineVendorExisted_ = KeyExists(HKEY_LOCAL_MACHINE, kVendorKey);
    clientKey_.emplace(HKEY_CURRENT_USER, kClientKey);
    settingsKey_.emplace(HKEY_LOCAL_MACHINE, kSettingsKey);
    exe_ = Env(L"PENDRAKE_CLIENT_EXE");
    ASSERT_FALSE(exe_.empty()) << "PENDRAKE_CLIENT_EXE is not set";
  }
  void TearDown() override {
    if (client_.Started()) client_.Terminate();
    for (const std::wstring& file : copies_) DeleteFileW(file.c_str());
    for (const std::wstring& folder : folders_) RemoveDirectoryW(folder.c_str());
    settingsKey_.reset();
    clientKey_.reset();
    // The client key and the settings key lie below keys the test may have caused; they go too
    // if they were new.
    if (!vendorExisted_) DeleteTree(HKEY_CURRENT_USER, kVendorKey);
    if (!machineVendorExisted_) DeleteTree(HKEY_LOCAL_MACHINE, kVendorKey);
  }

  void StartClient(const std::wstring& exe = L"") {
    client_ = Process::Start(exe.empty() ? exe_ : exe);
    ASSERT_TRUE(client_.Started()) << "could not start " << Narrow(exe.empty() ? exe_ : exe);
  }
  void StartWithLanguage(const std::wstring& code, const std::wstring& exe = L"") {
    WriteString(HKEY_CURRENT_USER, kClientKey, kLanguage, code);
    StartClient(exe);
  }
  HWND WaitMain() {
    HWND main = WaitForTopWindow(client_.Id(), kMainClass, L"Pendrake Client", kStartWait);
    EXPECT_NE(main, nullptr) << "the main window did not appear";
    return main;
  }
  HWND WaitSplash() {
    HWND splash = WaitForTopWindow(client_.Id(), kSplashClass, L"Pendrake", kStartWait);
    EXPECT_NE(splash, nullptr) << "the first-run window did not appear";
    return splash;
  }
  HWND OpenOptions(HWND main) {
    PostCommand(main, IDM_FILE_OPTIONS);
    HWND options = WaitForTopWindow(client_.Id(), kOptionsClass, std::nullopt, kWindowWait);
    EXPECT_NE(options, nullptr) << "the Options dialog did not appear";
    return options;
  }
  HWND OpenAbout(HWND main) {
    PostCommand(main, IDM_HELP_ABOUT);
    HWND about = WaitForTopWindow(client_.Id(), kAboutClass, std::nullopt, kWindowWait);
    EXPECT_NE(about, nullptr) << "the About box did not appear";
    return about;
  }
  // Starts the client with `code` stored and opens the Options dialog from its main window;
  // use under ASSERT_NO_FATAL_FAILURE.
  void StartAndOpenOptions(const std::wstring& code, HWND& main, HWND& options) {
    StartWithLanguage(code);
    main = WaitMain();
    ASSERT_NE(main, nullptr);
    options = OpenOptions(main);
    ASSERT_NE(options, nullptr);
  }
  // Waits until the dialog has been hidden or unloaded and the main window works again.
  void ExpectDialogGone(HWND dialog, HWND main) {
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, kWindowWait))
        << "the dialog is still shown";
    EXPECT_TRUE(WaitUntil([&] { return IsEnabled(main); }, kWindowWait)) << "the main window stays disabled";
  }
  std::optional<std::wstring> StoredLanguage() { return ReadString(HKEY_CURRENT_USER, kClientKey, kLanguage); }

  // A copy of the client in a folder of its own, with `component` (when given) beside it as
  // Pendrake.dll; an empty `component` puts a file there that holds no version information.
  std::wstring ClientCopy(const std::optional<std::wstring>& component) {
    const std::wstring folder = TempFolder();
    folders_.push_back(folder);
    const std::wstring exe = folder + L"\\PendrakeClient.exe";
    EXPECT_TRUE(CopyFileW(WinePath(exe_).c_str(), exe.c_str(), FALSE)) << "copying the client";
    copies_.push_back(exe);
    if (component) {
      const std::wstring dll = folder + L"\\Pendrake.dll";
      if (component->empty()) {
        HANDLE file = CreateFileW(dll.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << "writing the stand-in component";
        DWORD written = 0;
        WriteFile(file, "not a library", 13, &written, nullptr);
        CloseHandle(file);
      } else {
        EXPECT_TRUE(CopyFileW(WinePath(*component).c_str(), dll.c_str(), FALSE)) << "copying the component";
      }
      copies_.push_back(dll);
    }
    return exe;
  }

  std::wstring exe_;
  Process client_;
  bool vendorExisted_ = false;
  bool machineVendorExisted_ = false;
  std::optional<ScopedKeyRestore> clientKey_;
  std::optional<ScopedKeyRestore> settingsKey_;
  std::vector<std::wstring> copies_;
  std::vector<std::wstring> folders_;
};

// ---- First-run window -------------------------------------------------------------------------
TEST_F(Dialogs, FirstStartCreatesTheKeyAndStartStoresTheChosenLanguage) {
  DeleteTree(HKEY_CURRENT_USER, kClientKey);
  StartClient();
  HWND splash = WaitSplash();
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kClientKey)) << "the client key was not created";
  EXPECT_EQ(FindTopWindow(client_.Id(), kMainClass), nullptr) << "the main window opened before the choice";

  EXPECT_EQ(GetText(GetDlgItem(splash, IDC_SPLASH_LBLFIRSTTIME)), L"This window appears only the first Time");
  EXPECT_EQ(GetText(GetDlgItem(splash, IDC_SPLASH_LBLPRODUCTNAME)), L"Pendrake");
  EXPECT_EQ(GetText(GetDlgItem(splash, IDC_SPLASH_LBLCHOOSELANGUAGE)), L"Please select your prefered language");
  EXPECT_EQ(GetText(GetDlgItem(splash, IDC_SPLASH_CMDSTART)), L"&Start");
  const auto nameFont = fontprobe::RemoteControlFont(GetDlgItem(splash, IDC_SPLASH_LBLPRODUCTNAME));
  ASSERT_TRUE(nameFont.has_value()) << "the product name has no font";
  EXPECT_EQ(std::wstring(nameFont->lfFaceName), L"Arial");
  EXPECT_GE(nameFont->lfWeight, FW_BOLD);

  HWND list = GetDlgItem(splash, IDC_SPLASH_LSLANGUAGE);
  const struct {
    const wchar_t* text;
    LPARAM itemNumber;
  } entries[] = {{L"English", 0}, {L"Deutsch", 1}, {L"Greek", 2}};
  ASSERT_EQ(ListCount(list), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ListItemText(list, i), entries[i].text) << "entry " << i;
    EXPECT_EQ(ListItemData(list, i), entries[i].itemNumber) << "item number of entry " << i;
  }
  EXPECT_EQ(ListSelection(list), 0) << "English is not preselected";
  SaveScreenshot(splash, L"first_run");

  ListSelect(list, 1);
  PostClick(GetDlgItem(splash, IDC_SPLASH_CMDSTART));
  HWND main = WaitMain();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitForWindowGone(client_.Id(), kSplashClass, kWindowWait)) << "the first-run window stayed";
  EXPECT_EQ(StoredLanguage().value_or(L"<missing>"), L"DE");
  EXPECT_EQ(GetText(FindControl(main, IDC_PBCANCEL)), Catalogue(u"DE", 76)) << "the main window is not German";
}

TEST_F(Dialogs, KeyWithoutALanguageAsksAgain) {
  struct Case {
    const char* name;
    std::optional<std::string> bytes;  // nullopt: no value at all
  };
  const Case cases[] = {
      {"no value", std::nullopt},
      {"empty text", std::string("\0", 1)},
      {"value without data", std::string()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteTree(HKEY_CURRENT_USER, kClientKey);
    WriteString(HKEY_CURRENT_USER, kClientKey, L"other", L"x");  // the key exists
    DeleteValue(HKEY_CURRENT_USER, kClientKey, L"other");
    if (c.bytes) WriteRawLanguage(*c.bytes);
    StartClient();
    HWND splash = WaitSplash();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(GetText(GetDlgItem(splash, IDC_SPLASH_LBLFIRSTTIME)), L"Language settings not found.");
    EXPECT_EQ(ListSelection(GetDlgItem(splash, IDC_SPLASH_LSLANGUAGE)), 0);
    // Closing the window without a choice ends the program and stores nothing.
    PostMessageW(splash, WM_CLOSE, 0, 0);
    EXPECT_TRUE(client_.WaitForExit(kWindowWait).has_value()) << "the program did not end with its only window";
    const auto stored = StoredLanguage();
    EXPECT_TRUE(!stored || stored->empty()) << "stored: " << Narrow(stored.value_or(L""));
    client_ = Process();
  }
}

TEST_F(Dialogs, StoredGreekOpensTheMainWindowInGreekWithoutTheFirstRunWindow) {
  StartWithLanguage(L"GR");
  HWND main = WaitMain();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(FindTopWindow(client_.Id(), kSplashClass), nullptr) << "the first-run window was shown";
  HWND label = FindControl(main, IDC_LBLTESTSYSLOGSERVER);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(GetText(label), Catalogue(u"GR", 2));
  const auto font = fontprobe::RemoteControlFont(label);
  ASSERT_TRUE(font.has_value()) << "no font on the label";
  EXPECT_EQ(std::wstring(font->lfFaceName), L"Arial");
  EXPECT_EQ(font->lfCharSet, GREEK_CHARSET);
}

// ---- Options dialog ---------------------------------------------------------------------------
TEST_F(Dialogs, OptionsShowsTheCurrentLanguageSelectedAndInItsTexts) {
  struct Case {
    const wchar_t* stored;
    const char16_t* textLanguage;
    int selection;  // LB_ERR: nothing selected
  };
  const Case cases[] = {
      {L"EN", u"EN", 0},
      {L"DE", u"DE", 1},
      {L"GR", u"GR", 2},
      // Codes the client never writes: English texts, nothing selected.
      {L"JP", u"EN", LB_ERR},
      {L"de", u"EN", LB_ERR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.stored));
    StartWithLanguage(c.stored);
    HWND main = WaitMain();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(GetText(FindControl(main, IDC_PBCANCEL)), Catalogue(c.textLanguage, 76));
    HWND options = OpenOptions(main);
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(IsEnabled(main)) << "the dialog is not modal";
    EXPECT_EQ(GetText(options), Catalogue(c.textLanguage, 310));
    EXPECT_EQ(GetText(GetDlgItem(options, IDC_OPTIONS_LBLHEADERTEXT)), Catalogue(c.textLanguage, 311));
    EXPECT_EQ(GetText(GetDlgItem(options, IDC_OPTIONS_CMDOK)), Catalogue(c.textLanguage, 314));
    EXPECT_EQ(GetText(GetDlgItem(options, IDC_OPTIONS_CMDCANCEL)), Catalogue(c.textLanguage, 315));
    EXPECT_EQ(GetText(GetDlgItem(options, IDC_OPTIONS_LBLLANGUAGE)), Catalogue(c.textLanguage, 318));
    EXPECT_EQ(ListSelection(GetDlgItem(options, IDC_OPTIONS_LSLANGUAGE)), c.selection);
    if (c.selection != LB_ERR) {
      std::wstring name = std::wstring(L"options_") + c.stored;
      CharLowerW(name.data());
      SaveScreenshot(options, name);
    }
    client_.Terminate();
    client_ = Process();
  }
}

TEST_F(Dialogs, OptionsOkWithTheSameLanguageWritesItAgain) {
  HWND main = nullptr, options = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartAndOpenOptions(L"EN", main, options));
  // Taken away behind the client's back: only a new write brings it back.
  DeleteValue(HKEY_CURRENT_USER, kClientKey, kLanguage);
  PostClick(GetDlgItem(options, IDC_OPTIONS_CMDOK));
  ExpectDialogGone(options, main);
  EXPECT_EQ(StoredLanguage().value_or(L"<missing>"), L"EN");
  EXPECT_EQ(GetText(FindControl(main, IDC_PBCANCEL)), Catalogue(u"EN", 76));
}

TEST_F(Dialogs, OptionsOkWithAnotherLanguageRelabelsBothWindowsAndStoresIt) {
  HWND main = nullptr, options = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartAndOpenOptions(L"EN", main, options));
  ListSelect(GetDlgItem(options, IDC_OPTIONS_LSLANGUAGE), 2);
  PostClick(GetDlgItem(options, IDC_OPTIONS_CMDOK));
  ExpectDialogGone(options, main);
  EXPECT_EQ(StoredLanguage().value_or(L"<missing>"), L"GR");
  EXPECT_EQ(GetText(FindControl(main, IDC_PBCANCEL)), Catalogue(u"GR", 76)) << "main window not relabelled";
  // Hidden, not unloaded: the same dialog comes back, already in Greek.
  HWND again = OpenOptions(main);
  EXPECT_EQ(again, options);
  EXPECT_EQ(GetText(again), Catalogue(u"GR", 310));
  const auto font = fontprobe::RemoteControlFont(GetDlgItem(again, IDC_OPTIONS_LBLLANGUAGE));
  ASSERT_TRUE(font.has_value());
  EXPECT_EQ(std::wstring(font->lfFaceName), L"Arial");
  EXPECT_EQ(font->lfCharSet, GREEK_CHARSET);
  EXPECT_EQ(ListSelection(GetDlgItem(again, IDC_OPTIONS_LSLANGUAGE)), 2);
}

TEST_F(Dialogs, OptionsOkWithNothingSelectedStoresAndChangesNothing) {
  HWND main = nullptr, options = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartAndOpenOptions(L"JP", main, options));
  ASSERT_EQ(ListSelection(GetDlgItem(options, IDC_OPTIONS_LSLANGUAGE)), LB_ERR);
  PostClick(GetDlgItem(options, IDC_OPTIONS_CMDOK));
  ExpectDialogGone(options, main);
  EXPECT_EQ(StoredLanguage().value_or(L"<missing>"), L"JP");
  EXPECT_EQ(GetText(FindControl(main, IDC_PBCANCEL)), Catalogue(u"EN", 76));
}

TEST_F(Dialogs, OptionsCancelKeepsTheLanguageButTheSelectionUntilTheDialogIsClosed) {
  HWND main = nullptr, options = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartAndOpenOptions(L"DE", main, options));
  ASSERT_EQ(ListSelection(GetDlgItem(options, IDC_OPTIONS_LSLANGUAGE)), 1);
  ListSelect(GetDlgItem(options, IDC_OPTIONS_LSLANGUAGE), 2);
  PostClick(GetDlgItem(options, IDC_OPTIONS_CMDCANCEL));
  ExpectDialogGone(options, main);
  EXPECT_EQ(StoredLanguage().value_or(L"<missing>"), L"DE");
  EXPECT_EQ(GetText(FindControl(main, IDC_PBCANCEL)), Catalogue(u"DE", 76));

  HWND again = OpenOptions(main);
  EXPECT_EQ(again, options) << "Cancel unloaded the dialog";
  EXPECT_EQ(ListSelection(GetDlgItem(again, IDC_OPTIONS_LSLANGUAGE)), 2) << "the last selection was lost";
  EXPECT_EQ(GetText(again), Catalogue(u"DE", 310));

  // The window's own close command unloads: the next opening starts from the current code.
  PostMessageW(again, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(again); }, kWindowWait)) << "closing did not unload the dialog";
  EXPECT_TRUE(WaitUntil([&] { return IsEnabled(main); }, kWindowWait));
  EXPECT_EQ(StoredLanguage().value_or(L"<missing>"), L"DE");
  HWND fresh = OpenOptions(main);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(ListSelection(GetDlgItem(fresh, IDC_OPTIONS_LSLANGUAGE)), 1);
  EXPECT_EQ(ListCount(GetDlgItem(fresh, IDC_OPTIONS_LSLANGUAGE)), 3);
}

// ---- About box ----------------------------------------------------------------------------------
TEST_F(Dialogs, AboutShowsTheComponentBesideTheProgramAndTheClientVersion) {
  const std::wstring dll = Env(L"PENDRAKE_COMPONENT_DLL");
  struct Case {
    const wchar_t* language;
    const char16_t* textLanguage;
    enum { kBuiltComponent, kNoComponent, kFileWithoutVersion } component;
    const wchar_t* componentVersion;
    const wchar_t* screenshot;
  };
  const Case cases[] = {
      {L"EN", u"EN", Case::kBuiltComponent, L"1.2.4", L"about_en"},
      {L"DE", u"DE", Case::kBuiltComponent, L"1.2.4", L"about_de"},
      {L"GR", u"GR", Case::kBuiltComponent, L"1.2.4", L"about_gr"},
      {L"EN", u"EN", Case::kNoComponent, L"Unknown Version", nullptr},
      {L"DE", u"DE", Case::kNoComponent, L"Unknown Version", nullptr},
      {L"EN", u"EN", Case::kFileWithoutVersion, L"Unknown Version", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.language) + " component case " + std::to_string(c.component));
    std::optional<std::wstring> component;
    if (c.component == Case::kBuiltComponent) {
      if (dll.empty()) {
        ADD_FAILURE() << "PENDRAKE_COMPONENT_DLL is not set: the component is not built";
        continue;
      }
      component = dll;
    } else if (c.component == Case::kFileWithoutVersion) {
      component = std::wstring();
    }
    const std::wstring exe = ClientCopy(component);
    StartWithLanguage(c.language, exe);
    HWND main = WaitMain();
    ASSERT_NE(main, nullptr);
    HWND about = OpenAbout(main);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(IsEnabled(main)) << "the About box is not modal";
    EXPECT_EQ(GetText(about), Catalogue(c.textLanguage, 300));
    // The catalogue decides the gap: a blank in English, none in German.
    EXPECT_EQ(GetText(GetDlgItem(about, IDC_ABOUT_LBLTITLE)), Catalogue(c.textLanguage, 301) + c.componentVersion);
    EXPECT_EQ(GetText(GetDlgItem(about, IDC_ABOUT_LBLVERSION)), Catalogue(c.textLanguage, 302) + L"1.2.13");
    EXPECT_EQ(GetText(GetDlgItem(about, IDC_ABOUT_LBLMOREINFORMATIONAT)), Catalogue(c.textLanguage, 303));
    EXPECT_EQ(GetText(GetDlgItem(about, IDC_ABOUT_LBLWWWORVELLECOM)), L"https://www.orvelle.com/pendrake");
    EXPECT_EQ(GetText(GetDlgItem(about, IDC_ABOUT_CMDOK)), Catalogue(c.textLanguage, 75));
    if (c.screenshot) SaveScreenshot(about, c.screenshot);

    PostClick(GetDlgItem(about, IDC_ABOUT_CMDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kWindowWait)) << "OK did not unload the About box";
    EXPECT_TRUE(WaitUntil([&] { return IsEnabled(main); }, kWindowWait)) << "the main window stays disabled";
    client_.Terminate();
    client_ = Process();
  }
}

TEST_F(Dialogs, AboutTakesTheLanguageChosenSinceItsLastOpening) {
  StartWithLanguage(L"EN");
  HWND main = WaitMain();
  ASSERT_NE(main, nullptr);
  HWND about = OpenAbout(main);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(GetText(about), Catalogue(u"EN", 300));
  PostMessageW(about, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kWindowWait)) << "closing did not unload the About box";

  HWND options = OpenOptions(main);
  ASSERT_NE(options, nullptr);
  ListSelect(GetDlgItem(options, IDC_OPTIONS_LSLANGUAGE), 1);
  PostClick(GetDlgItem(options, IDC_OPTIONS_CMDOK));
  ExpectDialogGone(options, main);

  HWND fresh = OpenAbout(main);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(GetText(fresh), Catalogue(u"DE", 300));
  EXPECT_EQ(GetText(GetDlgItem(fresh, IDC_ABOUT_LBLVERSION)), Catalogue(u"DE", 302) + L"1.2.13");
}

// The web link is painted in the system's hot-light colour (which a high-contrast scheme sets),
// here one no scheme uses, so a fixed colour cannot pass for it.
TEST_F(Dialogs, AboutLinkTakesTheSystemLinkColour) {
  const std::wstring colours = L"Control Panel\\Colors";
  ScopedKeyRestore restoreColours(HKEY_CURRENT_USER, colours);
  WriteString(HKEY_CURRENT_USER, colours, L"HotTrackingColor", L"200 16 32");
  StartWithLanguage(L"EN");
  HWND main = WaitMain();
  ASSERT_NE(main, nullptr);
  HWND about = OpenAbout(main);
  ASSERT_NE(about, nullptr);
  const auto seen = fontprobe::RemoteStaticColours(GetDlgItem(about, IDC_ABOUT_LBLWWWORVELLECOM));
  ASSERT_TRUE(seen.has_value()) << "the probe got no answer";
  EXPECT_EQ(RGB(200, 16, 32), seen->hotLight) << "the client does not see the scheme's hot-light colour";
  EXPECT_EQ(seen->hotLight, seen->text) << std::hex << "link colour 0x" << seen->text;
}

}  // namespace
