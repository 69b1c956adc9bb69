#include "event_writer.h"

#include "debug_lines.h"
#include "text_conversion.h"

namespace pendrake {

void WriteEventLogEntry(Platform& platform, const EventLogSettings& settings,
                        const char16_t* messageOrNull) {
  NarrowText message, source, computer;
  // A message too long for the report is cut rather than lost with the whole entry.
  const bool cut = ArgumentToNarrow(platform.codePage, messageOrNull, kMaxInsertionStringLength, message);
  const bool hasSource = ToNarrow(platform.codePage, settings.source, source);
  const bool hasComputer = ToNarrow(platform.codePage, settings.computer, computer);

  // The empty computer name means the local computer, as the absent one does.
  const char* computerName = hasComputer && !computer.empty() ? computer.c_str() : nullptr;
  EventSource eventSource = platform.eventLog.RegisterSource(computerName, hasSource ? source.c_str() : nullptr);
  if (!eventSource) return;
  if (cut) platform.debugOutput.Write(kEventMessageCutLine);

  const char* const strings[] = {message.c_str(), ""};
  const auto type = static_cast<std::uint16_t>(static_cast<std::uint32_t>(settings.type) & 0xFFFFu);
  const auto id = static_cast<std::uint32_t>(settings.id);
  (void)eventSource.Report(type, 0, id, strings);
}  // source deregistered here

}  // namespace pendrake
