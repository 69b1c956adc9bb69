// The start window and the program entry. Its texts are fixed English on purpose: it is shown
// before anyone has chosen a language.
#include "frmSplash.h"

#include <commctrl.h>
#include <objbase.h>

#include <optional>
#include <string>

#include "ControlIds.h"
#include "ControlText.h"
#include "Global.h"
#include "ModalLoop.h"
#include "Registry.h"
#include "WindowDpi.h"
#include "client/core/About.h"
#include "client/core/DialogRules.h"
#include "client/core/Messages.h"
#include "frmMain.h"
#include "pendrake/owners.h"

namespace {

using namespace pendrake::client;
namespace owners = pendrake::owners;

constexpr wchar_t kSplashClass[] = L"PendrakeClientSplash";
constexpr wchar_t kSplashTitle[] = L"Pendrake";

HWND gSplash = nullptr;
owners::UniqueHfont gSplashFont;        // every control but the product name
owners::UniqueHfont gProductNameFont;   // "Pendrake" in Arial 24 point bold
bool gMainWindowShown = false;

HFONT MakeFont(const wchar_t* face, int points, int weight, int dpi) {
  const int height = -MulDiv(points, dpi, 72);
  return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

// The window's fonts at its own resolution, as its controls' places are.
void MakeSplashFonts(HWND window) {
  const int dpi = DpiOf(window);
  gSplashFont.reset(MakeFont(L"MS Sans Serif", 8, FW_NORMAL, dpi));
  gProductNameFont.reset(MakeFont(L"Arial", 24, FW_BOLD, dpi));
}

// Another monitor: the fonts made again for it and given to every control. The old ones are
// deleted only once no control holds them any more.
void SplashDpiChanged(HWND window) {
  owners::UniqueHfont oldText(gSplashFont.release()), oldName(gProductNameFont.release());
  MakeSplashFonts(window);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const bool name = GetDlgCtrlID(child) == IDC_SPLASH_LBLPRODUCTNAME;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(name ? gProductNameFont.get() : gSplashFont.get()), TRUE);
  }
}

