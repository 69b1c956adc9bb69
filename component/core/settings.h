// The settings' built-in defaults, their ranges, and how a text argument becomes a setting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pendrake {

inline constexpr std::int32_t kDefaultSyslogPort = 0;
inline constexpr std::int32_t kDefaultSyslogPriority = 5;   // notice
inline constexpr std::int32_t kDefaultSyslogFacility = 16;  // local0
inline constexpr std::int32_t kDefaultEventLogType = 4;     // information
inline constexpr std::int32_t kDefaultEventLogId = 0;
inline constexpr char16_t kDefaultEventLogSource[] = u"Orvelle Pendrake";

constexpr bool IsSyslogPriority(std::int32_t value) { return value >= 0 && value <= 7; }
constexpr bool IsSyslogFacility(std::int32_t value) { return value >= 0 && value <= 23; }

// The argument up to its first NUL; nullptr gives the absent text.
// A copy that cannot be allocated gives the absent text as well.
std::optional<std::u16string> TextFromArgument(const char16_t* textOrNull) noexcept;

}  // namespace pendrake
