// Helpers for GUI tests: start PendrakeClient.exe, find its windows, work their controls from
// outside as a user would, answer message boxes, read the registry. Used by the window tests
// of the main window and of the dialogs.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace guidriver {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;
inline constexpr Duration kDefaultWait = 10s;

// ---- Paths and environment ----------------------------------------------------------------
// The value of an environment variable ("" when unset).
std::wstring Env(const wchar_t* name);
// A Unix path ("/work/x") as Wine sees it ("Z:\work\x"); a Windows path stays as it is.
std::wstring WinePath(const std::wstring& path);
// The folder of a file path (without the trailing separator).
std::wstring FolderOf(const std::wstring& path);

// ---- Processes ----------------------------------------------------------------------------
// A started program; terminated (if still running) when the object goes.
class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  ~Process();

  // Starts `exe` with `arguments` in the folder `workingDir` (empty: the exe's folder).
  static Process Start(const std::wstring& exe, const std::wstring& arguments = L"",
                       const std::wstring& workingDir = L"");
  bool Started() const { return process_ != nullptr; }
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_; }
  // Waits for the program to end; its exit code, or nullopt on a timeout.
  std::optional<DWORD> WaitForExit(Duration timeout = kDefaultWait);
  bool Running() const;
  void Terminate();

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// Runs a program to its end and returns its exit code (nullopt: could not start or timed out).
std::optional<DWORD> RunAndWait(const std::wstring& commandLine, Duration timeout = 60s);

// ---- Waiting ------------------------------------------------------------------------------
// Polls `condition` (pumping this thread's messages) until it is true or `timeout` passes.
bool WaitUntil(const std::function<bool()>& condition, Duration timeout = kDefaultWait);
// Lets the other process work for a moment.
void Settle(Duration pause = 150ms);
// Returns true once the thread of `window` reads its messages again: the handler it was running
// has returned, or has opened a modal window, which exists by then. Sent messages come before
// posted ones, so call it only once the handler is known to have begun (a datagram arrived, a
// file was written, a dialog closed).
bool ReachMessageLoop(HWND window, Duration timeout = kDefaultWait);

// ---- Finding windows ----------------------------------------------------------------------
// The first visible top-level window of `processId` (0: any process) with this class and,
// when given, this title.
HWND FindTopWindow(DWORD processId, const std::wstring& className,
                   const std::optional<std::wstring>& title = std::nullopt);
HWND WaitForTopWindow(DWORD processId, const std::wstring& className,
                      const std::optional<std::wstring>& title = std::nullopt,
                      Duration timeout = kDefaultWait);
// Waits until no visible window of that class is left for the process.
bool WaitForWindowGone(DWORD processId, const std::wstring& className, Duration timeout = kDefaultWait);
// A message box or other standard dialog (#32770) of the process, owned by `owner` when given;
// hidden ones too when asked (a modal window shows itself only once its loop is idle).
HWND FindDialog(DWORD processId, HWND owner = nullptr, bool hiddenToo = false);
HWND WaitForDialog(DWORD processId, HWND owner = nullptr, Duration timeout = kDefaultWait);
// Any descendant with this control identifier (GetDlgItem looks at direct children only).
HWND FindControl(HWND parent, int id);
// The first descendant of the given window class.
HWND FindChildByClass(HWND parent, const std::wstring& className);

// ---- Reading and working controls ---------------------------------------------------------
std::wstring GetText(HWND window);
void SetText(HWND window, const std::wstring& text);  // WM_SETTEXT: fires EN_CHANGE like typing
// Types text into a control as keystrokes (WM_CHAR, one by one). Each is sent, so every key has
// been handled, the control's filter included, when the call returns; false when one was not
// taken within the default wait. A key that opens a modal window must be posted by the caller.
bool TypeChars(HWND window, const std::wstring& text);
// Pastes text through the clipboard (WM_PASTE), replacing the selection.
void Paste(HWND window, const std::wstring& text);
bool IsEnabled(HWND window);
bool IsChecked(HWND button);
// A click (BM_CLICK: the button presses and releases itself, toggles a check box and tells
// its owner). Posted when it may open a modal window or end the program, so the caller is not
// blocked; sent when its effects must be complete on return.
void PostClick(HWND button);
void Click(HWND button);
// A menu command posted to a window (menus of another process cannot be read).
void PostCommand(HWND window, int id);

// Combo boxes.
int ComboCount(HWND combo);
std::wstring ComboItemText(HWND combo, int index);
LPARAM ComboItemData(HWND combo, int index);
int ComboSelection(HWND combo);
std::wstring ComboSelectedText(HWND combo);
// Selects an entry and tells the owner as the user's choice would (CBN_SELCHANGE).
void ComboSelect(HWND combo, int index);

// Tab controls: focus a tab as a click would (the owner gets TCN_SELCHANGE).
void SelectTab(HWND tab, int index);
int SelectedTab(HWND tab);

// The font a control shows (WM_GETFONT), as its LOGFONT.
std::optional<LOGFONTW> ControlFont(HWND window);

