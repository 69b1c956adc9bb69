#include "logger.h"

#include "event_writer.h"
#include "settings.h"
#include "stored_defaults.h"
#include "syslog_sender.h"

namespace pendrake {

Logger::Logger(Platform& platform)
    : platform_(platform),
      syslogPort_(kDefaultSyslogPort),
      syslogPriority_(kDefaultSyslogPriority),
      syslogFacility_(kDefaultSyslogFacility),
      eventLogSource_(kDefaultEventLogSource),
      eventLogType_(kDefaultEventLogType),
      eventLogId_(kDefaultEventLogId) {
  ApplyStoredDefaults(platform_.registry, platform_.codePage, *this);
}

void Logger::SetSyslogServer(const char16_t* textOrNull) { syslogServer_ = TextFromArgument(textOrNull); }
void Logger::SetEventLogSource(const char16_t* textOrNull) { eventLogSource_ = TextFromArgument(textOrNull); }
void Logger::SetEventLogComputer(const char16_t* textOrNull) { eventLogComputer_ = TextFromArgument(textOrNull); }
void Logger::SetMessageToLog(const char16_t* textOrNull) { messageToLog_ = TextFromArgument(textOrNull); }

void Logger::SetSyslogPriority(std::int32_t value) {
  if (IsSyslogPriority(value)) syslogPriority_ = value;
}
void Logger::SetSyslogFacility(std::int32_t value) {
  if (IsSyslogFacility(value)) syslogFacility_ = value;
}
void Logger::SetSyslogPort(std::int32_t value) { syslogPort_ = value; }
void Logger::SetEventLogID(std::int32_t value) { eventLogId_ = value; }
void Logger::SetEventLogType(std::int32_t value) { eventLogType_ = value; }

void Logger::LogToSyslog(const char16_t* messageOrNull) {
  SendSyslogMessage(platform_, {syslogServer_, syslogPort_, syslogFacility_, syslogPriority_}, messageOrNull);
}

void Logger::LogToEventLog(const char16_t* messageOrNull) {
  WriteEventLogEntry(platform_, {eventLogSource_, eventLogComputer_, eventLogType_, eventLogId_}, messageOrNull);
}

}  // namespace pendrake
