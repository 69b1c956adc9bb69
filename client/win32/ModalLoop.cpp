#include "ModalLoop.h"

#include "Global.h"
#include "ProductPicture.h"
#include "WindowDpi.h"

namespace pendrake::client {

namespace {

HWND gFilteredWindow = nullptr;
KeyFilter gKeyFilter = nullptr;

// The resolution a window's controls were placed at, kept with the window.
constexpr wchar_t kLayoutDpi[] = L"PendrakeLayoutDpi";

// Moves and sizes the children of `parent` (and theirs) from one resolution to another, so
// that each keeps its place and size in twips.
void RescaleChildren(HWND parent, int from, int to) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(child, nullptr, MulDiv(r.left, to, from), MulDiv(r.top, to, from), MulDiv(r.right - r.left, to, from),
                 MulDiv(r.bottom - r.top, to, from), SWP_NOZORDER | SWP_NOACTIVATE);
    RescaleChildren(child, from, to);
  }
}

void FollowDpiChange(const DialogBehaviour& behaviour, HWND window, int dpi, const RECT& suggested) {
  const auto from = reinterpret_cast<INT_PTR>(GetPropW(window, kLayoutDpi));
  if (from > 0 && from != dpi) RescaleChildren(window, static_cast<int>(from), dpi);
  SetPropW(window, kLayoutDpi, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (behaviour.dpiChanged) behaviour.dpiChanged(window);
}

}  // namespace

void SetKeyFilter(HWND window, KeyFilter filter) {
  gFilteredWindow = window;
  gKeyFilter = filter;
}

void DispatchOne(HWND dialog, MSG& msg) {
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (!dialog && root && root == gFilteredWindow && gKeyFilter && gKeyFilter(msg)) return;
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

void ShowModal(HWND window, HWND owner, HWND focus, const std::function<bool()>& done) {
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SetFocus(focus);
  RunModalLoop(window, done);
  if (owner) EnableWindow(owner, TRUE);
}

void RegisterDialogClass(const wchar_t* className, WNDPROC proc) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &existing)) return;
  RegisterFormClass(className, proc, GetModuleHandleW(nullptr));
}

LRESULT DialogProc(const DialogBehaviour& behaviour, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      // The controls are placed at the window's resolution as it is now (AddChildControl).
      SetPropW(window, kLayoutDpi, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(DpiOf(window))));
      break;
    case WM_DPICHANGED:
      FollowDpiChange(behaviour, window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_NCDESTROY:
      RemovePropW(window, kLayoutDpi);
      break;
    case WM_COMMAND:
      if (behaviour.command && behaviour.command(window, LOWORD(wParam), HIWORD(wParam))) return 0;
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (behaviour.pictureId != 0 && item->CtlID == static_cast<UINT>(behaviour.pictureId)) {
        DrawProductPicture(item->hDC, item->rcItem);
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (behaviour.staticColour) {
        return reinterpret_cast<LRESULT>(behaviour.staticColour(window, dc, reinterpret_cast<HWND>(lParam)));
      }
      // The labels sit on the window's face colour, like the rest of the frame.
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_CLOSE:
      if (behaviour.close) {
        behaviour.close(window);
      } else {
        DestroyWindow(window);
      }
      return 0;
    case WM_DESTROY:
      if (behaviour.destroyed) behaviour.destroyed(window);
      return 0;
    default:
      break;
  }
  LRESULT result = 0;
  if (behaviour.other && behaviour.other(window, message, wParam, lParam, result)) return result;
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace pendrake::client
