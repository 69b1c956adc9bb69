// The process-wide bundle of the real Win32 adapters.
#pragma once

#include "ports.h"

namespace pendrake::win32 {

Platform& SystemPlatform();

}  // namespace pendrake::win32
