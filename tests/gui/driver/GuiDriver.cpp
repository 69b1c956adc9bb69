#include "GuiDriver.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace guidriver {

// ---- Paths ---------------------------------------------------------------------------------
std::wstring Env(const wchar_t* name) {
  wchar_t buffer[2048];
  const DWORD n = GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
  if (n == 0 || n >= std::size(buffer)) return L"";
  return std::wstring(buffer, n);
}

std::wstring WinePath(const std::wstring& path) {
  if (path.empty() || path[0] != L'/') return path;
  std::wstring result = L"Z:" + path;
  for (auto& c : result) {
    if (c == L'/') c = L'\\';
  }
  return result;
}

std::wstring FolderOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// ---- Processes -----------------------------------------------------------------------------
Process::Process(Process&& other) noexcept : process_(other.process_), id_(other.id_) {
  other.process_ = nullptr;
  other.id_ = 0;
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Terminate();
    process_ = other.process_;
    id_ = other.id_;
    other.process_ = nullptr;
    other.id_ = 0;
  }
  return *this;
}

Process::~Process() { Terminate(); }

Process Process::Start(const std::wstring& exe, const std::wstring& arguments,
                       const std::wstring& workingDir) {
  Process p;
  const std::wstring winExe = WinePath(exe);
  std::wstring commandLine = L"\"" + winExe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  const std::wstring folder = workingDir.empty() ? FolderOf(winExe) : WinePath(workingDir);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(winExe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &si, &pi)) {
    return p;
  }
  CloseHandle(pi.hThread);
  p.process_ = pi.hProcess;
  p.id_ = pi.dwProcessId;
  WaitForInputIdle(pi.hProcess, 10000);
  return p;
}

std::optional<DWORD> Process::WaitForExit(Duration timeout) {
  if (!process_) return std::nullopt;
  if (WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

bool Process::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Process::Terminate() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
  id_ = 0;
}

std::optional<DWORD> RunAndWait(const std::wstring& commandLine, Duration timeout) {
  std::wstring line = commandLine;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return std::nullopt;
  }
  CloseHandle(pi.hThread);
  std::optional<DWORD> result;
  if (WaitForSingleObject(pi.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    result = code;
  } else {
    TerminateProcess(pi.hProcess, 99);
  }
  CloseHandle(pi.hProcess);
  return result;
}

// ---- Real key input --------------------------------------------------------------------------
namespace {

// Wine starts a Unix program given by its path on drive Z:; it inherits DISPLAY, which
// xvfb.sh set to the test's own display. Wine gives no process handle for a Unix program to
// wait on, so a shell runs xdotool and then makes a marker file the driver waits for.
constexpr wchar_t kShell[] = L"Z:\\bin\\sh";

// The title as an anchored, escaped xdotool --name pattern in single quotes for the shell.
std::wstring TitlePattern(HWND window) {
  std::wstring pattern = L"'^";
  for (wchar_t c : GetText(window)) {
    if (c == L'\'') return L"''";  // no title of these tests holds one
    if (std::wcschr(L".[]()*+?{}|^$\\", c)) pattern += L'\\';
    pattern += c;
  }
  return pattern + L"$'";
}

bool RunXdotool(const std::wstring& arguments) {
  static int runs = 0;
  const std::wstring marker = L"/tmp/pendrake-xdotool-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++runs);
  std::wstring marker_windows = L"Z:" + marker;
  for (wchar_t& c : marker_windows) c = c == L'/' ? L'\\' : c;
  std::wstring command = std::wstring(kShell) + L" -c \"xdotool " + arguments + L"; echo $? > " + marker + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::fprintf(stderr, "xdotool: could not start (error %lu): %ls\n", GetLastError(), command.c_str());
    return false;
  }
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  std::optional<std::string> status;
  WaitUntil([&] { return (status = ReadFileBytes(marker_windows)).has_value() && !status->empty(); }, 20s);
  DeleteFileW(marker_windows.c_str());
  const bool ok = status && status->rfind("0", 0) == 0;
  if (!ok) std::fprintf(stderr, "xdotool failed (%s): %ls\n", status ? status->c_str() : "no end", command.c_str());
  Settle();
  return ok;
}

}  // namespace

