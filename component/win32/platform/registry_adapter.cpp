#include "registry_adapter.h"

#include "pendrake/owners.h"

namespace pendrake::win32 {
namespace {

class OpenKey final : public RegistryKey {
 public:
  explicit OpenKey(owners::UniqueHkey key) : key_(std::move(key)) {}

  std::optional<std::vector<std::uint8_t>> ReadValue(const char* valueName,
                                                     std::size_t bufferSize) override {
    std::vector<std::uint8_t> data(bufferSize);
    DWORD size = static_cast<DWORD>(bufferSize);
    // Fails with ERROR_MORE_DATA when the data does not fit: such a value is not taken.
    if (RegQueryValueExA(key_.get(), valueName, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS ||
        size > bufferSize) {
      return std::nullopt;
    }
    data.resize(size);
    return data;
  }

 private:
  owners::UniqueHkey key_;
};

}  // namespace

std::unique_ptr<RegistryKey> RegistryAdapter::OpenLocalMachineKeyForReading(const char* subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  owners::UniqueHkey owner(key);
  return std::make_unique<OpenKey>(std::move(owner));
}

}  // namespace pendrake::win32
