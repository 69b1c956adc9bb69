// One event log entry: the source is registered, one entry reported, the source released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ports.h"

namespace pendrake {

// ReportEventA refuses the whole entry when one insertion string is longer than this many
// characters, counted in UTF-16 after it has widened the string with the system's ANSI code
// page (the form in which it hands the strings on).
inline constexpr std::size_t kMaxInsertionStringLength = 31839;
// It takes each 8-bit string as a counted string, whose length is 16 bits and keeps room for
// the terminator: a longer one is not handed on whole.
inline constexpr std::size_t kMaxNarrowInsertionStringSize = 65534;

// The size of the longest prefix of an 8-bit insertion string that ReportEventA hands on whole:
// at most kMaxNarrowInsertionStringSize bytes, at most kMaxInsertionStringLength characters once
// widened with the system's code page, and ending between two characters of the thread's code
// page, in which the text was written. A string that fits keeps its whole size.
std::size_t ReportableSize(CodePage& codePage, std::string_view text);

struct EventLogSettings {
  const std::optional<std::u16string>& source;
  const std::optional<std::u16string>& computer;
  std::int32_t type;
  std::int32_t id;
};

void WriteEventLogEntry(Platform& platform, const EventLogSettings& settings,
                        const char16_t* messageOrNull);

}  // namespace pendrake
