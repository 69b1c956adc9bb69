// The client's registry store: the two keys it keeps open for the whole run and the value
// operations with their defaults. Texts cross the registry in the system ANSI code page.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "client/core/Settings.h"
#include "pendrake/owners.h"

namespace pendrake::client {

inline constexpr wchar_t kSettingsKeyPath[] = L"SOFTWARE\\Orvelle\\Pendrake";
inline constexpr wchar_t kClientKeyPath[] = L"SOFTWARE\\Orvelle\\Pendrake\\Client";
inline constexpr wchar_t kLanguageValue[] = L"szLanguage";

// The open component settings key (HKEY_LOCAL_MACHINE; 0 until the main window has loaded)
// and the open client key (HKEY_CURRENT_USER; 0 until the first-run window has loaded). Both
// stay open until the process ends.
extern owners::UniqueHkey ghSettingsKey;
extern owners::UniqueHkey ghClientKey;

// The Win32 result of the last open, create or value deletion.
LONG LastRegistryResult();

// Opens `path` under `root` with KEY_READ | KEY_WRITE (0x2001F); under HKEY_LOCAL_MACHINE in
// the 64-bit registry view. If that fails, creates (or opens with whatever access the user
// has) the key. Returns the result of the last call made (0: `key` is open); `key` is 0 when
// neither worked.
LONG OpenOrCreateKey(HKEY root, const wchar_t* path, HKEY& key);
// The same into an owner (which first closes what it held).
LONG OpenOrCreateKey(HKEY root, const wchar_t* path, owners::UniqueHkey& key);

// Whether values can be written under `path` (a key this user may only read, or one missing
// that cannot be created, cannot).
bool KeyAcceptsWrites(HKEY root, const wchar_t* path);

// Reads a text value into `text` (at most 255 characters). A failed query (missing value,
// bad handle, more than 256 bytes) sets `text` to `defaultText` and returns the error; a
// value without data leaves `text` as it was and returns 0; else `text` gets the stored text.
LONG QueryStringValue(HKEY key, const wchar_t* name, std::wstring& text, const std::wstring& defaultText);

// Reads a number (at most 4 bytes; fewer fill the low-order bytes of 0). A failed query sets
// `number` to `defaultNumber`. Returns the query's result.
LONG QueryDwordValue(HKEY key, const wchar_t* name, int32_t& number, int32_t defaultNumber);

// Writes a text as REG_SZ in the ANSI code page; an empty text deletes the value instead
// (result kept as the last result; returns 0, a missing value being no error).
LONG SetStringValue(HKEY key, const wchar_t* name, const std::wstring& text);

// Writes a number as REG_DWORD.
LONG SetDwordValue(HKEY key, const wchar_t* name, int32_t number);

// The settings record's store over an open key (normally ghSettingsKey). A text that removes
// its value reports a refused deletion (a missing value is no failure), so a save can tell.
class RegistrySettingsStore final : public SettingsStore {
 public:
  explicit RegistrySettingsStore(HKEY key) : key_(key) {}
  int32_t QueryDword(const char16_t* name, int32_t& number, int32_t defaultNumber) override;
  int32_t QueryString(const char16_t* name, std::u16string& text, const std::u16string& defaultText) override;
  int32_t SetDword(const char16_t* name, int32_t number) override;
  int32_t SetString(const char16_t* name, const std::u16string& text) override;

 private:
  HKEY key_;
};

}  // namespace pendrake::client
