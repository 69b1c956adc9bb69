// Stands in for explorer.exe: in the Windows folder, where Help > Manual must find it, and as a
// decoy beside a copy of the client, which a start by name alone would reach first. It writes
// down how it was started (command line, working directory, show command) and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);

  const std::wstring record = std::wstring(GetCommandLineW()) + L"\n" + folder + L"\n" +
                              std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1) +
                              L"\n";
  // Written next to the stub itself, wherever the working directory is.
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring out(self);
  out = out.substr(0, out.find_last_of(L'\\')) + L"\\explorer-call.txt";
  if (FILE* file = _wfopen(out.c_str(), L"w, ccs=UTF-8")) {
    std::fputws(record.c_str(), file);
    std::fclose(file);
  }
  return 0;
}
