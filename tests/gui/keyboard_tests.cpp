// The client worked with real keys (XTEST through xdotool on the test's own display): tab access
// keys and those shared by a tab and a button, Ctrl+Tab, focus kept across a dialog and across
// another program taking the focus, the About box's link reached with Tab and opened with Enter
// or Space. And the main window at 120 and 144 DPI (run by dpi_tests.sh with the prefix at those
// dots per inch), and a save the registry refuses.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <sddl.h>

#include <string>

#include "../../client/win32/ControlIds.h"
#include "FontProbe.h"
#include "GuiDriver.h"
#include "client/core/ErrorText.h"
#include "client/core/Messages.h"

namespace gd = guidriver;
using namespace std::chrono_literals;

namespace {

const std::wstring kClientKey = L"SOFTWARE\\Orvelle\\Pendrake\\Client";
constexpr wchar_t kMainClass[] = L"PendrakeClientMain";
constexpr wchar_t kAboutClass[] = L"PendrakeClientAbout";
constexpr wchar_t kOptionsClass[] = L"PendrakeClientOptions";

class Keyboard : public ::testing::Test {
 protected:
  void Start(const wchar_t* language = L"EN") {
    ASSERT_FALSE(gd::Env(L"PENDRAKE_CLIENT_EXE").empty()) << "PENDRAKE_CLIENT_EXE is not set";
    gd::WriteString(HKEY_CURRENT_USER, kClientKey, L"szLanguage", language);
    client_ = gd::Process::Start(gd::Env(L"PENDRAKE_CLIENT_EXE"));
    ASSERT_TRUE(client_.Started());
    main_ = gd::WaitForTopWindow(client_.Id(), kMainClass, std::nullopt, 20s);
    ASSERT_NE(main_, nullptr) << "no main window";
    tab_ = gd::FindControl(main_, IDC_SSTAB);
    ASSERT_NE(tab_, nullptr);
  }
  HWND C(int id) { return gd::FindControl(main_, id); }
  // The control of the client that has the keyboard focus (its thread's focus).
  HWND Focused() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info) ? info.hwndFocus : nullptr;
  }
  bool TabBecomes(int index) { return gd::WaitUntil([&] { return gd::SelectedTab(tab_) == index; }, 5s); }
  void TearDown() override {
    if (client_.Running()) client_.Terminate();
  }

  gd::ScopedKeyRestore clientKey_{HKEY_CURRENT_USER, kClientKey};
  gd::Process client_;
  HWND main_ = nullptr;
  HWND tab_ = nullptr;
};

// The helper itself, on what today's client already does: Tab moves the focus to the next
// control of the page.
TEST_F(Keyboard, TabMovesTheFocus) {
  Start();
  ASSERT_TRUE(gd::PressKeys(main_, L"Tab"));
  HWND first = nullptr;
  ASSERT_TRUE(gd::WaitUntil([&] { return (first = Focused()) != nullptr; }, 5s)) << "nothing has the focus";
  ASSERT_TRUE(gd::PressKeys(main_, L"Tab"));
  EXPECT_TRUE(gd::WaitUntil([&] { return Focused() != nullptr && Focused() != first; }, 5s))
      << "Tab did not move the focus from control " << GetDlgCtrlID(first);
}

// Alt+T and Alt+D, the underlined letters of the tab captions, switch tabs.
TEST_F(Keyboard, TabAccessKeysSwitchTabs) {
  Start();
  ASSERT_EQ(0, gd::SelectedTab(tab_));
  ASSERT_TRUE(gd::PressKeys(main_, L"alt+d"));
  EXPECT_TRUE(TabBecomes(1)) << "Alt+D did not show the defaults page";
  ASSERT_TRUE(gd::PressKeys(main_, L"alt+t"));
  EXPECT_TRUE(TabBecomes(0)) << "Alt+T did not show the test page";
}

