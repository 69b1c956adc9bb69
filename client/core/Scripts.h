// The text of the scripts the test tab generates, in VBScript or PowerShell.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

enum class ScriptLanguage { VbScript, PowerShell };

// The complete file contents: nine CR LF terminated lines plus the further CR LF that leaves
// an empty last line, so the file ends with 13 10 13 10. Every value, numbers included, goes
// in as a quoted string of the language (VbStringExpression, PsStringLiteral), so no value can
// break the script. The caller converts VBScript to the system ANSI code page when writing the
// file, PowerShell with Utf8FileBytes.
std::u16string SyslogScriptFileText(const SyslogScriptValues& values,
                                    ScriptLanguage language = ScriptLanguage::VbScript);
std::u16string EventLogScriptFileText(const EventLogScriptValues& values,
                                      ScriptLanguage language = ScriptLanguage::VbScript);

// A value as a VBScript string expression: between double quotes, each " doubled; a CR or LF
// (which a one-line literal cannot hold) joined in as " & vbCr & " / " & vbLf & ". A value
// without those characters gives exactly "value".
std::u16string VbStringExpression(const std::u16string& value);

// A value as a PowerShell single-quoted (verbatim) string: nothing inside is expanded, and each
// of the five characters PowerShell ends such a string at (' and U+2018 to U+201B) is doubled,
// which PowerShell reads back as that one character. Nothing else changes: a line break stays
// inside the literal, which may span lines.
std::u16string PsStringLiteral(const std::u16string& value);

// The file dialog's filter entry that offers PowerShell files (counted from 1).
inline constexpr uint32_t kPowerShellFilterIndex = 2;

// The language of a script saved as `fileName` with filter entry `filterIndex` chosen: the
// name's own extension .ps1 or .vbs (any case) decides, since that is how Windows will run the
// file; a name with neither takes the language of the chosen filter entry.
ScriptLanguage ScriptLanguageOf(std::u16string_view fileName, uint32_t filterIndex);

// A PowerShell script file's bytes: the UTF-8 byte-order mark and the text in UTF-8. Windows
// PowerShell reads a file without the mark in the ANSI code page; with it, both it and
// PowerShell 7 read every character exactly. Half a surrogate pair becomes U+FFFD, as Windows'
// own conversion writes it.
std::string Utf8FileBytes(std::u16string_view text);

// The fixed prefix of the event log script's error message, in every language.
inline constexpr char16_t kEventScriptErrorPrefix[] = u"Error during Script generation: ";

}  // namespace pendrake::client
