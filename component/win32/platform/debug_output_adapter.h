#pragma once

#include "ports.h"

namespace pendrake::win32 {

class DebugOutputAdapter final : public DebugOutput {
 public:
  void Write(const char* line) override;
};

}  // namespace pendrake::win32