// In German the defaults tab is "&Standardwerte" and Apply is "&Speichern": Alt+S shows the tab
// first, the next Alt+S puts the focus on Apply without pressing it, Enter then saves, and the
// one after goes back to the tab.
TEST_F(Keyboard, SharedAccessKeyMovesTheFocusFromTheTabToTheButtonAndEnterPressesIt) {
  const std::wstring settingsKey = L"SOFTWARE\\Orvelle\\Pendrake";
  gd::ScopedKeyRestore settings(HKEY_LOCAL_MACHINE, settingsKey);
  gd::DeleteKeyValues(HKEY_LOCAL_MACHINE, settingsKey);
  auto saved = [&] { return gd::ReadDword(HKEY_LOCAL_MACHINE, settingsKey, L"bBootFromRegistry").has_value(); };
  Start(L"DE");
  ASSERT_TRUE(gd::PressKeys(main_, L"alt+s"));
  EXPECT_TRUE(TabBecomes(1)) << "Alt+S did not show the defaults page";
  ASSERT_TRUE(gd::PressKeys(main_, L"alt+s"));
  EXPECT_TRUE(gd::WaitUntil([&] { return Focused() == C(IDC_PBAPPLY); }, 5s)) << "the second Alt+S left the focus on "
                                                                            << GetDlgCtrlID(Focused());
  EXPECT_TRUE(gd::ReachMessageLoop(main_));
  EXPECT_FALSE(saved()) << "Alt+S pressed Apply";
  ASSERT_TRUE(gd::PressKeys(main_, L"Return"));
  EXPECT_TRUE(gd::WaitUntil(saved, 5s)) << "Enter on the focused Apply button did not save";
  ASSERT_TRUE(gd::PressKeys(main_, L"alt+s"));
  EXPECT_TRUE(gd::WaitUntil([&] { return Focused() == tab_; }, 5s)) << "the third Alt+S did not go back to the tab";
}

TEST_F(Keyboard, CtrlTabAndCtrlShiftTabSwitchTabs) {
  Start();
  ASSERT_TRUE(gd::PressKeys(main_, L"ctrl+Tab"));
  EXPECT_TRUE(TabBecomes(1)) << "Ctrl+Tab";
  ASSERT_TRUE(gd::PressKeys(main_, L"ctrl+Tab"));
  EXPECT_TRUE(TabBecomes(0)) << "Ctrl+Tab wraps round to the first tab";
  ASSERT_TRUE(gd::PressKeys(main_, L"ctrl+shift+Tab"));
  EXPECT_TRUE(TabBecomes(1)) << "Ctrl+Shift+Tab wraps round to the last tab";
}

// The focus comes back to the control that had it: after the Options dialog, and after another
// program's window had the focus for a while.
TEST_F(Keyboard, FocusReturnsToItsControlAfterADialogAndAfterAnotherProgram) {
  Start();
  HWND message = C(IDC_TXTTESTSYSLOGMSG);
  ASSERT_NE(message, nullptr);
  gd::Click(message);  // BM_CLICK does nothing to an edit; the focus comes by Tab below
  for (int i = 0; i < 12 && Focused() != message; ++i) ASSERT_TRUE(gd::PressKeys(main_, L"Tab"));
  ASSERT_EQ(message, Focused()) << "Tab never reached the message field";

  gd::PostCommand(main_, IDM_FILE_OPTIONS);
  HWND options = gd::WaitForTopWindow(client_.Id(), kOptionsClass, std::nullopt, 10s);
  ASSERT_NE(options, nullptr) << "Options did not open";
  ASSERT_TRUE(gd::PressKeys(options, L"Escape"));
  if (IsWindow(options)) PostMessageW(options, WM_CLOSE, 0, 0);
  ASSERT_TRUE(gd::WaitUntil([&] { return !IsWindow(options); }, 10s));
  EXPECT_TRUE(gd::WaitUntil([&] { return Focused() == message; }, 5s))
      << "after the dialog the focus is on control " << GetDlgCtrlID(Focused());

  {
    gd::FocusThief other(L"Pendrake test: another program");
    ASSERT_TRUE(gd::FocusWindow(other.Window()));
    EXPECT_TRUE(gd::WaitUntil([&] { return GetForegroundWindow() != main_; }, 5s)) << "the client kept the focus";
    ASSERT_TRUE(gd::FocusWindow(main_));
    // Without a window manager the X focus alone does not activate an unmanaged Wine window:
    // the way back is made as a task switcher makes it.
    SetForegroundWindow(main_);
    EXPECT_TRUE(gd::WaitUntil([&] { return GetForegroundWindow() == main_; }, 5s)) << "the client is not back in front";
  }
  EXPECT_TRUE(gd::WaitUntil([&] { return Focused() == message; }, 5s))
      << "after coming back the focus is on control " << GetDlgCtrlID(Focused());
  ShowWindow(main_, SW_MINIMIZE);
  ASSERT_TRUE(gd::WaitUntil([&] { return IsIconic(main_) != FALSE; }, 5s));
  ShowWindow(main_, SW_RESTORE);
  SetForegroundWindow(main_);
  EXPECT_TRUE(gd::WaitUntil([&] { return Focused() == message; }, 5s))
      << "after minimise and restore the focus is on control " << GetDlgCtrlID(Focused());
}

