#pragma once

#include "ports.h"

namespace pendrake::win32 {

class EventLogAdapter final : public EventLog {
 public:
  std::unique_ptr<EventSource> RegisterSource(const char* computer, const char* source) override;
};

}  // namespace pendrake::win32
