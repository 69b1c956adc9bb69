// One logger object: nine settings and the two logging operations that use them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ports.h"

namespace pendrake {

// A text setting; std::nullopt is the absent text (a null BSTR), a state of its own beside "".
using Text = std::optional<std::u16string>;

class Logger {
 public:
  // Built-in defaults, then the stored defaults where they are switched on. Nothing here
  // throws: the operations sit behind a COM interface, and a logger never reports trouble.
  explicit Logger(Platform& platform) noexcept;

  // Text puts take the argument up to its first NUL; nullptr makes the text absent.
  const Text& SyslogServer() const { return syslogServer_; }
  void SetSyslogServer(const char16_t* textOrNull) noexcept;
  void LogToSyslog(const char16_t* messageOrNull) noexcept;

  std::int32_t SyslogPriority() const { return syslogPriority_; }
  void SetSyslogPriority(std::int32_t value) noexcept;  // 0..7, anything else is dropped
  std::int32_t SyslogFacility() const { return syslogFacility_; }
  void SetSyslogFacility(std::int32_t value) noexcept;  // 0..23, anything else is dropped
  std::int32_t SyslogPort() const { return syslogPort_; }
  void SetSyslogPort(std::int32_t value) noexcept;

  const Text& EventLogSource() const { return eventLogSource_; }
  void SetEventLogSource(const char16_t* textOrNull) noexcept;
  const Text& EventLogComputer() const { return eventLogComputer_; }
  void SetEventLogComputer(const char16_t* textOrNull) noexcept;
  const Text& MessageToLog() const { return messageToLog_; }
  void SetMessageToLog(const char16_t* textOrNull) noexcept;

  std::int32_t EventLogID() const { return eventLogId_; }
  void SetEventLogID(std::int32_t value) noexcept;
  std::int32_t EventLogType() const { return eventLogType_; }
  void SetEventLogType(std::int32_t value) noexcept;
  void LogToEventLog(const char16_t* messageOrNull) noexcept;

 private:
  Platform& platform_;
  Text syslogServer_;
  std::int32_t syslogPort_;
  std::int32_t syslogPriority_;
  std::int32_t syslogFacility_;
  Text eventLogSource_;
  std::int32_t eventLogType_;
  std::int32_t eventLogId_;
  Text eventLogComputer_;
  Text messageToLog_;
};

}  // namespace pendrake
