#include "Registry.h"

#include <array>
#include <cstring>

#include "Global.h"

namespace pendrake::client {

owners::UniqueHkey ghSettingsKey;
owners::UniqueHkey ghClientKey;

namespace {

LONG gLastResult = ERROR_SUCCESS;

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;  // 0x2001F
static_assert(kReadWrite == 0x2001F);

// The component settings key lives in the 64-bit view, so a 32-bit client and the 64-bit
// component share one key; HKEY_CURRENT_USER keys are not redirected anyway.
REGSAM ViewFlag(HKEY root) { return root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0; }

}  // namespace

LONG LastRegistryResult() { return gLastResult; }

LONG OpenOrCreateKey(HKEY root, const wchar_t* path, HKEY& key) {
  key = nullptr;
  DWORD converted = ERROR_SUCCESS;
  const std::string pathA = ToAnsi(path, &converted);
  // An empty path would open the root itself, and every value would land there.
  if (converted != ERROR_SUCCESS) return gLastResult = static_cast<LONG>(converted);
  gLastResult = RegOpenKeyExA(root, pathA.c_str(), 0, kReadWrite | ViewFlag(root), &key);
  if (gLastResult != ERROR_SUCCESS) {
    key = nullptr;
    // Creating with the maximum allowed access also opens an existing key that the user may
    // only read: the stored values then show and saving changes nothing.
    gLastResult = RegCreateKeyExA(root, pathA.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  MAXIMUM_ALLOWED | ViewFlag(root), nullptr, &key, nullptr);
    if (gLastResult != ERROR_SUCCESS) key = nullptr;
  }
  return gLastResult;
}

LONG OpenOrCreateKey(HKEY root, const wchar_t* path, owners::UniqueHkey& key) {
  return OpenOrCreateKey(root, path, *key.put());
}

bool KeyAcceptsWrites(HKEY root, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_SET_VALUE | ViewFlag(root), &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

LONG QueryStringValue(HKEY key, const wchar_t* name, std::wstring& text, const std::wstring& defaultText) {
  std::array<char, 256> buffer;
  buffer.fill(' ');
  DWORD size = static_cast<DWORD>(buffer.size());
  DWORD converted = ERROR_SUCCESS;
  const std::string nameA = ToAnsi(name, &converted);
  // An empty name is the key's unnamed default value, never the one asked for.
  const LONG result = converted != ERROR_SUCCESS ? static_cast<LONG>(converted) :
      RegQueryValueExA(key, nameA.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size);
  if (result != ERROR_SUCCESS) {
    text = defaultText;
    return result;
  }
  // A value without data leaves the caller's text alone.
  if (size == 0) return ERROR_SUCCESS;
  // The text ends at its terminating zero; a value stored without one keeps its last
  // character rather than losing it.
  const size_t length = strnlen(buffer.data(), size);
  text = FromAnsi(std::string_view(buffer.data(), length));
  return ERROR_SUCCESS;
}

LONG QueryDwordValue(HKEY key, const wchar_t* name, int32_t& number, int32_t defaultNumber) {
  int32_t data = 0;
  DWORD size = sizeof data;
  DWORD converted = ERROR_SUCCESS;
  const std::string nameA = ToAnsi(name, &converted);
  const LONG result = converted != ERROR_SUCCESS ? static_cast<LONG>(converted) : RegQueryValueExA(key, nameA.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
  number = result == ERROR_SUCCESS ? data : defaultNumber;
  return result;
}

LONG SetStringValue(HKEY key, const wchar_t* name, const std::wstring& text) {
  DWORD converted = ERROR_SUCCESS;
  const std::string nameA = ToAnsi(name, &converted);
  if (converted != ERROR_SUCCESS) return gLastResult = static_cast<LONG>(converted);
  if (text.empty()) {
    gLastResult = RegDeleteValueA(key, nameA.c_str());
    return ERROR_SUCCESS;
  }
  const std::string data = ToAnsi(text, &converted);
  if (converted != ERROR_SUCCESS) return static_cast<LONG>(converted);
  // The length handed over includes the terminating zero, as REG_SZ requires.
  return RegSetValueExA(key, nameA.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1));
}

LONG SetDwordValue(HKEY key, const wchar_t* name, int32_t number) {
  DWORD converted = ERROR_SUCCESS;
  const std::string nameA = ToAnsi(name, &converted);
  if (converted != ERROR_SUCCESS) return static_cast<LONG>(converted);
  return RegSetValueExA(key, nameA.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

int32_t RegistrySettingsStore::QueryDword(const char16_t* name, int32_t& number, int32_t defaultNumber) {
  return QueryDwordValue(key_, ToWide(name).c_str(), number, defaultNumber);
}

int32_t RegistrySettingsStore::QueryString(const char16_t* name, std::u16string& text,
                                           const std::u16string& defaultText) {
  std::wstring wide = ToWide(text);
  const LONG result = QueryStringValue(key_, ToWide(name).c_str(), wide, ToWide(defaultText));
  text = ToU16(wide);
  return result;
}

int32_t RegistrySettingsStore::SetDword(const char16_t* name, int32_t number) {
  return SetDwordValue(key_, ToWide(name).c_str(), number);
}

int32_t RegistrySettingsStore::SetString(const char16_t* name, const std::u16string& text) {
  const LONG result = SetStringValue(key_, ToWide(name).c_str(), ToWide(text));
  if (text.empty() && LastRegistryResult() != ERROR_FILE_NOT_FOUND) return LastRegistryResult();
  return result;
}

}  // namespace pendrake::client
