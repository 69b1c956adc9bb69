#pragma once

#include "ports.h"

namespace pendrake::win32 {

class EventLogAdapter final : public EventLog {
 public:
  EventSource RegisterSource(const char* computer, const char* source) override;

 protected:
  bool Report(std::uintptr_t source, std::uint16_t type, std::uint16_t category, std::uint32_t eventId,
              std::span<const char* const> strings) override;
  void Release(EventSourceKind, std::uintptr_t source) noexcept override;
};

}  // namespace pendrake::win32
