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

std::wstring WindowsFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  const UINT length = GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (length == 0 || length >= folder.size()) return {};
  folder.resize(length);
  return folder;
}

}  // namespace

std::wstring ManualArgument(const std::wstring& programFolder) {
  if (IsFile(kManual)) return kManual;
  const std::wstring beside = programFolder + L"\\" + kManual;
  if (!programFolder.empty() && IsFile(beside)) return L"\"" + beside + L"\"";
  return kManual;
}

void OpenManual() {
  const std::wstring windows = WindowsFolder();
  if (windows.empty()) return;
  const std::wstring explorer = windows + L"\\explorer.exe";
  std::wstring commandLine = L"\"" + explorer + L"\" " + ManualArgument(ProgramFolder());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWMAXIMIZED;
  PROCESS_INFORMATION pi{};
  if (CreateProcessW(explorer.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    const owners::UniqueHandle thread(pi.hThread), process(pi.hProcess);
  }
}

}  // namespace pendrake::client
