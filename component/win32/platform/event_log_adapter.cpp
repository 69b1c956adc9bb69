#include "event_log_adapter.h"

#include "handles.h"

namespace pendrake::win32 {
namespace {

class RegisteredSource final : public EventSource {
 public:
  explicit RegisteredSource(UniqueEventSource source) : source_(std::move(source)) {}

  bool Report(std::uint16_t type, std::uint16_t category, std::uint32_t eventId,
              std::span<const char* const> strings) override {
    if (strings.size() > 0xFFFF) return false;
    // ReportEventA takes a non-const array although it only reads it.
    auto* array = strings.empty() ? nullptr : const_cast<LPCSTR*>(strings.data());
    return ReportEventA(source_.get(), type, category, eventId, nullptr, static_cast<WORD>(strings.size()), 0, array,
                        nullptr) != FALSE;
  }

 private:
  UniqueEventSource source_;
};

}  // namespace

std::unique_ptr<EventSource> EventLogAdapter::RegisterSource(const char* computer, const char* source) {
  UniqueEventSource handle(RegisterEventSourceA(computer, source));
  if (!handle) return nullptr;
  return std::make_unique<RegisteredSource>(std::move(handle));
}

}  // namespace pendrake::win32
