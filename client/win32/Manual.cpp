#include "Manual.h"

#include <windows.h>

#include "Global.h"
#include "pendrake/owners.h"

namespace pendrake::client {

namespace {

constexpr wchar_t kManual[] = L"manual.htm";

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Explorer's prefix in front of the error box's code and description. The message boxes
// outside the catalogue keep fixed texts.
constexpr wchar_t kManualErrorPrefix[] = L"Error opening the manual: ";

// The system's Windows folder: on a terminal server GetWindowsDirectoryW gives a private folder
// of the user's, without explorer.exe in it.
std::wstring WindowsFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  const UINT length = GetSystemWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (length == 0 || length >= folder.size()) return {};
  folder.resize(length);
  return folder;
}

}  // namespace

std::wstring ManualArgument(const std::wstring& programFolder) {
  // By its full path: an elevated program's explorer hands the file to the shell that runs
  // already, and that one has a working folder of its own.
  if (IsFile(kManual)) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(kManual, static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
      full.resize(length);
      length = GetFullPathNameW(kManual, static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length > 0 && length < full.size()) return L"\"" + full.substr(0, length) + L"\"";
  }
  const std::wstring beside = programFolder + L"\\" + kManual;
  if (!programFolder.empty() && IsFile(beside)) return L"\"" + beside + L"\"";
  return kManual;
}

void OpenManual(HWND owner) {
  const std::wstring windows = WindowsFolder();
  const std::wstring explorer = windows + L"\\explorer.exe";
  std::wstring commandLine = L"\"" + explorer + L"\" " + ManualArgument(ProgramFolder());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWMAXIMIZED;
  PROCESS_INFORMATION pi{};
  if (!windows.empty() &&
      CreateProcessW(explorer.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    const owners::UniqueHandle thread(pi.hThread), process(pi.hProcess);
    return;
  }
  // Otherwise the menu item would seem to do nothing at all.
  const DWORD last = GetLastError();
  const DWORD error = last != ERROR_SUCCESS ? last : ERROR_PATH_NOT_FOUND;
  MessageBoxW(owner, ErrorMessageText(kManualErrorPrefix, static_cast<int32_t>(error)).c_str(), kProgramTitle, MB_OK);
}

}  // namespace pendrake::client