// The web link is a stop of the Tab order and opens with Enter or Space. The https handler is
// pointed at the explorer stub, which writes down how it was started.
TEST_F(Keyboard, AboutLinkIsReachedWithTabAndOpenedWithEnterOrSpace) {
  const std::wstring stub = gd::WinePath(gd::Env(L"PENDRAKE_EXPLORER_STUB"));
  ASSERT_FALSE(stub.empty()) << "PENDRAKE_EXPLORER_STUB is not set";
  const std::wstring record = gd::FolderOf(stub) + L"\\explorer-call.txt";
  const std::wstring handler = L"SOFTWARE\\Classes\\https\\shell\\open\\command";
  // Wine's shell reads the handler from the machine's classes, not the user's.
  gd::ScopedKeyRestore restoreHandler(HKEY_LOCAL_MACHINE, handler);
  gd::WriteString(HKEY_LOCAL_MACHINE, handler, L"", L"\"" + stub + L"\" \"%1\"");
  Start();
  for (const wchar_t* key : {L"Return", L"space"}) {
    SCOPED_TRACE(key);
    DeleteFileW(record.c_str());
    gd::PostCommand(main_, IDM_HELP_ABOUT);
    HWND about = gd::WaitForTopWindow(client_.Id(), kAboutClass, std::nullopt, 10s);
    ASSERT_NE(about, nullptr) << "the About box did not open; main window enabled: " << IsWindowEnabled(main_)
                              << ", a dialog of the client: " << (gd::FindDialog(client_.Id(), nullptr, true) != nullptr);
    HWND link = gd::FindControl(about, IDC_ABOUT_LBLWWWORVELLECOM);
    ASSERT_NE(link, nullptr);
    // Keys go to the X window, which must be mapped before it can take the input focus.
    ASSERT_TRUE(gd::ReachMessageLoop(about));
    gd::Settle(300ms);
    for (int i = 0; i < 6 && Focused() != link; ++i) ASSERT_TRUE(gd::PressKeys(about, L"Tab"));
    EXPECT_EQ(link, Focused()) << "Tab never reached the link";
    if (Focused() == link) {
      ASSERT_TRUE(gd::PressKeys(about, key));
      EXPECT_TRUE(gd::WaitUntil([&] { return gd::ReadFileBytes(record).has_value(); }, 10s))
          << "the link did not open";
    }
    PostMessageW(about, WM_CLOSE, 0, 0);
    ASSERT_TRUE(gd::WaitUntil([&] { return !IsWindow(about); }, 10s));
  }
}

// The settings key made readable only, for the length of a test, through its DACL (which Wine
// honours: a write handle or a write through a read handle fails with ERROR_ACCESS_DENIED). A
// handle opened with every right before the change puts the old DACL back on every path.
class ReadOnlyKey {
 public:
  explicit ReadOnlyKey(const std::wstring& path) {
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                        &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = 0;
    RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.resize(size);
    if (size == 0 || RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS) return;
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly,
                                                              nullptr)) {
      return;
    }
    ok_ = RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, readOnly) == ERROR_SUCCESS;
    LocalFree(readOnly);
  }
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;
  ~ReadOnlyKey() {
    if (ok_) RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data());
    if (key_) RegCloseKey(key_);
  }
  bool Ok() const { return ok_; }

 private:
  HKEY key_ = nullptr;
  std::string saved_;
  bool ok_ = false;
};

