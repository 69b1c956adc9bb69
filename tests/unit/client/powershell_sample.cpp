// Writes the PowerShell script file the client writes for a typed text, for the grammar check:
//   powershell_sample syslog|eventlog < typed text in UTF-16LE > the file's bytes
// The text goes into every text field, so each literal of the file carries it.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "client/core/Scripts.h"

int main(int argc, char** argv) {
  using namespace pendrake::client;
  if (argc != 2) return 2;
  const std::string in{std::istreambuf_iterator<char>(std::cin), {}};
  std::u16string t;
  for (size_t i = 0; i + 1 < in.size(); i += 2) {
    t.push_back(static_cast<char16_t>(static_cast<unsigned char>(in[i]) | static_cast<unsigned char>(in[i + 1]) << 8));
  }
  const std::u16string text = std::string(argv[1]) == "syslog"
                                  ? SyslogScriptFileText({t, t, 16, 6, t}, ScriptLanguage::PowerShell)
                                  : EventLogScriptFileText({t, t, t, 4, t}, ScriptLanguage::PowerShell);
  const std::string bytes = Utf8FileBytes(text);
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() ? 0 : 1;
}
