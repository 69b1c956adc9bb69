// The program's message loop pieces, and the one window procedure the start window and the
// dialogs share.
#pragma once

#include <windows.h>

#include <functional>

namespace pendrake::client {

// Runs the thread's messages until `done` says so or WM_QUIT arrives (which is posted again so
// the outer loop ends too). Keyboard navigation goes to `dialog` when it is given. Returns false
// when the program is quitting. The modal windows run their own stretch of the loop with it.
bool RunModalLoop(HWND dialog, const std::function<bool()>& done);

// Translates and dispatches one message; dialog keys go to `dialog` (or to a top-level window of
// ours with WS_EX_CONTROLPARENT).
void DispatchOne(HWND dialog, MSG& msg);

// A key filter of one top-level window, asked before dialog navigation for each message of
// that window or its controls while no modal window is in front; true when it took the message.
using KeyFilter = bool (*)(const MSG& msg);
void SetKeyFilter(HWND window, KeyFilter filter);

// Shows `window` modally over `owner` with the focus on `focus` until `done`; the owner is
// usable again afterwards, whatever ended the loop.
void ShowModal(HWND window, HWND owner, HWND focus, const std::function<bool()>& done);

// What sets one of these windows apart; every hook may be left out.
struct DialogBehaviour {
  // WM_COMMAND; true when handled.
  bool (*command)(HWND window, int id, int code) = nullptr;
  // An owner-drawn static that shows the product picture (0: none).
  int pictureId = 0;
  // WM_CTLCOLORSTATIC; without it labels are transparent on the window's face colour.
  HBRUSH (*staticColour)(HWND window, HDC dc, HWND control) = nullptr;
  // WM_CLOSE; without it the window is destroyed.
  void (*close)(HWND window) = nullptr;
  // WM_DESTROY.
  void (*destroyed)(HWND window) = nullptr;
  // WM_DPICHANGED, after the controls have been moved to their places at the new resolution:
  // the fonts follow.
  void (*dpiChanged)(HWND window) = nullptr;
  // Any other message; true when handled, with its result in `result`.
  bool (*other)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = nullptr;
};

// The windows of DialogProc follow WM_DPICHANGED: the suggested frame, every control at the same
// twips at the new resolution, then the behaviour's dpiChanged for the fonts.
LRESULT DialogProc(const DialogBehaviour& behaviour, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window procedure of one behaviour, for the window class.
template <const DialogBehaviour& kBehaviour>
LRESULT CALLBACK DialogProcOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DialogProc(kBehaviour, window, message, wParam, lParam);
}

// Registers the window class of a dialog on its first opening; later openings find it there.
void RegisterDialogClass(const wchar_t* className, WNDPROC proc);

}  // namespace pendrake::client
