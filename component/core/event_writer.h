// One event log entry: the source is registered, one entry reported, the source released.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ports.h"

namespace pendrake {

struct EventLogSettings {
  const std::optional<std::u16string>& source;
  const std::optional<std::u16string>& computer;
  std::int32_t type;
  std::int32_t id;
};

void WriteEventLogEntry(Platform& platform, const EventLogSettings& settings,
                        const char16_t* messageOrNull);

}  // namespace pendrake