bool FocusWindow(HWND window) {
  return RunXdotool(L"search --sync --limit 1 --name " + TitlePattern(window) + L" windowfocus --sync");
}

bool PressKeys(HWND window, const std::wstring& keys) {
  // The X focus first; then the window is made Wine's active one as well, since without a window
  // manager a focus change of an unmanaged window does not always reach Wine's activation, and
  // keys reach only the active window's thread.
  if (!FocusWindow(window)) return false;
  if (GetForegroundWindow() != GetAncestor(window, GA_ROOT)) {
    SetForegroundWindow(window);
    WaitUntil([&] { return GetForegroundWindow() == GetAncestor(window, GA_ROOT); }, 2s);
  }
  return RunXdotool(L"key --clearmodifiers --delay 80 " + keys);
}

namespace {
LRESULT CALLBACK ThiefProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcW(window, message, w, l);
}
}  // namespace

FocusThief::FocusThief(const std::wstring& title) {
  static const ATOM cls = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ThiefProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PendrakeTestFocusThief";
    return RegisterClassW(&wc);
  }();
  if (!cls) return;
  window_ = CreateWindowExW(0, L"PendrakeTestFocusThief", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500,
                            300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  Settle();
}

FocusThief::~FocusThief() {
  if (window_) DestroyWindow(window_);
}

// ---- Waiting -------------------------------------------------------------------------------
namespace {
void PumpOwnMessages() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}
}  // namespace

bool WaitUntil(const std::function<bool()>& condition, Duration timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    PumpOwnMessages();
    Sleep(30);
  }
}

void Settle(Duration pause) {
  PumpOwnMessages();
  Sleep(static_cast<DWORD>(pause.count()));
}

bool ReachMessageLoop(HWND window, Duration timeout) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout.count()), &ignored) != 0;
}

// ---- Finding windows -----------------------------------------------------------------------
namespace {
std::wstring ClassOf(HWND w) {
  wchar_t name[256] = {};
  GetClassNameW(w, name, 256);
  return name;
}

struct TopSearch {
  DWORD processId;
  const std::wstring* className;
  const std::optional<std::wstring>* title;
  HWND owner;
  bool requireVisible;
  HWND found;
};

BOOL CALLBACK FindTopProc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<TopSearch*>(lp);
  if (s->requireVisible && !IsWindowVisible(w)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (s->processId != 0 && pid != s->processId) return TRUE;
  if (ClassOf(w) != *s->className) return TRUE;
  if (s->title->has_value() && GetText(w) != **s->title) return TRUE;
  if (s->owner && GetWindow(w, GW_OWNER) != s->owner) return TRUE;
  s->found = w;
  return FALSE;
}
}  // namespace

HWND FindTopWindow(DWORD processId, const std::wstring& className,
                   const std::optional<std::wstring>& title) {
  TopSearch s{processId, &className, &title, nullptr, true, nullptr};
  EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND WaitForTopWindow(DWORD processId, const std::wstring& className,
                      const std::optional<std::wstring>& title, Duration timeout) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopWindow(processId, className, title)) != nullptr; },
            timeout);
  return found;
}

bool WaitForWindowGone(DWORD processId, const std::wstring& className, Duration timeout) {
  return WaitUntil([&] { return FindTopWindow(processId, className) == nullptr; }, timeout);
}

HWND FindDialog(DWORD processId, HWND owner, bool hiddenToo) {
  const std::wstring cls = L"#32770";
  const std::optional<std::wstring> anyTitle;
  TopSearch s{processId, &cls, &anyTitle, owner, !hiddenToo, nullptr};
  EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND WaitForDialog(DWORD processId, HWND owner, Duration timeout) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindDialog(processId, owner)) != nullptr; }, timeout);
  return found;
}

