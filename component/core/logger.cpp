#include "logger.h"

#include <exception>

#include "event_writer.h"
#include "settings.h"
#include "stored_defaults.h"
#include "syslog_sender.h"

namespace pendrake {

Logger::Logger(Platform& platform) noexcept
    : platform_(platform),
      syslogPort_(kDefaultSyslogPort),
      syslogPriority_(kDefaultSyslogPriority),
      syslogFacility_(kDefaultSyslogFacility),
      eventLogSource_(TextFromArgument(kDefaultEventLogSource)),
      eventLogType_(kDefaultEventLogType),
      eventLogId_(kDefaultEventLogId) {
  try {
    ApplyStoredDefaults(platform_.registry, platform_.codePage, *this);
  } catch (const std::exception&) {
    // Out of memory while reading: the values applied so far stay, creation still succeeds.
  }
}

void Logger::SetSyslogServer(const char16_t* textOrNull) noexcept { syslogServer_ = TextFromArgument(textOrNull); }
void Logger::SetEventLogSource(const char16_t* textOrNull) noexcept { eventLogSource_ = TextFromArgument(textOrNull); }
void Logger::SetEventLogComputer(const char16_t* textOrNull) noexcept { eventLogComputer_ = TextFromArgument(textOrNull); }
void Logger::SetMessageToLog(const char16_t* textOrNull) noexcept { messageToLog_ = TextFromArgument(textOrNull); }

void Logger::SetSyslogPriority(std::int32_t value) noexcept {
  if (IsSyslogPriority(value)) syslogPriority_ = value;
}
void Logger::SetSyslogFacility(std::int32_t value) noexcept {
  if (IsSyslogFacility(value)) syslogFacility_ = value;
}
void Logger::SetSyslogPort(std::int32_t value) noexcept { syslogPort_ = value; }
void Logger::SetEventLogID(std::int32_t value) noexcept { eventLogId_ = value; }
void Logger::SetEventLogType(std::int32_t value) noexcept { eventLogType_ = value; }

// Out of memory part-way: what was acquired is released by its owner while unwinding, and
// the message is lost as any other failed send or report is, without a word to the caller.
void Logger::LogToSyslog(const char16_t* messageOrNull) noexcept {
  try {
    SendSyslogMessage(platform_, {syslogServer_, syslogPort_, syslogFacility_, syslogPriority_}, messageOrNull);
  } catch (const std::exception&) {
  }
}

void Logger::LogToEventLog(const char16_t* messageOrNull) noexcept {
  try {
    WriteEventLogEntry(platform_, {eventLogSource_, eventLogComputer_, eventLogType_, eventLogId_}, messageOrNull);
  } catch (const std::exception&) {
  }
}

}  // namespace pendrake
