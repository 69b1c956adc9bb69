#include "ScriptFileDialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace pendrake::client {

bool AskScriptFile(HWND owner, std::wstring& remembered, std::wstring& path, DWORD& filterIndex, DWORD& error) {
  std::vector<wchar_t> buffer(32768, L'\0');
  remembered.copy(buffer.data(), std::min(remembered.size(), buffer.size() - 1));
  static constexpr wchar_t kFilter[] =
      L"VBS (*.vbs)\0*.vbs\0PowerShell (*.ps1)\0*.ps1\0All Files (*.*)\0*.*\0";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = L"Open";
  // A name that does not exist yet is welcome and an existing file is replaced without a
  // question. The working directory stays where the program started, because Help > Manual
  // looks for manual.htm there.
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  error = 0;
  if (!GetOpenFileNameW(&ofn)) {
    error = CommDlgExtendedError();
    return false;
  }
  path = buffer.data();
  filterIndex = ofn.nFilterIndex;
  remembered = path;
  return !path.empty();
}

}  // namespace pendrake::client
