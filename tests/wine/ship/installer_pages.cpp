// Walks the interactive setup as a user does, page by page, and reports its exit code.
//
//   installer_pages <setup.exe> finish   accept the licence, keep the folder, install, finish
//   installer_pages <setup.exe> cancel   cancel on the licence page and confirm
//
// Each page is known by the text of the setup's forward button (control 1), and a click waits
// for that button to be there and enabled, so a slow machine only makes the walk slower. Exit
// code: the setup's own, or 100 when a page or the end did not come.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "GuiDriver.h"

namespace gd = guidriver;
using namespace std::chrono_literals;

namespace {

constexpr int kForward = 1;  // the setup's "I Agree", "Install" and "Finish" button
constexpr int kCancel = 2;
constexpr int kHeaderTitle = 1037;
constexpr int kNoPage = 100;

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

// Waits until the setup's window shows the forward button with this caption, enabled.
bool WaitForPage(HWND setup, const std::wstring& forward) {
  HWND button = GetDlgItem(setup, kForward);
  const bool shown = gd::WaitUntil(
      [&] { return button && gd::GetText(button) == forward && gd::IsEnabled(button); }, 120s);
  std::printf("page \"%s\" (forward button \"%s\")%s\n", Narrow(gd::GetText(GetDlgItem(setup, kHeaderTitle))).c_str(),
              Narrow(button ? gd::GetText(button) : L"(none)").c_str(), shown ? "" : ": not reached");
  return shown;
}

int Finish(gd::Process& setup, HWND window) {
  // The installation page moves on by itself once its work is done.
  for (const wchar_t* forward : {L"I &Agree", L"&Install", L"&Finish"}) {
    if (!WaitForPage(window, forward)) return kNoPage;
    gd::PostClick(GetDlgItem(window, kForward));
  }
  const auto code = setup.WaitForExit(60s);
  return code ? static_cast<int>(*code) : kNoPage;
}

int Cancel(gd::Process& setup, HWND window) {
  if (!WaitForPage(window, L"I &Agree")) return kNoPage;
  gd::PostClick(GetDlgItem(window, kCancel));
  HWND question = gd::WaitForDialog(setup.Id(), window, 30s);
  if (!question) {
    std::printf("no question before cancelling\n");
    return kNoPage;
  }
  std::printf("question: \"%s\"\n", Narrow(gd::ReadMessageBox(question).text).c_str());
  gd::PressDialogButton(question, IDYES);
  const auto code = setup.WaitForExit(60s);
  return code ? static_cast<int>(*code) : kNoPage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::wstring> args(argv, argv + argc);
  if (args.size() != 3 || (args[2] != L"finish" && args[2] != L"cancel")) {
    std::fprintf(stderr, "usage: installer_pages <setup.exe> finish|cancel\n");
    return 2;
  }
  gd::Process setup = gd::Process::Start(args[1]);
  if (!setup.Started()) {
    std::printf("the setup did not start\n");
    return kNoPage;
  }
  HWND window = gd::WaitForTopWindow(setup.Id(), L"#32770", std::nullopt, 60s);
  if (!window) {
    std::printf("no setup window\n");
    return kNoPage;
  }
  std::printf("setup window \"%s\"\n", Narrow(gd::GetText(window)).c_str());
  const int code = args[2] == L"finish" ? Finish(setup, window) : Cancel(setup, window);
  std::printf("setup exit code %d\n", code);
  return code;
}
