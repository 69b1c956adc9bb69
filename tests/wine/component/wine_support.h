// Helpers of the component's Wine tests (beside the shared loopback receiver): a registry snapshot that puts
// the settings key back as it was, and a backup of the prefix's services file.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "loopback_receiver.h"

namespace pendrake::winetest {

// Everything under HKLM\Software\Orvelle\Pendrake (64-bit view) as it was at construction,
// put back at destruction; keys the test created are removed again.
class SettingsKeySnapshot {
 public:
  SettingsKeySnapshot();
  ~SettingsKeySnapshot();
  SettingsKeySnapshot(const SettingsKeySnapshot&) = delete;
  SettingsKeySnapshot& operator=(const SettingsKeySnapshot&) = delete;

  // Opens (creating if needed) the key with write access; empties it of values first.
  HKEY OpenEmptied();

 private:
  struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
  };
  bool vendorKeyExisted_ = false;
  bool keyExisted_ = false;
  std::vector<Value> values_;
  HKEY key_ = nullptr;
};

void SetNumber(HKEY key, const char* name, DWORD value);
void SetBytes(HKEY key, const char* name, DWORD type, const std::string& bytes);

// The prefix's services file, restored (or removed again) at destruction.
class ServicesFileBackup {
 public:
  ServicesFileBackup();
  ~ServicesFileBackup();
  ServicesFileBackup(const ServicesFileBackup&) = delete;
  ServicesFileBackup& operator=(const ServicesFileBackup&) = delete;

  const std::string& path() const { return path_; }
  bool Write(const std::string& contents) const;
  bool Remove() const;

 private:
  std::string path_;
  std::optional<std::string> original_;
};

std::string Printable(const std::optional<std::string>& bytes);

}  // namespace pendrake::winetest