// A settings key the client cannot write: the status bar says so once at the start, and OK
// shows the failed save (prefix, error number, CR LF, description) and does not end the client.
TEST_F(Keyboard, SaveRefusedByTheRegistryIsReportedAndOkStaysOpen) {
  const std::wstring settingsKey = L"SOFTWARE\\Orvelle\\Pendrake";
  gd::ScopedKeyRestore restore(HKEY_LOCAL_MACHINE, settingsKey);
  gd::WriteDword(HKEY_LOCAL_MACHINE, settingsKey, L"bBootFromRegistry", 1);
  ReadOnlyKey readOnly(settingsKey);
  ASSERT_TRUE(readOnly.Ok()) << "could not make the settings key read-only";
  Start();
  HWND status = C(IDC_STBMAIN);
  ASSERT_NE(status, nullptr);
  const std::u16string notWritable = pendrake::client::GetMessageTextFor(u"EN", pendrake::client::msg::kSettingsReadOnly);
  EXPECT_TRUE(gd::WaitUntil([&] { return gd::GetText(status) == std::wstring(notWritable.begin(), notWritable.end()); },
                            5s))
      << "status bar: " << std::string(gd::GetText(status).begin(), gd::GetText(status).end());
  gd::PostClick(C(IDC_PBOK));
  HWND box = gd::WaitForDialog(client_.Id(), main_, 10s);
  ASSERT_NE(box, nullptr) << "OK said nothing about the refused save";
  const gd::MessageBoxInfo info = gd::ReadMessageBox(box);
  const std::wstring description = gd::SystemDescription(ERROR_ACCESS_DENIED);
  const std::u16string expected = pendrake::client::ErrorBoxText(
      pendrake::client::GetMessageTextFor(u"EN", pendrake::client::msg::kSaveFailed),
      {ERROR_ACCESS_DENIED, std::u16string(description.begin(), description.end()), u""}, 64);
  EXPECT_EQ(std::wstring(expected.begin(), expected.end()), info.text)
      << "box titled \"" << std::string(info.title.begin(), info.title.end()) << "\" with " << info.buttons.size()
      << " buttons";
  gd::PressDialogButton(box, IDOK);
  EXPECT_TRUE(gd::WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_TRUE(gd::ReachMessageLoop(main_));
  EXPECT_TRUE(client_.Running()) << "OK ended the client although nothing was saved";
}

// The read-only line is read whole at the minimum size in every language: the status bar is as
// tall as the text wrapped at its width needs (measured here in the bar's own font), and the
// buttons stay above it.
TEST_F(Keyboard, SaveRefusedLineIsWholeAtTheMinimumSizeInEveryLanguage) {
  const std::wstring settingsKey = L"SOFTWARE\\Orvelle\\Pendrake";
  gd::ScopedKeyRestore restore(HKEY_LOCAL_MACHINE, settingsKey);
  ReadOnlyKey readOnly(settingsKey);
  ASSERT_TRUE(readOnly.Ok()) << "could not make the settings key read-only";
  for (const wchar_t* language : {L"EN", L"DE", L"GR"}) {
    SCOPED_TRACE(std::string(language, language + 2));
    Start(language);
    gd::ResizeWindow(main_, 300, 200);  // snaps back to the minimum
    HWND status = C(IDC_STBMAIN);
    const auto font = fontprobe::RemoteControlFont(status);
    ASSERT_TRUE(font.has_value());
    EXPECT_TRUE(gd::WaitUntil([&] { return !gd::GetText(status).empty(); }));
    const std::wstring text = gd::GetText(status);
    RECT bar{};
    GetClientRect(status, &bar);
    RECT need{0, 0, bar.right - GetSystemMetrics(SM_CXVSCROLL), 0};
    HDC dc = GetDC(nullptr);
    HFONT made = CreateFontIndirectW(&*font);
    HGDIOBJ old = SelectObject(dc, made);
    DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(made);
    ReleaseDC(nullptr, dc);
    EXPECT_LE(need.bottom, bar.bottom) << "the line needs " << need.bottom << " px, the bar is " << bar.bottom;
    EXPECT_LE(gd::WindowRect(C(IDC_PBAPPLY)).bottom, gd::WindowRect(status).top) << "the buttons run into the line";
    client_.Terminate();
  }
}

// The program's manifest asks an administrator to elevate, as admin tools do, and declares
// per-monitor DPI awareness (v2) with the system-aware fallback.
TEST(Manifest, AsksForElevationAndPerMonitorAwareness) {
  const std::wstring exe = gd::WinePath(gd::Env(L"PENDRAKE_CLIENT_EXE"));
  HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(image, nullptr) << "cannot load the client's resources";
  HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr) << "no manifest";
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
  const std::string manifest(bytes, SizeofResource(image, found));
  FreeLibrary(image);
  for (const char* part : {"<requestedExecutionLevel level=\"highestAvailable\"",
                           "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
                           "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2"}) {
    EXPECT_NE(std::string::npos, manifest.find(part)) << "the manifest lacks " << part;
  }
  // Terminal-server aware (IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE), or a session host
  // gives it a private Windows folder: DllCharacteristics, 70 bytes into the optional header.
  const std::string pe = gd::ReadFileBytes(exe).value_or("");
  ASSERT_GT(pe.size(), 0x40u);
  const size_t at = *reinterpret_cast<const uint32_t*>(pe.data() + 0x3C) + 4 + 20 + 70;
  ASSERT_GT(pe.size(), at + 2);
  EXPECT_TRUE(*reinterpret_cast<const uint16_t*>(pe.data() + at) & 0x8000) << "not linked --tsaware";
}

