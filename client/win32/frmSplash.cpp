// The start window and the program entry. Its texts are fixed English on purpose: it is shown
// before anyone has chosen a language.
#include "frmSplash.h"

#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "ControlIds.h"
#include "Global.h"
#include "Registry.h"
#include "client/core/About.h"
#include "client/core/DialogRules.h"
#include "client/core/Messages.h"
#include "frmMain.h"

namespace {

using namespace pendrake::client;

constexpr wchar_t kSplashClass[] = L"PendrakeClientSplash";
constexpr wchar_t kSplashTitle[] = L"Pendrake";

HWND gSplash = nullptr;
HFONT gSplashFont = nullptr;        // every control but the product name
HFONT gProductNameFont = nullptr;   // "Pendrake" in Arial 24 point bold
bool gMainWindowShown = false;

HFONT MakeFont(const wchar_t* face, int points, int weight) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

HWND AddControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y,
                int w, int h, HFONT font) {
  HWND control = AddChildControl(parent, cls, text, style, id, x, y, w, h);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

// The start window's own copy of the list filling: the three entries with their item numbers,
// then the first entry selected.
void fill_LanguageListBox(HWND list) {
  for (const LanguageEntry& entry : LanguageList()) {
    const auto index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(entry.text).c_str()));
    SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), entry.itemNumber);
  }
  SendMessageW(list, LB_SETCURSEL, kFirstRunSelection, 0);
}

void CreateControls(HWND window, StartupAction action) {
  AddControl(window, WC_BUTTONW, L"", BS_GROUPBOX, IDC_SPLASH_FRAME1, 120, 60, 5160, 3420, gSplashFont);
  AddControl(window, WC_STATICW, L"", SS_OWNERDRAW, IDC_SPLASH_IMAGE1, 300, 300, 720, 720, gSplashFont);
  AddControl(window, WC_STATICW, L"Pendrake", SS_LEFT | SS_CENTERIMAGE, IDC_SPLASH_LBLPRODUCTNAME, 1200, 360,
             3900, 600, gProductNameFont);
  AddControl(window, WC_STATICW, L"", SS_ETCHEDHORZ, IDC_SPLASH_LINE1, 300, 1170, 4800, 30, gSplashFont);
  AddControl(window, WC_STATICW, L"Please select your prefered language", SS_LEFT, IDC_SPLASH_LBLCHOOSELANGUAGE,
             300, 1320, 4800, 255, gSplashFont);
  HWND list = AddControl(window, WC_LISTBOXW, L"", WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                                                       LBS_NOINTEGRALHEIGHT,
                         IDC_SPLASH_LSLANGUAGE, 300, 1650, 2700, 900, gSplashFont);
  AddControl(window, WC_BUTTONW, L"&Start", BS_DEFPUSHBUTTON | WS_TABSTOP, IDC_SPLASH_CMDSTART, 3420, 1650, 1680,
             420, gSplashFont);
  AddControl(window, WC_STATICW, ToWide(FirstRunStatusText(action)).c_str(), SS_LEFT,
             IDC_SPLASH_LBLFIRSTTIME, 300, 2820, 4800, 255, gSplashFont);
  fill_LanguageListBox(list);
  SetFocus(list);
}

void ShowMainAndLeave(HWND splash) {
  gMainWindowShown = true;
  ShowMainWindow();
  if (splash) DestroyWindow(splash);
}

// cmdStart: the code comes from the selected entry's item number, never from its text.
void cmdStart_Click(HWND window) {
  HWND list = GetDlgItem(window, IDC_SPLASH_LSLANGUAGE);
  const auto index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return;  // nothing chosen yet: there is no code to store
  const auto itemNumber = static_cast<int32_t>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  const auto code = LanguageCodeForItem(itemNumber);
  if (!code) return;
  gszLanguage = *code;
  SetStringValue(ghClientKey, kLanguageValue, ToWide(gszLanguage));  // a failed write is not reported
  ShowMainAndLeave(window);
}

