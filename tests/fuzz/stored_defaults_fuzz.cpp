// The stored defaults as a new logger reads them, over a registry whose nine values hold any
// bytes of any length: missing, shorter or longer than their buffers, texts without a
// terminator or with NULs inside, numbers of any size. The key may also break the port's
// promise and hand out more bytes than the buffer holds.
// Invariant: every setting is within its range or at its built-in default, a text holds no
// NUL and no more characters than its buffer has bytes, and nothing is applied unless
// bBootFromRegistry is a non-zero number.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "fuzz_input.h"
#include "logger.h"
#include "settings.h"
#include "stored_defaults.h"

namespace pendrake {
namespace {

constexpr const char* kValueNames[] = {"bBootFromRegistry", "iSyslogFacility", "iSyslogPriority",
                                       "iSyslogPort",       "szSyslogServer",  "szEventLogComputer",
                                       "szEventLogSource",  "iEventLogID",     "iEventLogType"};

class FuzzedKey final : public RegistryKey {
 public:
  FuzzedKey(std::map<std::string, std::vector<std::uint8_t>>& values, bool honoursBuffer, int& open)
      : values_(values), honoursBuffer_(honoursBuffer), open_(open) {
    ++open_;
  }
  ~FuzzedKey() override { --open_; }
  std::optional<std::vector<std::uint8_t>> ReadValue(const char* name, std::size_t bufferSize) override {
    auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    if (honoursBuffer_ && found->second.size() > bufferSize) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::string, std::vector<std::uint8_t>>& values_;
  bool honoursBuffer_;
  int& open_;
};

class FuzzedRegistry final : public Registry {
 public:
  std::map<std::string, std::vector<std::uint8_t>> values;
  bool keyExists = true;
  bool honoursBuffer = true;
  int open = 0;
  std::unique_ptr<RegistryKey> OpenLocalMachineKeyForReading(const char*) override {
    if (!keyExists) return nullptr;
    return std::make_unique<FuzzedKey>(values, honoursBuffer, open);
  }
};

std::optional<std::int32_t> StoredNumber(const FuzzedRegistry& registry, const char* name) {
  auto found = registry.values.find(name);
  if (found == registry.values.end() || found->second.size() > kStoredNumberSize) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < found->second.size(); ++i) value |= std::uint32_t{found->second[i]} << (8 * i);
  return static_cast<std::int32_t>(value);
}

void CheckText(const Text& text, const Text& builtIn, const char* name) {
  if (text == builtIn) return;
  PENDRAKE_FUZZ_CHECK(text.has_value(), name);
  PENDRAKE_FUZZ_CHECK(text->find(u'\0') == std::u16string::npos, name);
  PENDRAKE_FUZZ_CHECK(text->size() <= kStoredTextSize, name);
}

}  // namespace
}  // namespace pendrake

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pendrake;
  FuzzedDataProvider input(data, size);
  testing::FakePlatform fake;
  FuzzedRegistry registry;
  registry.keyExists = input.ConsumeIntegralInRange<int>(0, 15) != 0;
  registry.honoursBuffer = input.ConsumeBool();
  for (const char* name : kValueNames) {
    // Mostly present; lengths around both buffer sizes are the interesting ones.
    if (input.ConsumeIntegralInRange<int>(0, 7) == 0) continue;
    std::size_t length = 0;
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
      case 0: length = input.ConsumeIntegralInRange<std::size_t>(0, 8); break;
      case 1: length = input.ConsumeIntegralInRange<std::size_t>(kStoredTextSize - 2, kStoredTextSize + 2); break;
      default: length = input.ConsumeIntegralInRange<std::size_t>(0, 2 * kStoredTextSize); break;
    }
    std::vector<std::uint8_t> bytes = input.ConsumeBytes<std::uint8_t>(length);
    registry.values[name] = std::move(bytes);
  }

  Platform platform{registry, fake.sockets, fake.eventLog, fake.codePage, fake.debugOutput};
  Logger logger(platform);
  PENDRAKE_FUZZ_CHECK(registry.open == 0, "the settings key stayed open");

  const std::optional<std::int32_t> boot = registry.keyExists ? StoredNumber(registry, "bBootFromRegistry") : std::nullopt;
  const Text source(kDefaultEventLogSource);
  if (!boot || *boot == 0) {
    PENDRAKE_FUZZ_CHECK(logger.SyslogFacility() == kDefaultSyslogFacility && logger.SyslogPriority() == kDefaultSyslogPriority &&
                            logger.SyslogPort() == kDefaultSyslogPort && logger.EventLogID() == kDefaultEventLogId &&
                            logger.EventLogType() == kDefaultEventLogType && !logger.SyslogServer() &&
                            !logger.EventLogComputer() && logger.EventLogSource() == source,
                        "stored values applied while switched off");
    return 0;
  }
  PENDRAKE_FUZZ_CHECK(IsSyslogFacility(logger.SyslogFacility()), std::to_string(logger.SyslogFacility()));
  PENDRAKE_FUZZ_CHECK(IsSyslogPriority(logger.SyslogPriority()), std::to_string(logger.SyslogPriority()));
  // A number of four bytes or fewer is taken whole (facility and priority where in range);
  // anything else leaves the default.
  auto expectNumber = [&](const char* name, std::int32_t actual, std::int32_t builtIn, bool (*inRange)(std::int32_t)) {
    const std::optional<std::int32_t> stored = StoredNumber(registry, name);
    const std::int32_t expected = stored && inRange(*stored) ? *stored : builtIn;
    PENDRAKE_FUZZ_CHECK(actual == expected, std::string(name) + " " + std::to_string(actual) + " expected " +
                                                std::to_string(expected));
  };
  auto any = [](std::int32_t) { return true; };
  expectNumber("iSyslogFacility", logger.SyslogFacility(), kDefaultSyslogFacility,
               [](std::int32_t v) { return IsSyslogFacility(v); });
  expectNumber("iSyslogPriority", logger.SyslogPriority(), kDefaultSyslogPriority,
               [](std::int32_t v) { return IsSyslogPriority(v); });
  expectNumber("iSyslogPort", logger.SyslogPort(), kDefaultSyslogPort, any);
  expectNumber("iEventLogID", logger.EventLogID(), kDefaultEventLogId, any);
  expectNumber("iEventLogType", logger.EventLogType(), kDefaultEventLogType, any);
  CheckText(logger.SyslogServer(), std::nullopt, "szSyslogServer");
  CheckText(logger.EventLogComputer(), std::nullopt, "szEventLogComputer");
  CheckText(logger.EventLogSource(), source, "szEventLogSource");
  return 0;
}