namespace {
struct ChildSearch {
  int id;
  const std::wstring* className;
  HWND found;
};
BOOL CALLBACK FindChildProc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  if (s->className ? ClassOf(w) == *s->className : GetDlgCtrlID(w) == s->id) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindControl(HWND parent, int id) {
  if (HWND direct = GetDlgItem(parent, id)) return direct;
  ChildSearch s{id, nullptr, nullptr};
  EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindChildByClass(HWND parent, const std::wstring& className) {
  ChildSearch s{0, &className, nullptr};
  EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// ---- Controls ------------------------------------------------------------------------------
std::wstring GetText(HWND window) {
  const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

void SetText(HWND window, const std::wstring& text) {
  SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool TypeChars(HWND window, const std::wstring& text) {
  for (wchar_t c : text) {
    DWORD_PTR ignored = 0;
    const auto wait = static_cast<UINT>(std::chrono::milliseconds(kDefaultWait).count());
    if (!SendMessageTimeoutW(window, WM_CHAR, c, 1, SMTO_NORMAL, wait, &ignored)) return false;
  }
  return true;
}

void Paste(HWND window, const std::wstring& text) {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
      memcpy(GlobalLock(mem), text.c_str(), bytes);
      GlobalUnlock(mem);
      if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
    }
    CloseClipboard();
  }
  SendMessageW(window, EM_SETSEL, 0, -1);
  SendMessageW(window, WM_PASTE, 0, 0);
}

bool IsEnabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void PostClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

void PostCommand(HWND window, int id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

int ComboCount(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)); }

std::wstring ComboItemText(HWND combo, int index) {
  const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length < 0) return L"";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

LPARAM ComboItemData(HWND combo, int index) { return SendMessageW(combo, CB_GETITEMDATA, index, 0); }

int ComboSelection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

std::wstring ComboSelectedText(HWND combo) {
  const int sel = ComboSelection(combo);
  return sel < 0 ? std::wstring() : ComboItemText(combo, sel);
}

void ComboSelect(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

void SelectTab(HWND tab, int index) {
  SendMessageW(tab, TCM_SETCURFOCUS, index, 0);
  Settle();
}

int SelectedTab(HWND tab) { return static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0)); }

std::optional<LOGFONTW> ControlFont(HWND window) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  if (!font) return std::nullopt;
  LOGFONTW lf{};
  if (GetObjectW(font, sizeof lf, &lf) != sizeof lf) return std::nullopt;
  return lf;
}

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