HWND AddControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y,
                int w, int h, HFONT font) {
  HWND control = AddChildControl(parent, cls, text, style, id, x, y, w, h);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void CreateControls(HWND window, StartupAction action) {
  AddControl(window, WC_BUTTONW, L"", BS_GROUPBOX, IDC_SPLASH_FRAME1, 120, 60, 5160, 3420, gSplashFont.get());
  AddControl(window, WC_STATICW, L"", SS_OWNERDRAW, IDC_SPLASH_IMAGE1, 300, 300, 720, 720, gSplashFont.get());
  AddControl(window, WC_STATICW, L"Pendrake", SS_LEFT | SS_CENTERIMAGE, IDC_SPLASH_LBLPRODUCTNAME, 1200, 360,
             3900, 600, gProductNameFont.get());
  AddControl(window, WC_STATICW, L"", SS_ETCHEDHORZ, IDC_SPLASH_LINE1, 300, 1170, 4800, 30, gSplashFont.get());
  AddControl(window, WC_STATICW, L"Please select your prefered language", SS_LEFT, IDC_SPLASH_LBLCHOOSELANGUAGE,
             300, 1320, 4800, 255, gSplashFont.get());
  HWND list = AddControl(window, WC_LISTBOXW, L"", WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                                                       LBS_NOINTEGRALHEIGHT,
                         IDC_SPLASH_LSLANGUAGE, 300, 1650, 2700, 900, gSplashFont.get());
  AddControl(window, WC_BUTTONW, L"&Start", BS_DEFPUSHBUTTON | WS_TABSTOP, IDC_SPLASH_CMDSTART, 3420, 1650, 1680,
             420, gSplashFont.get());
  AddControl(window, WC_STATICW, ToWide(FirstRunStatusText(action)).c_str(), SS_LEFT,
             IDC_SPLASH_LBLFIRSTTIME, 300, 2820, 4800, 255, gSplashFont.get());
  FillLanguageList(list, kFirstRunSelection);
  SetFocus(list);
}

void ShowMainAndLeave(HWND splash) {
  gMainWindowShown = true;
  ShowMainWindow();
  if (splash) DestroyWindow(splash);
}

// cmdStart: the code comes from the selected entry's item number, never from its text.
void cmdStart_Click(HWND window) {
  const std::optional<int32_t> itemNumber = SelectedLanguageItem(GetDlgItem(window, IDC_SPLASH_LSLANGUAGE));
  if (!itemNumber) return;  // nothing chosen yet: there is no code to store
  const auto code = LanguageCodeForItem(*itemNumber);
  if (!code) return;
  gszLanguage = *code;
  SetStringValue(ghClientKey.get(), kLanguageValue, ToWide(gszLanguage));  // a failed write is not reported
  ShowMainAndLeave(window);
}

bool SplashCommand(HWND window, int id, int) {
  if (id != IDC_SPLASH_CMDSTART && id != IDOK) return false;  // IDOK: Enter, the default button
  cmdStart_Click(window);
  return true;
}

void SplashDestroyed(HWND) {
  gSplash = nullptr;
  // Closing the start window before a language was chosen ends the program; after
  // cmdStart the main window carries on.
  if (!gMainWindowShown) PostQuitMessage(0);
}

constexpr DialogBehaviour kSplash{
    .command = SplashCommand, .pictureId = IDC_SPLASH_IMAGE1, .destroyed = SplashDestroyed,
    .dpiChanged = SplashDpiChanged};

void RegisterSplashClass(HINSTANCE instance) {
  RegisterFormClass(kSplashClass, DialogProcOf<kSplash>, instance, LoadIconW(nullptr, IDI_APPLICATION));
}

// frmSplash's load: decides between the main window and the language question.
void frmSplash_Load(HINSTANCE instance) {
  // A first run is told by the read-and-write open failing; the store then creates the key.
  bool opened = false;
  {
    owners::UniqueHkey probe;
    opened = RegOpenKeyExW(HKEY_CURRENT_USER, kClientKeyPath, 0, KEY_READ | KEY_WRITE, probe.put()) == ERROR_SUCCESS;
  }
  OpenOrCreateKey(HKEY_CURRENT_USER, kClientKeyPath, ghClientKey);
  std::wstring stored;
  if (opened) QueryStringValue(ghClientKey.get(), kLanguageValue, stored, L"");
  gszLanguage = ToU16(stored);
  const StartupAction action = DecideStartup(opened, gszLanguage);
  if (action == StartupAction::ShowMainWindow) {
    ShowMainAndLeave(nullptr);
    return;
  }
  RegisterSplashClass(instance);
  gSplash = CreateWindowExW(WS_EX_CONTROLPARENT, kSplashClass, kSplashTitle,
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
                            100, 100, nullptr, nullptr, instance, nullptr);
  PlaceOverOwner(gSplash, nullptr, 5400, 3600);  // centred on the screen
  MakeSplashFonts(gSplash);
  CreateControls(gSplash, action);
  ShowWindow(gSplash, SW_SHOWNORMAL);
  UpdateWindow(gSplash);
}

// Whether the program has nothing left on screen: the start window is gone and the main window,
// once shown, has gone too.
bool NothingLeftOpen() {
  if (gSplash) return false;
  if (!gMainWindowShown) return false;
  HWND main = frmMainWindow();
  return main == nullptr || !IsWindow(main);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const HRESULT com = CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_TAB_CLASSES |
                                                     ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  frmSplash_Load(instance);

  MSG msg{};
  int exitCode = 0;
  for (;;) {
    if (NothingLeftOpen()) break;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      exitCode = got == 0 ? static_cast<int>(msg.wParam) : 1;
      break;
    }
    DispatchOne(nullptr, msg);
  }

  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
