// The About box. It is built afresh at every opening, so it always shows the component file
// as it lies beside the program now and the language chosen last.
#include "frmAbout.h"

#include <commctrl.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "ControlIds.h"
#include "GetFileVersion.h"
#include "Global.h"
#include "client/core/About.h"
#include "client/core/DialogRules.h"
#include "client/core/Messages.h"
#include "frmSplash.h"

namespace {

using namespace pendrake::client;

constexpr wchar_t kAboutClass[] = L"PendrakeClientAbout";
constexpr int kClientWidth = 6600;   // twips
constexpr int kClientHeight = 3300;

struct AboutState {
  std::u16string componentVersion;   // the text behind message 301
  std::u16string clientVersion;      // the text behind message 302
  HWND owner = nullptr;
  HFONT linkFont = nullptr;          // the language font, underlined, for the web link
};

AboutState* StateOf(HWND window) { return reinterpret_cast<AboutState*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void CreateControls(HWND window) {
  AddChildControl(window, WC_STATICW, L"", SS_OWNERDRAW, IDC_ABOUT_PICTURE, 240, 240, 720, 720);
  AddChildControl(window, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, IDC_ABOUT_LBLTITLE, 1200, 240, kClientWidth - 1440,
                  270);
  AddChildControl(window, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, IDC_ABOUT_LBLVERSION, 1200, 600, kClientWidth - 1440,
                  270);
  AddChildControl(window, WC_STATICW, L"", SS_ETCHEDHORZ, IDC_ABOUT_LINE, 240, 1200, kClientWidth - 480, 30);
  AddChildControl(window, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, IDC_ABOUT_LBLMOREINFORMATIONAT, 1200, 1440,
                  kClientWidth - 1440, 270);
  HWND link = AddChildControl(window, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, IDC_ABOUT_LBLWWWORVELLECOM,
                              1200, 1770, kClientWidth - 1440, 270);
  SetWindowTextA(link, kProductWebAddress);
  AddChildControl(window, WC_BUTTONW, L"", BS_DEFPUSHBUTTON | WS_TABSTOP, IDC_ABOUT_CMDOK, kClientWidth - 1500,
                  kClientHeight - 600, 1260, 390);
}

// The link shows in the language font with an underline; the font is remade at each
// application, as the language font may have changed.
void MakeLinkFont(AboutState& state) {
  if (state.linkFont) DeleteObject(state.linkFont);
  state.linkFont = nullptr;
  LOGFONTW face{};
  if (gLanguageFont && GetObjectW(gLanguageFont, sizeof face, &face) == sizeof face) {
    face.lfUnderline = TRUE;
    state.linkFont = CreateFontIndirectW(&face);
  }
}

void frmAbout_Initiate_Language_settings(HWND window) {
  AboutState& state = *StateOf(window);
  SetLanguageFont();
  ApplyLanguageFont(window);
  for (int id : {IDC_ABOUT_LBLTITLE, IDC_ABOUT_LBLVERSION, IDC_ABOUT_LBLMOREINFORMATIONAT, IDC_ABOUT_CMDOK})
    ApplyLanguageFont(GetDlgItem(window, id));
  MakeLinkFont(state);
  HWND link = GetDlgItem(window, IDC_ABOUT_LBLWWWORVELLECOM);
  if (state.linkFont)
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(state.linkFont), TRUE);
  else
    ApplyLanguageFont(link);
  SetWindowTextW(window, MessageText(300).c_str());
  // Nothing goes between a message and the version behind it: the catalogue decides the gap.
  SetDlgItemTextW(window, IDC_ABOUT_LBLTITLE, (MessageText(301) + ToWide(state.componentVersion)).c_str());
  SetDlgItemTextW(window, IDC_ABOUT_LBLVERSION, (MessageText(302) + ToWide(state.clientVersion)).c_str());
  SetDlgItemTextW(window, IDC_ABOUT_LBLMOREINFORMATIONAT, MessageText(303).c_str());
  SetDlgItemTextW(window, IDC_ABOUT_CMDOK, MessageText(75).c_str());
}

void lblwwworvellecom_Click(HWND window) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(window, "OPEN", kProductWebAddress, nullptr, nullptr, SW_SHOWNORMAL));
  if (ShellOpenFailed(result))
    MessageBoxW(window, ToWide(WebLinkErrorText(result)).c_str(), kProgramTitle, MB_OK | MB_ICONSTOP);
}

void Unload(HWND window) {
  AboutState* state = StateOf(window);
  if (state && state->owner) EnableWindow(state->owner, TRUE);
  DestroyWindow(window);
  if (state && state->owner) SetActiveWindow(state->owner);
}

LRESULT CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_ABOUT_CMDOK:
        case IDOK:
        case IDCANCEL:
          Unload(window);
          return 0;
        case IDC_ABOUT_LBLWWWORVELLECOM:
          if (HIWORD(wParam) == STN_CLICKED) lblwwworvellecom_Click(window);
          return 0;
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID == IDC_ABOUT_PICTURE) {
        DrawProductPicture(item->hDC, item->rcItem);
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkMode(dc, TRANSPARENT);
      if (reinterpret_cast<HWND>(lParam) == GetDlgItem(window, IDC_ABOUT_LBLWWWORVELLECOM))
        SetTextColor(dc, RGB(0, 0, 0xCC));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == GetDlgItem(window, IDC_ABOUT_LBLWWWORVELLECOM)) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      Unload(window);
      return 0;
    case WM_NCDESTROY: {
      AboutState* state = StateOf(window);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      if (state && state->linkFont) DeleteObject(state->linkFont);
      delete state;
      break;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterAboutClass() {
  static bool registered = false;
  if (registered) return;
  registered = RegisterFormClass(kAboutClass, AboutProc, GetModuleHandleW(nullptr));
}

// frmAbout's load: the versions first, then the language (which shows them).
HWND Load(HWND owner) {
  auto* state = new AboutState;
  state->owner = owner;
  const std::optional<ProductVersion> component = ReadProductVersion(ProgramFolder() + L"\\Pendrake.dll");
  state->componentVersion = ComponentVersionText(component);
  state->clientVersion = ClientVersionText(ReadOwnProductVersion().value_or(ProductVersion{}));

  RegisterAboutClass();
  HWND window = CreateDialogFrame(kAboutClass, owner);
  if (!window) {
    delete state;
    return nullptr;
  }
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  PlaceOverOwner(window, owner, kClientWidth, kClientHeight);
  CreateControls(window);
  frmAbout_Initiate_Language_settings(window);
  return window;
}

}  // namespace

void ShowAboutBox(HWND owner) {
  HWND window = Load(owner);
  if (!window) return;
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SetFocus(GetDlgItem(window, IDC_ABOUT_CMDOK));
  RunModalLoop(window, [window] { return !IsWindow(window); });
  if (owner) EnableWindow(owner, TRUE);
}
