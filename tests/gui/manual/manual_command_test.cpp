// Help > Manual: the client starts "explorer manual.htm" maximised, the manual taken from the
// working directory (not from the program's folder, not from where a script was last saved).
#include <gtest/gtest.h>

#include <sstream>

#include "../driver/GuiDriver.h"
#include "ControlIds.h"

using namespace guidriver;

namespace {

const wchar_t kClientKey[] = L"SOFTWARE\\Orvelle\\Pendrake\\Client";
const wchar_t kSettingsKey[] = L"SOFTWARE\\Orvelle\\Pendrake";

std::vector<std::wstring> Lines(const std::string& utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
  if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);
  std::vector<std::wstring> lines;
  std::wistringstream stream(text);
  for (std::wstring line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void WriteSmallFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

bool SameFolder(std::wstring a, std::wstring b) {
  while (!a.empty() && a.back() == L'\\') a.pop_back();
  while (!b.empty() && b.back() == L'\\') b.pop_back();
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

TEST(HelpManual, StartsExplorerWithManualFromTheWorkingDirectoryMaximised) {
  ScopedKeyRestore settings(HKEY_LOCAL_MACHINE, kSettingsKey);
  ScopedKeyRestore client(HKEY_CURRENT_USER, kClientKey);
  WriteString(HKEY_CURRENT_USER, kClientKey, L"szLanguage", L"EN");

  // The program and the stub in one folder, the manual in another that is the working directory.
  const std::wstring programFolder = TempFolder();
  const std::wstring workingFolder = TempFolder();
  const std::wstring clientCopy = programFolder + L"\\PendrakeClient.exe";
  ASSERT_TRUE(CopyFileW(WinePath(Env(L"PENDRAKE_CLIENT_EXE")).c_str(), clientCopy.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(WinePath(Env(L"PENDRAKE_EXPLORER_STUB")).c_str(),
                        (programFolder + L"\\explorer.exe").c_str(), FALSE));
  WriteSmallFile(workingFolder + L"\\manual.htm", "<html><body>manual</body></html>\n");

  Process app = Process::Start(clientCopy, L"", workingFolder);
  ASSERT_TRUE(app.Started());
  const HWND main = WaitForTopWindow(app.Id(), L"PendrakeClientMain");
  ASSERT_NE(nullptr, main) << "the main window did not appear";

  PostCommand(main, IDM_HELP_MANUAL);
  const std::wstring record = programFolder + L"\\explorer-call.txt";
  ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(record).has_value(); }))
      << "Help > Manual started no explorer";
  WaitUntil([&] { return Lines(*ReadFileBytes(record)).size() >= 3; });
  const std::vector<std::wstring> lines = Lines(*ReadFileBytes(record));
  ASSERT_EQ(3u, lines.size());

  const std::wstring& commandLine = lines[0];
  EXPECT_NE(std::wstring::npos, commandLine.find(L"explorer")) << "command line: " << std::string(commandLine.begin(), commandLine.end());
  EXPECT_EQ(L"manual.htm", commandLine.substr(commandLine.size() - 10))
      << "command line: " << std::string(commandLine.begin(), commandLine.end());
  EXPECT_TRUE(SameFolder(workingFolder, lines[1]))
      << "explorer's working directory: " << std::string(lines[1].begin(), lines[1].end());
  EXPECT_EQ(std::to_wstring(SW_SHOWMAXIMIZED), lines[2]) << "show command";
  EXPECT_TRUE(app.Running()) << "the client keeps running after opening the manual";
}
