#include "stored_defaults.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "logger.h"

namespace pendrake {
namespace {

// Little-endian; a value shorter than 4 bytes has its missing high bytes as zero.
std::optional<std::int32_t> ReadNumber(RegistryKey& key, const char* name) {
  auto data = key.ReadValue(name, kStoredNumberSize);
  if (!data || data->size() > kStoredNumberSize) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < data->size(); ++i) value |= std::uint32_t{(*data)[i]} << (8 * i);
  return static_cast<std::int32_t>(value);
}

// The 8-bit text ends at its first NUL byte or at the end of the data.
std::optional<std::u16string> ReadText(RegistryKey& key, const char* name, CodePage& codePage) {
  auto data = key.ReadValue(name, kStoredTextSize);
  if (!data || data->size() > kStoredTextSize) return std::nullopt;
  auto end = std::find(data->begin(), data->end(), std::uint8_t{0});
  std::string narrow(data->begin(), end);
  return codePage.ToWide(narrow);
}

}  // namespace

void ApplyStoredDefaults(Registry& registry, CodePage& codePage, Logger& logger) {
  auto key = registry.OpenLocalMachineKeyForReading(kSettingsKeyPath);
  if (!key) return;
  auto boot = ReadNumber(*key, "bBootFromRegistry");
  if (!boot || *boot == 0) return;

  // The order of reading is part of the stored form's contract.
  if (auto v = ReadNumber(*key, "iSyslogFacility")) logger.SetSyslogFacility(*v);
  if (auto v = ReadNumber(*key, "iSyslogPriority")) logger.SetSyslogPriority(*v);
  if (auto v = ReadNumber(*key, "iSyslogPort")) logger.SetSyslogPort(*v);
  if (auto v = ReadText(*key, "szSyslogServer", codePage)) logger.SetSyslogServer(v->c_str());
  if (auto v = ReadText(*key, "szEventLogComputer", codePage)) logger.SetEventLogComputer(v->c_str());
  if (auto v = ReadText(*key, "szEventLogSource", codePage)) logger.SetEventLogSource(v->c_str());
  if (auto v = ReadNumber(*key, "iEventLogID")) logger.SetEventLogID(*v);
  if (auto v = ReadNumber(*key, "iEventLogType")) logger.SetEventLogType(*v);
}

}  // namespace pendrake
