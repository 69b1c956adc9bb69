// Writes a fixed series of event log entries with the real adapters; event_log_trace.py reads
// what Wine reports for each from its debug channels. The series and the script's
// expectations are kept in the same order.
#include <cstdio>
#include <string>

#include "logger.h"
#include "system_platform.h"

int main() {
  using pendrake::Logger;
  pendrake::Platform& platform = pendrake::win32::SystemPlatform();
  // Longer than ReportEventA takes: cut to fit, and still reported.
  const std::u16string tooLong = std::u16string(31839, u'l') + u"ost";
  struct Step {
    void (*arrange)(Logger&);
    const char16_t* message;
  } const steps[] = {
      {[](Logger&) {}, u"abc"},
      {[](Logger& l) { l.SetEventLogType(3); }, u"type three"},
      {[](Logger& l) { l.SetEventLogType(65540); }, u"type 65540"},
      {[](Logger& l) { l.SetEventLogID(-1); }, u"id minus one"},
      {[](Logger& l) { l.SetEventLogType(1); l.SetEventLogID(1001); }, u"error entry"},
      {[](Logger& l) { l.SetEventLogType(2); l.SetEventLogID(2002); }, u"warning entry"},
      {[](Logger& l) { l.SetEventLogComputer(u""); }, u"empty computer"},
      {[](Logger&) {}, nullptr},
      {[](Logger& l) { l.SetEventLogSource(nullptr); }, u"no source"},
      {[](Logger&) {}, tooLong.c_str()},
  };
  for (const Step& step : steps) {
    Logger logger(platform);
    step.arrange(logger);
    logger.LogToEventLog(step.message);
  }
  // The absent server's line, read from the debugstr channel.
  Logger silent(platform);
  silent.LogToSyslog(u"nowhere");
  std::fprintf(stdout, "done\n");
  return 0;
}
