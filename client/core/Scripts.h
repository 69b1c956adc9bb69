// The text of the two VBScript files the test tab generates.
#pragma once

#include <cstdint>
#include <string>

namespace pendrake::client {

struct SyslogScriptValues {
  std::u16string server;     // txtTestSyslogServer
  std::u16string portText;   // txtTestSyslogPort, as it stands
  int32_t facility = 0;      // position selected in cbTestFacility
  int32_t priority = 0;      // position selected in cbTestPriority
  std::u16string message;    // txtTestSyslogMSG
};

struct EventLogScriptValues {
  std::u16string computer;     // txtTestEventLogComputer
  std::u16string source;       // txtTestEventLogSource
  std::u16string eventIdText;  // txtTestEventLogID, as it stands
  int32_t eventType = 0;       // item data of the entry selected in cbTestEventLogType
  std::u16string message;      // txtTestEventLogMSG
};

// The complete file contents: nine CR LF terminated lines plus the further CR LF that leaves
// an empty last line, so the file ends with 13 10 13 10. Every value, numbers included, goes
// in as a quoted VBScript string (VbStringExpression), so no value can break the script. The
// caller converts the text to the system ANSI code page when writing the file.
std::u16string SyslogScriptFileText(const SyslogScriptValues& values);
std::u16string EventLogScriptFileText(const EventLogScriptValues& values);

// A value as a VBScript string expression: between double quotes, each " doubled; a CR or LF
// (which a one-line literal cannot hold) joined in as " & vbCr & " / " & vbLf & ". A value
// without those characters gives exactly "value".
std::u16string VbStringExpression(const std::u16string& value);

// The fixed prefix of the event log script's error message, in every language.
inline constexpr char16_t kEventScriptErrorPrefix[] = u"Error during Script generation: ";

}  // namespace pendrake::client
