// gui_ctl: single steps on the windows of a running program, for the screenshot scripts.
//   gui_ctl wait CLASS [TIMEOUT_MS]   wait for a visible window; print its rectangle "x y w h"
//   gui_ctl rect CLASS                print the rectangle of a visible window
//   gui_ctl tab CLASS INDEX           select a tab of the window's tab control
//   gui_ctl command CLASS ID          post a menu command to the window
//   gui_ctl close CLASS               post WM_CLOSE to the window
// Exit code 0 on success, 1 when the window is not there, 2 on bad usage.
#include <cstdio>
#include <cwchar>
#include <string>

#include "GuiDriver.h"

namespace {
int Usage() {
  std::fputs("usage: gui_ctl wait|rect|tab|command|close CLASS [ARG]\n", stderr);
  return 2;
}

void PrintRect(HWND w) {
  const RECT r = guidriver::WindowRect(w);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fflush(stdout);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring verb = argv[1];
  const std::wstring cls = argv[2];
  const auto timeout = std::chrono::milliseconds(verb == L"wait" && argc > 3 ? _wtoi(argv[3]) : 10000);
  HWND w = guidriver::WaitForTopWindow(0, cls, std::nullopt, timeout);
  if (!w) {
    std::fprintf(stderr, "gui_ctl: no visible window of class %ls\n", cls.c_str());
    return 1;
  }
  if (verb == L"wait" || verb == L"rect") {
    guidriver::Settle(std::chrono::milliseconds(300));
    PrintRect(w);
  } else if (verb == L"tab" && argc > 3) {
    HWND tab = guidriver::FindChildByClass(w, L"SysTabControl32");
    if (!tab) return 1;
    guidriver::SelectTab(tab, _wtoi(argv[3]));
    guidriver::Settle(std::chrono::milliseconds(300));
  } else if (verb == L"command" && argc > 3) {
    guidriver::PostCommand(w, _wtoi(argv[3]));
    guidriver::Settle(std::chrono::milliseconds(300));
  } else if (verb == L"close") {
    PostMessageW(w, WM_CLOSE, 0, 0);
  } else {
    return Usage();
  }
  return 0;
}
