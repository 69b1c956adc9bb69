// Writes the test tab's syslog script exactly as the client does (the core's text, the client's
// ANSI file writer), for a script test to run with cscript.
//   script_writer <file> <port> <message as UTF-16 code units in hex, joined by '.'>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "Global.h"
#include "client/core/Scripts.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fwprintf(stderr, L"usage: script_writer <file> <port> <hex.hex...>\n");
    return 2;
  }
  std::u16string message;
  for (const wchar_t* p = argv[3]; *p;) {
    wchar_t* end = nullptr;
    message += static_cast<char16_t>(std::wcstoul(p, &end, 16));
    if (end == p) return 2;
    p = *end == L'.' ? end + 1 : end;
  }
  pendrake::client::SyslogScriptValues values;
  values.server = u"127.0.0.1";
  values.portText = pendrake::client::ToU16(argv[2]);
  values.facility = 16;  // local0
  values.priority = 5;   // notice: <133>
  values.message = message;
  const DWORD error = pendrake::client::WriteAnsiFile(argv[1], pendrake::client::SyslogScriptFileText(values));
  if (error != 0) std::fwprintf(stderr, L"script_writer: error %lu\n", error);
  return error == 0 ? 0 : 1;
}
