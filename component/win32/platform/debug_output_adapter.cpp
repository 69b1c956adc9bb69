#include "debug_output_adapter.h"

#include <windows.h>

namespace pendrake::win32 {

void DebugOutputAdapter::Write(const char* line) { OutputDebugStringA(line); }

}  // namespace pendrake::win32