LRESULT CALLBACK SplashProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_SPLASH_CMDSTART:
        case IDOK:  // Enter: the default button
          cmdStart_Click(window);
          return 0;
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID == IDC_SPLASH_IMAGE1) {
        DrawProductPicture(item->hDC, item->rcItem);
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
      // The labels sit on the window's face colour, like the rest of the frame.
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      gSplash = nullptr;
      // Closing the start window before a language was chosen ends the program; after
      // cmdStart the main window carries on.
      if (!gMainWindowShown) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterSplashClass(HINSTANCE instance) {
  RegisterFormClass(kSplashClass, SplashProc, instance, LoadIconW(nullptr, IDI_APPLICATION));
}

// frmSplash's load: decides between the main window and the language question.
void frmSplash_Load(HINSTANCE instance) {
  // A first run is told by the read-and-write open failing; the store then creates the key.
  HKEY probe = nullptr;
  const bool opened = RegOpenKeyExW(HKEY_CURRENT_USER, kClientKeyPath, 0, KEY_READ | KEY_WRITE, &probe) == ERROR_SUCCESS;
  if (opened) RegCloseKey(probe);
  OpenOrCreateKey(HKEY_CURRENT_USER, kClientKeyPath, ghClientKey);
  std::wstring stored;
  if (opened) QueryStringValue(ghClientKey, kLanguageValue, stored, L"");
  gszLanguage = ToU16(stored);
  const StartupAction action = DecideStartup(opened, gszLanguage);
  if (action == StartupAction::ShowMainWindow) {
    ShowMainAndLeave(nullptr);
    return;
  }
  gSplashFont = MakeFont(L"MS Sans Serif", 8, FW_NORMAL);
  gProductNameFont = MakeFont(L"Arial", 24, FW_BOLD);
  RegisterSplashClass(instance);
  gSplash = CreateWindowExW(WS_EX_CONTROLPARENT, kSplashClass, kSplashTitle,
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
                            100, 100, nullptr, nullptr, instance, nullptr);
  PlaceOverOwner(gSplash, nullptr, 5400, 3600);  // centred on the screen
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

void DispatchOne(HWND dialog, MSG& msg) {
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  HWND keyboardOwner = dialog ? dialog : root;
  // Dialog keyboard handling (Tab, Enter, Esc, access keys) for the modal window in front, and
  // for any of our top-level windows that asks for it with WS_EX_CONTROLPARENT.
  if (keyboardOwner && (keyboardOwner == dialog ||
                        (GetWindowLongPtrW(keyboardOwner, GWL_EXSTYLE) & WS_EX_CONTROLPARENT))) {
    if (IsDialogMessageW(keyboardOwner, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace

void DrawProductPicture(HDC dc, const RECT& bounds) {
  const int w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
  HBRUSH face = CreateSolidBrush(RGB(0x1F, 0x3A, 0x68));
  HPEN edge = CreatePen(PS_SOLID, 1, RGB(0x0E, 0x1C, 0x34));
  HGDIOBJ oldBrush = SelectObject(dc, face);
  HGDIOBJ oldPen = SelectObject(dc, edge);
  RoundRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom, w / 3, h / 3);
  // A quill across the emblem: the shaft and its feather.
  HPEN quill = CreatePen(PS_SOLID, (w / 16) > 1 ? w / 16 : 1, RGB(0xF2, 0xC1, 0x4E));
  SelectObject(dc, quill);
  MoveToEx(dc, bounds.left + w / 5, bounds.bottom - h / 5, nullptr);
  LineTo(dc, bounds.right - w / 5, bounds.top + h / 5);
  HBRUSH feather = CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
  SelectObject(dc, feather);
  const POINT vane[] = {{bounds.right - w / 5, bounds.top + h / 5},
                        {bounds.left + w / 2, bounds.top + h / 4},
                        {bounds.left + w * 2 / 5, bounds.top + h * 3 / 5},
                        {bounds.left + w * 3 / 4, bounds.top + h / 2}};
  Polygon(dc, vane, 4);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(feather);
  DeleteObject(quill);
  DeleteObject(edge);
  DeleteObject(face);
}

bool RunModalLoop(HWND dialog, const std::function<bool()>& done) {
  MSG msg;
  while (!done()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (got < 0) return false;
    DispatchOne(dialog, msg);
  }
  return true;
}

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
