// The administrator's stored defaults under HKEY_LOCAL_MACHINE, read once per logger.
#pragma once

#include <cstddef>

#include "ports.h"

namespace pendrake {

class Logger;

inline constexpr char kSettingsKeyPath[] = "Software\\Orvelle\\Pendrake";
inline constexpr std::size_t kStoredNumberSize = 4;
inline constexpr std::size_t kStoredTextSize = 1023;

// Applies the stored values through the logger's own puts when bBootFromRegistry is non-zero.
// Anything missing, too large or out of range leaves that setting as it was.
void ApplyStoredDefaults(Registry& registry, CodePage& codePage, Logger& logger);

}  // namespace pendrake
