#include "event_log_adapter.h"

#include <windows.h>

namespace pendrake::win32 {
namespace {

HANDLE SourceHandle(std::uintptr_t source) { return reinterpret_cast<HANDLE>(source); }

}  // namespace

EventSource EventLogAdapter::RegisterSource(const char* computer, const char* source) {
  const HANDLE handle = RegisterEventSourceA(computer, source);
  if (handle == nullptr) return {};
  return EventSource(*this, reinterpret_cast<std::uintptr_t>(handle));
}

bool EventLogAdapter::Report(std::uintptr_t source, std::uint16_t type, std::uint16_t category,
                             std::uint32_t eventId, std::span<const char* const> strings) {
  if (strings.size() > 0xFFFF) return false;
  // ReportEventA takes a non-const array although it only reads it.
  auto* array = strings.empty() ? nullptr : const_cast<LPCSTR*>(strings.data());
  return ReportEventA(SourceHandle(source), type, category, eventId, nullptr, static_cast<WORD>(strings.size()), 0,
                      array, nullptr) != FALSE;
}

void EventLogAdapter::Release(EventSourceKind, std::uintptr_t source) noexcept {
  DeregisterEventSource(SourceHandle(source));
}

}  // namespace pendrake::win32