// Window geometry in screen pixels.
RECT WindowRect(HWND window);
RECT ClientRectOnScreen(HWND window);
// Resizes a top-level window to this outer size (pixels), as dragging its frame would.
void ResizeWindow(HWND window, int width, int height);

// ---- Real key input (XTEST through xdotool) -----------------------------------------------
// Keys pressed on the test's own X display as a keyboard gives them, so access keys, Tab and
// dialog navigation see real WM_KEYDOWN / WM_SYSKEYDOWN input (posted WM_CHAR does not reach
// them). `window` (a top-level window of any process) first gets the X input focus, found by
// its title, and becomes the active window (SetForegroundWindow, as a click on it would). `keys` are xdotool key names separated by blanks, pressed one after the other:
// "alt+t", "alt+d", "ctrl+Tab", "ctrl+shift+Tab", "Tab", "shift+Tab", "Return", "space".
// Returns false when xdotool could not be started or did not end in time; a key's effect is
// the caller's to wait for.
bool PressKeys(HWND window, const std::wstring& keys);
// Gives the X input focus to `window` without pressing a key (another program's window taking
// the focus, as Alt+Tab does; and the way back).
bool FocusWindow(HWND window);

// A visible top-level window of this test process with the given title: something for the
// focus to go to while the client is inactive. Destroyed when the object goes.
class FocusThief {
 public:
  explicit FocusThief(const std::wstring& title);
  FocusThief(const FocusThief&) = delete;
  FocusThief& operator=(const FocusThief&) = delete;
  ~FocusThief();
  HWND Window() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// ---- Message boxes ------------------------------------------------------------------------
struct MessageBoxInfo {
  HWND window = nullptr;
  std::wstring title;
  std::wstring text;   // the 0xFFFF static
  bool hasIcon = false;  // an icon static (id 0x14) is shown
  std::vector<std::wstring> buttons;
};
MessageBoxInfo ReadMessageBox(HWND box);
// The platform's description of a Win32 error or HRESULT (FormatMessage), line end removed;
// empty where the system has none (Wine lacks many COM texts).
std::wstring SystemDescription(DWORD code);
// Presses a button of a message box (IDOK, IDCANCEL, ...).
void PressDialogButton(HWND box, int buttonId);

// ---- Registry -----------------------------------------------------------------------------
// Values of one key, kept to be put back exactly (type and bytes).
struct RegValue {
  std::wstring name;
  DWORD type = 0;
  std::vector<BYTE> data;
};
struct KeySnapshot {
  HKEY root = nullptr;
  std::wstring path;
  bool existed = false;
  std::vector<RegValue> values;
};
// Every access uses the 64-bit view, where the client and the component keep their settings.
KeySnapshot SnapshotKey(HKEY root, const std::wstring& path);
// Puts the key back as it was: values restored, or the key removed when it did not exist.
// Subkeys that did not exist are not touched (the client key lies below the settings key).
void RestoreKey(const KeySnapshot& snapshot);
bool KeyExists(HKEY root, const std::wstring& path);
void DeleteKeyValues(HKEY root, const std::wstring& path);
void DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name);
std::optional<DWORD> ReadDword(HKEY root, const std::wstring& path, const std::wstring& name);
// A REG_SZ read as the stored ANSI bytes (system code page) turned into UTF-16.
std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const std::wstring& name);
void WriteDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value);
void WriteString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value);

// Restores a key snapshot when it goes out of scope, on every path.
class ScopedKeyRestore {
 public:
  ScopedKeyRestore(HKEY root, const std::wstring& path) : snapshot_(SnapshotKey(root, path)) {}
  ScopedKeyRestore(const ScopedKeyRestore&) = delete;
  ScopedKeyRestore& operator=(const ScopedKeyRestore&) = delete;
  ~ScopedKeyRestore() { RestoreKey(snapshot_); }

 private:
  KeySnapshot snapshot_;
};

// ---- Files ----------------------------------------------------------------------------------
std::optional<std::string> ReadFileBytes(const std::wstring& path);
std::wstring TempFolder();  // a fresh folder of its own under the Wine temp folder

// ---- UDP receiver on 127.0.0.1 --------------------------------------------------------------
// A Winsock receiver bound to 127.0.0.1 on an ephemeral port; closed when it goes.
class UdpReceiver {
 public:
  UdpReceiver();
  UdpReceiver(const UdpReceiver&) = delete;
  UdpReceiver& operator=(const UdpReceiver&) = delete;
  ~UdpReceiver();
  bool Ok() const { return socket_ != ~static_cast<uintptr_t>(0); }
  uint16_t Port() const { return port_; }
  // One datagram, or nullopt after `timeout`.
  std::optional<std::string> Receive(Duration timeout = kDefaultWait);

 private:
  uintptr_t socket_ = ~static_cast<uintptr_t>(0);
  uint16_t port_ = 0;
  bool started_ = false;
};

}  // namespace guidriver
