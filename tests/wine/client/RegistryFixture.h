// Helpers of the client's Wine tests: raw registry reads, key security, and a snapshot that
// puts a key back exactly as the test found it.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pendrake::client {

struct RawValue {
  LONG result = ERROR_FILE_NOT_FOUND;
  DWORD type = REG_NONE;
  std::string bytes;
};

inline RawValue ReadRaw(HKEY key, const wchar_t* name) {
  RawValue raw;
  DWORD size = 0;
  raw.result = RegQueryValueExW(key, name, nullptr, &raw.type, nullptr, &size);
  if (raw.result != ERROR_SUCCESS) return raw;
  // Read the 8-bit form, as the component and the client see it.
  std::string nameA(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr)), '\0');
  WideCharToMultiByte(CP_ACP, 0, name, -1, nameA.data(), static_cast<int>(nameA.size()), nullptr, nullptr);
  size = 0;
  raw.result = RegQueryValueExA(key, nameA.c_str(), nullptr, &raw.type, nullptr, &size);
  raw.bytes.assign(size, '\0');
  if (raw.result == ERROR_SUCCESS && size != 0) {
    raw.result = RegQueryValueExA(key, nameA.c_str(), nullptr, &raw.type, reinterpret_cast<BYTE*>(raw.bytes.data()), &size);
    raw.bytes.resize(size);
  }
  return raw;
}

inline int32_t ReadDword(HKEY key, const wchar_t* name) {
  int32_t value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
    return INT32_MIN;
  }
  return value;
}

// Sets a DACL given in SDDL through a handle of its own (the test's handle lacks WRITE_DAC).
inline bool SetKeyDacl(HKEY key, const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr)) return false;
  HKEY dacl = nullptr;
  bool ok = RegOpenKeyExW(key, nullptr, 0, WRITE_DAC | READ_CONTROL, &dacl) == ERROR_SUCCESS;
  if (ok) ok = RegSetKeySecurity(dacl, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
  if (dacl) RegCloseKey(dacl);
  LocalFree(sd);
  return ok;
}
inline bool DenyWrite(HKEY key) { return SetKeyDacl(key, L"D:P(A;;KR;;;WD)"); }
inline bool AllowWrite(HKEY key) { return SetKeyDacl(key, L"D:P(A;;KA;;;WD)"); }

// Every value of a key (in the 64-bit view), to be put back after a test.
class KeySnapshot {
 public:
  KeySnapshot(HKEY root, const wchar_t* path) : root_(root), path_(path) {
    // Remember the ancestors that are missing, so that a key created by the test goes away
    // with every parent it brought.
    for (std::wstring p = path_; !p.empty(); p = p.substr(0, p.find_last_of(L'\\') == std::wstring::npos
                                                                ? 0
                                                                : p.find_last_of(L'\\'))) {
      HKEY probe = nullptr;
      if (RegOpenKeyExW(root_, p.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        break;
      }
      missing_.push_back(p);
    }
    HKEY key = nullptr;
    existed_ = RegOpenKeyExW(root_, path_.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS;
    if (!existed_) return;
    for (DWORD i = 0;; ++i) {
      wchar_t name[256];
      DWORD nameLength = 256, type = 0, size = 0;
      if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
      Value v{name, type, std::vector<BYTE>(size)};
      nameLength = 256;
      RegEnumValueW(key, i, name, &nameLength, nullptr, &type, v.data.data(), &size);
      values_.push_back(std::move(v));
    }
    RegCloseKey(key);
  }
  KeySnapshot(const KeySnapshot&) = delete;
  KeySnapshot& operator=(const KeySnapshot&) = delete;
  ~KeySnapshot() { Restore(); }

  void Restore() {
    if (!existed_) {
      for (const std::wstring& p : missing_) RegDeleteKeyExW(root_, p.c_str(), KEY_WOW64_64KEY, 0);
      return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return;
    }
    // Remove what the test added, then put every original value back.
    for (;;) {
      wchar_t name[256];
      DWORD nameLength = 256;
      if (RegEnumValueW(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      if (RegDeleteValueW(key, name) != ERROR_SUCCESS) break;
    }
    for (const Value& v : values_) {
      RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    }
    RegCloseKey(key);
  }

 private:
  struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
  };
  HKEY root_;
  std::wstring path_;
  bool existed_ = false;
  std::vector<Value> values_;
  std::vector<std::wstring> missing_;  // deepest first
};

}  // namespace pendrake::client
