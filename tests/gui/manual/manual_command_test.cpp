// Help > Manual: the client starts the Windows folder's explorer.exe maximised, with the manual
// of the working folder, else the one beside the program.
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

// The Windows folder's explorer.exe replaced by the stub for the test's length, and put back on
// every path; the stub writes its record beside itself there.
class ExplorerInWindowsFolder {
 public:
  explicit ExplorerInWindowsFolder(const std::wstring& stub) {
    wchar_t folder[MAX_PATH] = {};
    GetSystemWindowsDirectoryW(folder, MAX_PATH);
    folder_ = folder;
    saved_ = folder_ + L"\\explorer.exe.pendrake-test";
    ok_ = MoveFileExW(Path().c_str(), saved_.c_str(), MOVEFILE_REPLACE_EXISTING) &&
          CopyFileW(stub.c_str(), Path().c_str(), FALSE);
  }
  ExplorerInWindowsFolder(const ExplorerInWindowsFolder&) = delete;
  ExplorerInWindowsFolder& operator=(const ExplorerInWindowsFolder&) = delete;
  ~ExplorerInWindowsFolder() {
    DeleteFileW(Record().c_str());
    MoveFileExW(saved_.c_str(), Path().c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  bool Ok() const { return ok_; }
  std::wstring Path() const { return folder_ + L"\\explorer.exe"; }
  std::wstring Record() const { return folder_ + L"\\explorer-call.txt"; }

 private:
  std::wstring folder_, saved_;
  bool ok_ = false;
};

// Help > Manual starts the Windows folder's explorer by its full path, never a program of that
// name beside the client; manual.htm comes from the working folder, else from beside the
// program; the window is maximised.
TEST(HelpManual, StartsTheWindowsExplorerWithTheManualMaximised) {
  ScopedKeyRestore settings(HKEY_LOCAL_MACHINE, kSettingsKey);
  ScopedKeyRestore client(HKEY_CURRENT_USER, kClientKey);
  WriteString(HKEY_CURRENT_USER, kClientKey, L"szLanguage", L"EN");
  const std::wstring stub = WinePath(Env(L"PENDRAKE_EXPLORER_STUB"));
  ExplorerInWindowsFolder explorer(stub);
  ASSERT_TRUE(explorer.Ok()) << "could not put the stub in the Windows folder";

  for (const bool inWorkingFolder : {true, false}) {
    SCOPED_TRACE(inWorkingFolder ? "manual in the working folder" : "manual beside the program");
    // The program with a decoy explorer.exe beside it, the working folder elsewhere.
    const std::wstring programFolder = TempFolder();
    const std::wstring workingFolder = TempFolder();
    const std::wstring clientCopy = programFolder + L"\\PendrakeClient.exe";
    ASSERT_TRUE(CopyFileW(WinePath(Env(L"PENDRAKE_CLIENT_EXE")).c_str(), clientCopy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(stub.c_str(), (programFolder + L"\\explorer.exe").c_str(), FALSE));
    const std::wstring manual = (inWorkingFolder ? workingFolder : programFolder) + L"\\manual.htm";
    WriteSmallFile(manual, "<html><body>manual</body></html>\n");
    DeleteFileW(explorer.Record().c_str());

    Process app = Process::Start(clientCopy, L"", workingFolder);
    ASSERT_TRUE(app.Started());
    const HWND main = WaitForTopWindow(app.Id(), L"PendrakeClientMain");
    ASSERT_NE(nullptr, main) << "the main window did not appear";
    PostCommand(main, IDM_HELP_MANUAL);
    ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(explorer.Record()).has_value(); }))
        << "Help > Manual did not start the Windows folder's explorer";
    WaitUntil([&] { return Lines(*ReadFileBytes(explorer.Record())).size() >= 3; });
    const std::vector<std::wstring> lines = Lines(*ReadFileBytes(explorer.Record()));
    ASSERT_EQ(3u, lines.size());
    EXPECT_FALSE(ReadFileBytes(programFolder + L"\\explorer-call.txt").has_value())
        << "the explorer.exe beside the program was started";

    // The full path either way: an elevated client's explorer hands it to the running shell.
    const std::wstring expected = L"\"" + explorer.Path() + L"\" \"" + manual + L"\"";
    EXPECT_TRUE(CompareStringOrdinal(expected.c_str(), -1, lines[0].c_str(), -1, TRUE) == CSTR_EQUAL)
        << "command line: " << std::string(lines[0].begin(), lines[0].end());
    EXPECT_TRUE(SameFolder(workingFolder, lines[1]))
        << "explorer's working directory: " << std::string(lines[1].begin(), lines[1].end());
    EXPECT_EQ(std::to_wstring(SW_SHOWMAXIMIZED), lines[2]) << "show command";
    EXPECT_TRUE(app.Running()) << "the client keeps running after opening the manual";
    app.Terminate();
  }

  // Without an explorer to start, the user is told so instead of nothing happening.
  // The last stub may still be ending, and a running program cannot be deleted.
  ASSERT_TRUE(WaitUntil([&] { return DeleteFileW(explorer.Path().c_str()) != FALSE; }));
  Process app = Process::Start(WinePath(Env(L"PENDRAKE_CLIENT_EXE")));
  const HWND main = WaitForTopWindow(app.Id(), L"PendrakeClientMain");
  ASSERT_NE(nullptr, main);
  PostCommand(main, IDM_HELP_MANUAL);
  const HWND box = WaitForDialog(app.Id(), main);
  ASSERT_NE(nullptr, box) << "a failed start of explorer was not reported";
  EXPECT_EQ(0u, ReadMessageBox(box).text.find(L"Error opening the manual: 2\r\n")) << "the error box rule";
  app.Terminate();
}
