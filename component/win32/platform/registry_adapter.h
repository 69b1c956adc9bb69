#pragma once

#include "ports.h"

namespace pendrake::win32 {

// HKEY_LOCAL_MACHINE in the 64-bit view, read-only: a 32-bit build shares the key with the
// 64-bit one.
class RegistryAdapter final : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenLocalMachineKeyForReading(const char* subKey) override;
};

}  // namespace pendrake::win32
