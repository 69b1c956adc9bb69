// File system redirection as 64-bit Windows applies it to 32-bit processes, for reading a path
// that the other bitness wrote.
#pragma once

#include <string>
#include <string_view>

namespace pendrake::registration {

// The machine's system folders as a 64-bit process names them, without a final separator.
struct SystemFolders {
  std::u16string_view system32;   // %windir%\System32
  std::u16string_view sysWow64;   // %windir%\SysWOW64
  std::u16string_view sysnative;  // %windir%\Sysnative, which only 32-bit processes see
};

// The file that a 32-bit process reaches by `path`, as a 64-bit process names it: System32 and
// what is below it is SysWOW64, apart from the subfolders both bitnesses share (catroot,
// catroot2, driverstore, drivers\etc, logfiles, spool); Sysnative is System32. Names compare
// without regard to case; every other path is the same for both.
std::u16string RedirectedFor32BitProcess(std::u16string_view path, const SystemFolders& folders);

}  // namespace pendrake::registration
