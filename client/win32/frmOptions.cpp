// The Options dialog. It stays loaded between openings once OK or Cancel has hidden it, so the
// user sees the entry last selected; only its own close command unloads it.
#include "frmOptions.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "ControlIds.h"
#include "Global.h"
#include "Registry.h"
#include "client/core/About.h"
#include "client/core/DialogRules.h"
#include "client/core/Messages.h"
#include "frmMain.h"
#include "frmSplash.h"

namespace {

using namespace pendrake::client;

constexpr wchar_t kOptionsClass[] = L"PendrakeClientOptions";
constexpr int kClientWidth = 5400;   // twips
constexpr int kClientHeight = 3750;
constexpr int kHeadHeight = 840;

HWND gOptions = nullptr;
HWND gOwner = nullptr;
HBRUSH gHeadBrush = nullptr;

// The dialog's controls start without text: the language settings label them.
HWND AddControl(HWND parent, const wchar_t* cls, DWORD style, int id, int x, int y, int w, int h) {
  return AddChildControl(parent, cls, L"", style, id, x, y, w, h);
}

// The dialog's own copy of the list filling: the three entries with their item numbers, then
// the entry of the current code (exact comparison; any other code selects nothing).
void fill_LanguageListBox(HWND list) {
  for (const LanguageEntry& entry : LanguageList()) {
    const auto index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(entry.text).c_str()));
    SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), entry.itemNumber);
  }
  // -1 clears the selection: a code outside the three selects nothing.
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(OptionsSelectionFor(gszLanguage)), 0);
}

void SetText(int id, int32_t message) {
  SetDlgItemTextW(gOptions, id, MessageText(message).c_str());
}

void CreateControls(HWND window) {
  // pcHead holds lblHeaderText; the label is the head's child, as it is drawn on it.
  HWND head = AddControl(window, WC_STATICW, SS_WHITERECT | WS_CLIPSIBLINGS, IDC_OPTIONS_PCHEAD, 0, 0,
                         kClientWidth, kHeadHeight);
  AddControl(window, WC_STATICW, SS_LEFT, IDC_OPTIONS_LBLHEADERTEXT, 240, 270, kClientWidth - 480, 300);
  AddControl(window, WC_STATICW, SS_ETCHEDHORZ, IDC_OPTIONS_HEADLINE, 0, kHeadHeight, kClientWidth, 30);
  AddControl(window, WC_BUTTONW, BS_GROUPBOX, IDC_OPTIONS_FRAMEOPTIONS, 120, kHeadHeight + 120,
             kClientWidth - 240, 1980);
  AddControl(window, WC_STATICW, SS_LEFT, IDC_OPTIONS_LBLLANGUAGE, 360, kHeadHeight + 420, 2400, 255);
  HWND list = AddControl(window, WC_LISTBOXW, WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                         IDC_OPTIONS_LSLANGUAGE, 360, kHeadHeight + 720, 2700, 1140);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  AddControl(window, WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, IDC_OPTIONS_CMDOK, kClientWidth - 2880,
             kClientHeight - 540, 1260, 390);
  AddControl(window, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, IDC_OPTIONS_CMDCANCEL, kClientWidth - 1500,
             kClientHeight - 540, 1260, 390);
  // The head lies beneath its label and leaves it alone when it repaints.
  SetWindowPos(head, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  fill_LanguageListBox(list);
}

// Leaves the modal state: the owner comes back first so that it, not some other program,
// receives the activation when the dialog disappears.
void ReleaseOwner() {
  if (gOwner) EnableWindow(gOwner, TRUE);
}

void Hide(HWND window) {
  ReleaseOwner();
  ShowWindow(window, SW_HIDE);
  if (gOwner) SetActiveWindow(gOwner);
}

void cmdOk_Click(HWND window) {
  HWND list = GetDlgItem(window, IDC_OPTIONS_LSLANGUAGE);
  const auto index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  std::optional<int32_t> itemNumber;
  if (index != LB_ERR)
    itemNumber = static_cast<int32_t>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  const OptionsOkOutcome outcome = DecideOptionsOk(itemNumber, gszLanguage);
  if (outcome.relabel) {
    gszLanguage = outcome.language;
    frmMain_Initiate_Language_settings();
    frmOptions_Initiate_Language_settings();
  }
  if (outcome.store) SetStringValue(ghClientKey, kLanguageValue, ToWide(gszLanguage));  // failures are not reported
  Hide(window);
}

LRESULT CALLBACK OptionsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_OPTIONS_CMDOK:
        case IDOK:
          cmdOk_Click(window);
          return 0;
        case IDC_OPTIONS_CMDCANCEL:
        case IDCANCEL:  // Esc
          Hide(window);
          return 0;
      }
      break;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (id == IDC_OPTIONS_LBLHEADERTEXT || id == IDC_OPTIONS_PCHEAD) {
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(gHeadBrush);
      }
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_CLOSE:
      // The close command unloads: nothing is stored, the next opening starts afresh.
      ReleaseOwner();
      DestroyWindow(window);
      if (gOwner) SetActiveWindow(gOwner);
      return 0;
    case WM_DESTROY:
      if (gOptions == window) gOptions = nullptr;
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterOptionsClass() {
  static bool registered = false;
  if (registered) return;
  registered = RegisterFormClass(kOptionsClass, OptionsProc, GetModuleHandleW(nullptr));
  gHeadBrush = GetSysColorBrush(COLOR_WINDOW);
}

// frmOptions' load: fill the list, then the language.
HWND Load(HWND owner) {
  RegisterOptionsClass();
  HWND window = CreateDialogFrame(kOptionsClass, owner);
  if (!window) return nullptr;
  gOptions = window;
  PlaceOverOwner(window, owner, kClientWidth, kClientHeight);
  CreateControls(window);
  frmOptions_Initiate_Language_settings();
  return window;
}

}  // namespace

HWND frmOptionsWindow() { return gOptions; }

void frmOptions_Initiate_Language_settings() {
  if (!gOptions) return;
  SetLanguageFont();
  // The list and the frame keep their own fonts.
  ApplyLanguageFont(gOptions);
  for (int id : {IDC_OPTIONS_LBLHEADERTEXT, IDC_OPTIONS_CMDOK, IDC_OPTIONS_CMDCANCEL, IDC_OPTIONS_LBLLANGUAGE})
    ApplyLanguageFont(GetDlgItem(gOptions, id));
  SetWindowTextW(gOptions, MessageText(310).c_str());
  SetText(IDC_OPTIONS_LBLHEADERTEXT, 311);
  SetText(IDC_OPTIONS_CMDOK, 314);
  SetText(IDC_OPTIONS_CMDCANCEL, 315);
  SetText(IDC_OPTIONS_LBLLANGUAGE, 318);
}

void ShowOptionsDialog(HWND owner) {
  gOwner = owner;
  HWND window = gOptions ? gOptions : Load(owner);
  if (!window) return;
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SetFocus(GetDlgItem(window, IDC_OPTIONS_LSLANGUAGE));
  RunModalLoop(window, [window] { return !IsWindow(window) || !IsWindowVisible(window); });
  // Whatever ended the loop (even the program quitting), the owner is usable again.
  ReleaseOwner();
}
