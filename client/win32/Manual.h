// Help > Manual: the manual in the Windows folder's own explorer.
#pragma once

#include <string>

namespace pendrake::client {

// Starts GetWindowsDirectoryW()\explorer.exe by its full path, maximised, with manual.htm:
// the one in the working folder, else the one beside the program. A program of that name in
// the search path (the program's folder, the working folder) is never the one started. The
// result is not checked.
void OpenManual();

// The manual argument: "manual.htm" when the working folder holds it, else the quoted full
// path of the one beside the program (`programFolder`), when that exists; else "manual.htm".
std::wstring ManualArgument(const std::wstring& programFolder);

}  // namespace pendrake::client
