// The Options dialog. It stays loaded between openings once OK or Cancel has hidden it, so the
// user sees the entry last selected; only its own close command unloads it.
#include "frmOptions.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "ControlIds.h"
#include "ControlText.h"
#include "Global.h"
#include "MessageNumbers.h"
#include "ModalLoop.h"
#include "Registry.h"
#include "WindowDpi.h"
#include "client/core/About.h"
#include "client/core/DialogRules.h"
#include "client/core/Messages.h"
#include "frmMain.h"

namespace {

using namespace pendrake::client;

constexpr wchar_t kOptionsClass[] = L"PendrakeClientOptions";
constexpr int kClientWidth = 5400;   // twips
constexpr int kClientHeight = 3750;
constexpr int kHeadHeight = 840;

HWND gOptions = nullptr;
HWND gOwner = nullptr;

// The dialog's controls start without text: the language settings label them.
HWND AddControl(HWND parent, const wchar_t* cls, DWORD style, int id, int x, int y, int w, int h) {
  return AddChildControl(parent, cls, L"", style, id, x, y, w, h);
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
  // The list's own font, at the dialog's resolution like its place.
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFontFor(DpiOf(window))), FALSE);
  AddControl(window, WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, IDC_OPTIONS_CMDOK, kClientWidth - 2880,
             kClientHeight - 540, 1260, 390);
  AddControl(window, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, IDC_OPTIONS_CMDCANCEL, kClientWidth - 1500,
             kClientHeight - 540, 1260, 390);
  // The head lies beneath its label and leaves it alone when it repaints.
  SetWindowPos(head, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // -1 clears the selection: a code outside the three selects nothing.
  FillLanguageList(list, OptionsSelectionFor(gszLanguage));
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
  const std::optional<int32_t> itemNumber = SelectedLanguageItem(GetDlgItem(window, IDC_OPTIONS_LSLANGUAGE));
  const OptionsOkOutcome outcome = DecideOptionsOk(itemNumber, gszLanguage);
  if (outcome.relabel) {
    gszLanguage = outcome.language;
    frmMain_Initiate_Language_settings();
    frmOptions_Initiate_Language_settings();
  }
  // Failures of the write are not reported.
  if (outcome.store) SetStringValue(ghClientKey.get(), kLanguageValue, ToWide(gszLanguage));
  Hide(window);
}

bool OptionsCommand(HWND window, int id, int) {
  switch (id) {
    case IDC_OPTIONS_CMDOK:
    case IDOK:
      cmdOk_Click(window);
      return true;
    case IDC_OPTIONS_CMDCANCEL:
    case IDCANCEL:  // Esc
      Hide(window);
      return true;
    default:
      return false;
  }
}

HBRUSH OptionsStaticColour(HWND, HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  if (id == IDC_OPTIONS_LBLHEADERTEXT || id == IDC_OPTIONS_PCHEAD) {
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return GetSysColorBrush(COLOR_WINDOW);
  }
  SetBkMode(dc, TRANSPARENT);
  return GetSysColorBrush(COLOR_BTNFACE);
}

// The close command unloads: nothing is stored, the next opening starts afresh.
void OptionsClose(HWND window) {
  ReleaseOwner();
  DestroyWindow(window);
  if (gOwner) SetActiveWindow(gOwner);
}

void OptionsDestroyed(HWND window) {
  if (gOptions == window) gOptions = nullptr;
}

void OptionsDpiChanged(HWND window) {
  SendMessageW(GetDlgItem(window, IDC_OPTIONS_LSLANGUAGE), WM_SETFONT,
               reinterpret_cast<WPARAM>(GuiFontFor(DpiOf(window))), TRUE);
  frmOptions_Initiate_Language_settings();
}

constexpr DialogBehaviour kOptions{.command = OptionsCommand,
                                   .staticColour = OptionsStaticColour,
                                   .close = OptionsClose,
                                   .destroyed = OptionsDestroyed,
                                   .dpiChanged = OptionsDpiChanged};

// frmOptions' load: fill the list, then the language.
HWND Load(HWND owner) {
  RegisterDialogClass(kOptionsClass, DialogProcOf<kOptions>);
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
  SetWindowTextW(gOptions, MessageText(msg::kOptionsTitle).c_str());
  SetCaption(gOptions, IDC_OPTIONS_LBLHEADERTEXT, msg::kOptionsHeader);
  SetCaption(gOptions, IDC_OPTIONS_CMDOK, msg::kOptionsOk);
  SetCaption(gOptions, IDC_OPTIONS_CMDCANCEL, msg::kOptionsCancel);
  SetCaption(gOptions, IDC_OPTIONS_LBLLANGUAGE, msg::kLanguage);
}

void ShowOptionsDialog(HWND owner) {
  gOwner = owner;
  HWND window = gOptions ? gOptions : Load(owner);
  if (!window) return;
  // Whatever ends the loop (even the program quitting), the owner is usable again.
  ShowModal(window, owner, GetDlgItem(window, IDC_OPTIONS_LSLANGUAGE),
            [window] { return !IsWindow(window) || !IsWindowVisible(window); });
}
