// The script generator's file dialog (CDMain).
#pragma once

#include <windows.h>

#include <string>

namespace pendrake::client {

// Asks for the script file, starting from `remembered` (the name chosen last, which a chosen
// name replaces). `filterIndex` tells the filter entry chosen, counted from 1 (VBS first,
// PowerShell second). Returns false on a cancel, an empty name or a dialog failure; then
// `error` holds the dialog's error code (0 for a cancel).
bool AskScriptFile(HWND owner, std::wstring& remembered, std::wstring& path, DWORD& filterIndex, DWORD& error);

}  // namespace pendrake::client
