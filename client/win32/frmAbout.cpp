// The About box. It is built afresh at every opening, so it always shows the component file
// as it lies beside the program now and the language chosen last.
#include "frmAbout.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>

#include "ControlIds.h"
#include "ControlText.h"
#include "GetFileVersion.h"
#include "Global.h"
#include "MessageNumbers.h"
#include "ModalLoop.h"
#include "client/core/About.h"
#include "client/core/DialogRules.h"
#include "client/core/Messages.h"
#include "pendrake/owners.h"

namespace {

using namespace pendrake::client;
namespace owners = pendrake::owners;

constexpr wchar_t kAboutClass[] = L"PendrakeClientAbout";
constexpr int kClientWidth = 6600;   // twips
constexpr int kClientHeight = 3300;

struct AboutState {
  std::u16string componentVersion;   // the text behind message 301
  std::u16string clientVersion;      // the text behind message 302
  HWND owner = nullptr;
  owners::UniqueHfont linkFont;      // the language font, underlined, for the web link
};

AboutState* StateOf(HWND window) { return reinterpret_cast<AboutState*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void lblwwworvellecom_Click(HWND window);

// Enter and Space open the link; as characters they are '\r' and ' ', the same numbers.
bool OpensLink(WPARAM key) { return key == VK_RETURN || key == VK_SPACE; }

// The web link as a stop of the Tab order: Enter or Space opens it, as a click does, and it
// shows a focus rectangle while it has the focus.
LRESULT CALLBACK LinkKeysProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_GETDLGCODE:
      if (lParam) {
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        if ((key->message == WM_KEYDOWN || key->message == WM_CHAR) && OpensLink(key->wParam)) return DLGC_WANTMESSAGE;
      }
      break;
    case WM_KEYDOWN:
      if (OpensLink(wParam)) {
        lblwwworvellecom_Click(GetParent(link));
        return 0;
      }
      break;
    case WM_CHAR:
      if (OpensLink(wParam)) return 0;  // opened on the key going down
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(link, nullptr, TRUE);
      break;
    case WM_PAINT: {
      const LRESULT painted = DefSubclassProc(link, message, wParam, lParam);
      if (GetFocus() == link) {
        RECT r{};
        GetClientRect(link, &r);
        if (HDC dc = GetDC(link)) {
          DrawFocusRect(dc, &r);
          ReleaseDC(link, dc);
        }
      }
      return painted;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(link, LinkKeysProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(link, message, wParam, lParam);
}

void CreateControls(HWND window) {
  AddChildControl(window, WC_STATICW, L"", SS_OWNERDRAW, IDC_ABOUT_PICTURE, 240, 240, 720, 720);
  AddChildControl(window, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, IDC_ABOUT_LBLTITLE, 1200, 240, kClientWidth - 1440,
                  270);
  AddChildControl(window, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, IDC_ABOUT_LBLVERSION, 1200, 600, kClientWidth - 1440,
                  270);
  AddChildControl(window, WC_STATICW, L"", SS_ETCHEDHORZ, IDC_ABOUT_LINE, 240, 1200, kClientWidth - 480, 30);
  AddChildControl(window, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, IDC_ABOUT_LBLMOREINFORMATIONAT, 1200, 1440,
                  kClientWidth - 1440, 270);
  HWND link = AddChildControl(window, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX | SS_NOTIFY | WS_TABSTOP,
                              IDC_ABOUT_LBLWWWORVELLECOM, 1200, 1770, kClientWidth - 1440, 270);
  SetWindowTextA(link, kProductWebAddress);
  SetWindowSubclass(link, LinkKeysProc, 0, 0);
  AddChildControl(window, WC_BUTTONW, L"", BS_DEFPUSHBUTTON | WS_TABSTOP, IDC_ABOUT_CMDOK, kClientWidth - 1500,
                  kClientHeight - 600, 1260, 390);
}

// The link shows in the language font with an underline; the font is remade at each
// application, as the language font may have changed.
void MakeLinkFont(HWND window, AboutState& state) {
  state.linkFont.reset();
  LOGFONTW face{};
  HFONT language = LanguageFontFor(window);
  if (language && GetObjectW(language, sizeof face, &face) == sizeof face) {
    face.lfUnderline = TRUE;
    state.linkFont.reset(CreateFontIndirectW(&face));
  }
}

void frmAbout_Initiate_Language_settings(HWND window) {
  AboutState& state = *StateOf(window);
  SetLanguageFont();
  ApplyLanguageFont(window);
  for (int id : {IDC_ABOUT_LBLTITLE, IDC_ABOUT_LBLVERSION, IDC_ABOUT_LBLMOREINFORMATIONAT, IDC_ABOUT_CMDOK})
    ApplyLanguageFont(GetDlgItem(window, id));
  MakeLinkFont(window, state);
  HWND link = GetDlgItem(window, IDC_ABOUT_LBLWWWORVELLECOM);
  if (state.linkFont)
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(state.linkFont.get()), TRUE);
  else
    ApplyLanguageFont(link);
  SetWindowTextW(window, MessageText(msg::kAboutTitle).c_str());
  // Nothing goes between a message and the version behind it: the catalogue decides the gap.
  SetDlgItemTextW(window, IDC_ABOUT_LBLTITLE,
                  (MessageText(msg::kComponentVersion) + ToWide(state.componentVersion)).c_str());
  SetDlgItemTextW(window, IDC_ABOUT_LBLVERSION,
                  (MessageText(msg::kClientVersion) + ToWide(state.clientVersion)).c_str());
  SetCaption(window, IDC_ABOUT_LBLMOREINFORMATIONAT, msg::kMoreInformationAt);
  SetCaption(window, IDC_ABOUT_CMDOK, msg::kOk);
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

bool AboutCommand(HWND window, int id, int code) {
  switch (id) {
    case IDC_ABOUT_CMDOK:
    case IDOK:
    case IDCANCEL:
      Unload(window);
      return true;
    case IDC_ABOUT_LBLWWWORVELLECOM:
      if (code == STN_CLICKED) lblwwworvellecom_Click(window);
      return true;
    default:
      return false;
  }
}

HBRUSH AboutStaticColour(HWND window, HDC dc, HWND control) {
  SetBkMode(dc, TRANSPARENT);
  // The system's link colour, which a high-contrast scheme sets too.
  if (control == GetDlgItem(window, IDC_ABOUT_LBLWWWORVELLECOM)) SetTextColor(dc, GetSysColor(COLOR_HOTLIGHT));
  return GetSysColorBrush(COLOR_BTNFACE);
}

// The hand over the web link; the state goes with the window.
bool AboutOther(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message == WM_SETCURSOR && reinterpret_cast<HWND>(wParam) == GetDlgItem(window, IDC_ABOUT_LBLWWWORVELLECOM)) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    result = TRUE;
    return true;
  }
  if (message == WM_NCDESTROY) {
    const std::unique_ptr<AboutState> state(StateOf(window));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  }
  return false;
}

constexpr DialogBehaviour kAbout{.command = AboutCommand,
                                 .pictureId = IDC_ABOUT_PICTURE,
                                 .staticColour = AboutStaticColour,
                                 .close = Unload,
                                 .dpiChanged = frmAbout_Initiate_Language_settings,
                                 .other = AboutOther};

// frmAbout's load: the versions first, then the language (which shows them).
HWND Load(HWND owner) {
  auto state = std::make_unique<AboutState>();
  state->owner = owner;
  const std::optional<ProductVersion> component = ReadProductVersion(ProgramFolder() + L"\\Pendrake.dll");
  state->componentVersion = ComponentVersionText(component);
  state->clientVersion = ClientVersionText(ReadOwnProductVersion().value_or(ProductVersion{}));

  RegisterDialogClass(kAboutClass, DialogProcOf<kAbout>);
  HWND window = CreateDialogFrame(kAboutClass, owner);
  if (!window) return nullptr;
  // From here the window owns the state; WM_NCDESTROY gives it back.
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.release()));
  PlaceOverOwner(window, owner, kClientWidth, kClientHeight);
  CreateControls(window);
  frmAbout_Initiate_Language_settings(window);
  return window;
}

}  // namespace

void ShowAboutBox(HWND owner) {
  HWND window = Load(owner);
  if (!window) return;
  ShowModal(window, owner, GetDlgItem(window, IDC_ABOUT_CMDOK), [window] { return !IsWindow(window); });
}
