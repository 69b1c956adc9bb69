#include "wine_support.h"

#include <ws2tcpip.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace pendrake::winetest {

namespace {
constexpr char kVendorPath[] = "Software\\Orvelle";
constexpr char kSettingsPath[] = "Software\\Orvelle\\Pendrake";
constexpr REGSAM k64 = KEY_WOW64_64KEY;

bool KeyExists(const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | k64, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void DeleteAllValues(HKEY key) {
  for (;;) {
    char name[16384];
    DWORD size = sizeof name;
    if (RegEnumValueA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (RegDeleteValueA(key, name) != ERROR_SUCCESS) break;
  }
}
}  // namespace

SettingsKeySnapshot::SettingsKeySnapshot() {
  vendorKeyExisted_ = KeyExists(kVendorPath);
  keyExisted_ = KeyExists(kSettingsPath);
  if (!keyExisted_) return;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsPath, 0, KEY_READ | k64, &key) != ERROR_SUCCESS) return;
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD nameSize = sizeof name;
    DWORD type = 0;
    DWORD dataSize = 0;
    if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS) break;
    Value value{std::string(name, nameSize), type, std::vector<BYTE>(dataSize)};
    DWORD size = dataSize;
    if (RegQueryValueExA(key, value.name.c_str(), nullptr, nullptr, value.data.data(), &size) == ERROR_SUCCESS) {
      value.data.resize(size);
      values_.push_back(std::move(value));
    }
  }
  RegCloseKey(key);
}

SettingsKeySnapshot::~SettingsKeySnapshot() {
  if (key_ != nullptr) {
    DeleteAllValues(key_);
    for (const Value& v : values_) {
      RegSetValueExA(key_, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    }
    RegCloseKey(key_);
  }
  if (!keyExisted_) RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSettingsPath, k64, 0);
  if (!vendorKeyExisted_) RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kVendorPath, k64, 0);
}

HKEY SettingsKeySnapshot::OpenEmptied() {
  if (key_ == nullptr) {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS | k64, nullptr, &key_,
                    nullptr);
  }
  if (key_ != nullptr) DeleteAllValues(key_);
  return key_;
}

void SetNumber(HKEY key, const char* name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void SetBytes(HKEY key, const char* name, DWORD type, const std::string& bytes) {
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
}

ServicesFileBackup::ServicesFileBackup() {
  char dir[MAX_PATH];
  GetSystemDirectoryA(dir, MAX_PATH);
  path_ = std::string(dir) + "\\drivers\\etc\\services";
  std::ifstream in(path_, std::ios::binary);
  if (in) {
    std::ostringstream contents;
    contents << in.rdbuf();
    original_ = contents.str();
  }
}

ServicesFileBackup::~ServicesFileBackup() {
  if (original_) {
    Write(*original_);
  } else {
    Remove();
  }
}

bool ServicesFileBackup::Write(const std::string& contents) const {
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out << contents;
  return static_cast<bool>(out);
}

bool ServicesFileBackup::Remove() const { return DeleteFileA(path_.c_str()) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND; }

std::string Printable(const std::optional<std::string>& bytes) {
  if (!bytes) return "<nothing>";
  std::string out = "\"";
  for (unsigned char c : *bytes) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out + "\"";
}

}  // namespace pendrake::winetest
