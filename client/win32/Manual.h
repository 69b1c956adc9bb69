// Help > Manual: the manual in the Windows folder's own explorer.
#pragma once

#include <windows.h>

#include <string>

namespace pendrake::client {

// Starts GetSystemWindowsDirectoryW()\explorer.exe by its full path, maximised, with
// manual.htm: the one in the working folder, else the one beside the program. A program of
// that name in the search path (the program's folder, the working folder) is never the one
// started. A start that fails is shown in the error box over `owner`.
void OpenManual(HWND owner);

// The manual argument: the quoted full path of manual.htm in the working folder when it holds
// one, else of the one beside the program (`programFolder`), when that exists; else
// "manual.htm".
std::wstring ManualArgument(const std::wstring& programFolder);

}  // namespace pendrake::client
