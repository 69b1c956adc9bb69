#include "event_writer.h"

#include <algorithm>

#include "debug_lines.h"
#include "text_conversion.h"

namespace pendrake {

std::size_t ReportableSize(CodePage& codePage, std::string_view text) {
  // Every byte widens to one character at most, so a text this short fits whatever the system's
  // code page is: the common case asks nothing more.
  if (text.size() <= kMaxInsertionStringLength) return text.size();
  const CodePageLayout layout = codePage.Layout();
  std::size_t size = WholeCharacterPrefixSize(text, kMaxNarrowInsertionStringSize, layout);
  for (;;) {
    const std::size_t widened = codePage.SystemWidenedLength(text.substr(0, size));
    if (widened <= kMaxInsertionStringLength || size == 0) return size;
    // Each byte left out takes one character at most off the widened text, so no prefix longer
    // than this one can fit: the cut goes straight there and never below the longest that fits.
    const std::size_t excess = std::min(widened - kMaxInsertionStringLength, size);
    size = WholeCharacterPrefixSize(text, size - excess, layout);
  }
}

void WriteEventLogEntry(Platform& platform, const EventLogSettings& settings,
                        const char16_t* messageOrNull) {
  NarrowText message, source, computer;
  // A message too long for the report is cut rather than lost with the whole entry. Every
  // character gives one byte at least, and a surrogate pair one for its two units, so nothing
  // past this prefix can be kept: a huge message costs no more than a full one.
  bool cut = false;
  if (messageOrNull != nullptr) {
    const std::u16string_view text(messageOrNull);
    const std::u16string_view converted = WholeCharacterPrefix(text, 2 * kMaxNarrowInsertionStringSize);
    platform.codePage.ToNarrow(converted, message);
    const std::size_t kept = ReportableSize(platform.codePage, message.view());
    cut = kept < message.size() || converted.size() < text.size();
    message.Shorten(kept);
  }
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