// Away from 96 DPI (run at 120 and 144 by dpi_tests.sh) the client area opens at, and snaps
// back to, the fewest whole pixels that hold 8235 x 5460 twips, and the controls and the font
// grow with it. At 120 DPI 686 pixels are 8232 twips: the width was corrected on every resize
// and the height never.
TEST_F(Keyboard, AtHighDpiTheMinimumAndTheControlsScaleTogether) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_NE(96, dpi) << "the prefix is at 96 DPI; run by dpi_tests.sh, which sets 120 and 144";
  Start();
  const int minWidth = (8235 * dpi + 1439) / 1440, minHeight = (5460 * dpi + 1439) / 1440;
  auto atLeastMinimum = [&] {
    RECT c{};
    GetClientRect(main_, &c);
    return c.right >= minWidth && c.bottom >= minHeight;
  };
  EXPECT_TRUE(atLeastMinimum()) << "the window opened below its minimum";
  gd::ResizeWindow(main_, 300, 200);  // below the minimum: snaps back to it
  EXPECT_TRUE(gd::WaitUntil(atLeastMinimum)) << "the client area stayed below 8235 x 5460 twips at " << dpi << " DPI";
  const RECT client = gd::ClientRectOnScreen(main_);
  EXPECT_EQ(minWidth, client.right - client.left) << "minimum client width";
  EXPECT_EQ(minHeight, client.bottom - client.top) << "minimum client height";
  // The OK button is 675 x 375 twips at every DPI, and its font 8 points.
  const RECT ok = gd::WindowRect(C(IDC_PBOK));
  EXPECT_NEAR(675.0 * dpi / 1440, ok.right - ok.left, 1.0) << "OK button width";
  EXPECT_NEAR(375.0 * dpi / 1440, ok.bottom - ok.top, 1.0) << "OK button height";
  const auto font = fontprobe::RemoteControlFont(C(IDC_PBOK));
  ASSERT_TRUE(font.has_value());
  EXPECT_EQ(-MulDiv(8, dpi, 72), font->lfHeight) << "an 8 point font at " << dpi << " DPI";
  // The open facility list has room for 20 of its 24 entries at any resolution.
  HWND facility = C(IDC_CBTESTFACILITY);
  RECT dropped{};
  SendMessageW(facility, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  const auto item = static_cast<int>(SendMessageW(facility, CB_GETITEMHEIGHT, 0, 0));
  EXPECT_GE(dropped.bottom - dropped.top, 20 * item) << "entries of " << item << " px";
  // Every control lies wholly inside the client area at the minimum size.
  for (HWND child = GetWindow(main_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const RECT r = gd::WindowRect(child);
    EXPECT_TRUE(r.left >= client.left && r.top >= client.top && r.right <= client.right && r.bottom <= client.bottom)
        << "control " << GetDlgCtrlID(child) << " is cut";
  }
}

}  // namespace
