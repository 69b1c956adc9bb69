// The component's only diagnostics: lines on the debugger output, each ending in CR LF.
#pragma once

namespace pendrake {

inline constexpr char kInvalidSocketLine[] = "INVALID_SOCKET\r\n";
inline constexpr char kBindFailedLine[] = "Error binding socket!\r\n";
inline constexpr char kNoSyslogServerLine[] = "No SyslogServer set, message not sent!\r\n";
inline constexpr char kEventMessageCutLine[] = "Event log message cut to 31839 characters!\r\n";

}  // namespace pendrake