RECT ClientRectOnScreen(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ResizeWindow(HWND window, int width, int height) {
  SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Settle();
}

// ---- Message boxes -------------------------------------------------------------------------
namespace {
BOOL CALLBACK CollectBoxChild(HWND w, LPARAM lp) {
  auto* info = reinterpret_cast<MessageBoxInfo*>(lp);
  const int id = GetDlgCtrlID(w);
  const std::wstring cls = ClassOf(w);
  if (id == 0xFFFF) {
    info->text = GetText(w);
  } else if (_wcsicmp(cls.c_str(), L"Static") == 0 && IsWindowVisible(w) &&
             (GetWindowLongW(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    info->hasIcon = info->hasIcon || SendMessageW(w, STM_GETICON, 0, 0) != 0;
  } else if (_wcsicmp(cls.c_str(), L"Button") == 0 && IsWindowVisible(w)) {
    info->buttons.push_back(GetText(w));
  }
  return TRUE;
}
}  // namespace

MessageBoxInfo ReadMessageBox(HWND box) {
  MessageBoxInfo info;
  info.window = box;
  info.title = GetText(box);
  EnumChildWindows(box, CollectBoxChild, reinterpret_cast<LPARAM>(&info));
  return info;
}

std::wstring SystemDescription(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
  return text;
}

void PressDialogButton(HWND box, int buttonId) {
  HWND button = GetDlgItem(box, buttonId);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  Settle();
}

// ---- Registry ------------------------------------------------------------------------------
namespace {
constexpr REGSAM kView = KEY_WOW64_64KEY;

HKEY OpenKey(HKEY root, const std::wstring& path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, access | kView, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

HKEY CreateKey(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::wstring FromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n);
  return out;
}
}  // namespace

KeySnapshot SnapshotKey(HKEY root, const std::wstring& path) {
  KeySnapshot snap;
  snap.root = root;
  snap.path = path;
  HKEY key = OpenKey(root, path, KEY_READ);
  if (!key) return snap;
  snap.existed = true;
  for (DWORD i = 0;; ++i) {
    wchar_t name[512];
    DWORD nameLength = 512;
    DWORD type = 0;
    DWORD size = 0;
    if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    RegValue value{std::wstring(name, nameLength), type, std::vector<BYTE>(size)};
    DWORD readSize = size;
    RegQueryValueExW(key, value.name.c_str(), nullptr, &value.type, value.data.data(), &readSize);
    value.data.resize(readSize);
    snap.values.push_back(std::move(value));
  }
  RegCloseKey(key);
  return snap;
}

void DeleteKeyValues(HKEY root, const std::wstring& path) {
  HKEY key = OpenKey(root, path, KEY_ALL_ACCESS);
  if (!key) return;
  for (;;) {
    wchar_t name[512];
    DWORD nameLength = 512;
    if (RegEnumValueW(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (RegDeleteValueW(key, name) != ERROR_SUCCESS) break;
  }
  RegCloseKey(key);
}

void RestoreKey(const KeySnapshot& snapshot) {
  if (!snapshot.existed) {
    // Remove only a key without subkeys: a key that gained children is emptied instead.
    if (RegDeleteKeyExW(snapshot.root, snapshot.path.c_str(), kView, 0) != ERROR_SUCCESS) {
      DeleteKeyValues(snapshot.root, snapshot.path);
    }
    return;
  }
  DeleteKeyValues(snapshot.root, snapshot.path);
  HKEY key = CreateKey(snapshot.root, snapshot.path);
  if (!key) return;
  for (const auto& v : snapshot.values) {
    RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
  }
  RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = OpenKey(root, path, KEY_READ);
  if (!key) return false;
  RegCloseKey(key);
  return true;
}

void DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name) {
  HKEY key = OpenKey(root, path, KEY_SET_VALUE);
  if (!key) return;
  RegDeleteValueW(key, name.c_str());
  RegCloseKey(key);
}

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& path, const std::wstring& name) {
  HKEY key = OpenKey(root, path, KEY_READ);
  if (!key) return std::nullopt;
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = 0;
  const LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return value;
}

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const std::wstring& name) {
  HKEY key = OpenKey(root, path, KEY_READ);
  if (!key) return std::nullopt;
  char buffer[1024];
  DWORD size = sizeof buffer;
  DWORD type = 0;
  const std::string ansiName = ToAnsi(name);
  const LONG rc = RegQueryValueExA(key, ansiName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  std::string text(buffer, size);
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return FromAnsi(text);
}

void WriteDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value) {
  HKEY key = CreateKey(root, path);
  if (!key) return;
  RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

void WriteString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value) {
  HKEY key = CreateKey(root, path);
  if (!key) return;
  const std::string ansi = ToAnsi(value);
  const std::string ansiName = ToAnsi(name);
  RegSetValueExA(key, ansiName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi.c_str()),
                 static_cast<DWORD>(ansi.size() + 1));
  RegCloseKey(key);
}

// ---- Files ---------------------------------------------------------------------------------
std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

std::wstring TempFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  wchar_t name[MAX_PATH];
  GetTempFileNameW(base, L"pdk", 0, name);  // reserves a unique name...
  DeleteFileW(name);
  CreateDirectoryW(name, nullptr);          // ...that becomes the folder
  return name;
}

// ---- UDP receiver --------------------------------------------------------------------------
UdpReceiver::UdpReceiver() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
  started_ = true;
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    closesocket(s);
    return;
  }
  int length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  socket_ = s;
}

UdpReceiver::~UdpReceiver() {
  if (Ok()) closesocket(static_cast<SOCKET>(socket_));
  if (started_) WSACleanup();
}

std::optional<std::string> UdpReceiver::Receive(Duration timeout) {
  if (!Ok()) return std::nullopt;
  const SOCKET s = static_cast<SOCKET>(socket_);
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{0, 50000};
    if (select(0, &set, nullptr, nullptr, &tv) > 0) {
      char buffer[65536];
      const int n = recv(s, buffer, sizeof buffer, 0);
      if (n >= 0) return std::string(buffer, static_cast<size_t>(n));
      return std::nullopt;
    }
    if (std::chrono::steady_clock::now() >= end) return std::nullopt;
    PumpOwnMessages();
  }
}

}  // namespace guidriver
