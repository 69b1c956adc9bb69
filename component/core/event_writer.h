// One event log entry: the source is registered, one entry reported, the source released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ports.h"

namespace pendrake {

// ReportEventA refuses the whole entry when one insertion string is longer than this many
// characters (counted in UTF-16, the form in which it hands the strings on).
inline constexpr std::size_t kMaxInsertionStringLength = 31839;

struct EventLogSettings {
  const std::optional<std::u16string>& source;
  const std::optional<std::u16string>& computer;
  std::int32_t type;
  std::int32_t id;
};

void WriteEventLogEntry(Platform& platform, const EventLogSettings& settings,
                        const char16_t* messageOrNull);

}  // namespace pendrake
