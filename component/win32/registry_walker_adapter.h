// The real registry behind the registration walker. Keys under HKEY_LOCAL_MACHINE are opened
// in the 64-bit view, so a 32-bit build shares the settings key with the 64-bit one; the
// classes root keeps the caller's own view, where COM looks for the caller's bitness. The other
// bitness's view is the 32-bit one for the x64 build, and for the x86 build the 64-bit one
// where it runs on 64-bit Windows.
#pragma once

#include <windows.h>

#include <unordered_map>

#include "registration_script_walker.h"

namespace pendrake::com {

class Win32RegistryPort final : public registration::RegistryPort {
 public:
  Key RootKey(registration::Root root) override;
  registration::Win32Error OpenKey(Key parent, std::u16string_view name, Access access, Key& out) override;
  registration::Win32Error CreateKey(Key parent, std::u16string_view name, Key& out) override;
  void CloseKey(Key key) override;
  registration::Win32Error SetValue(Key key, std::u16string_view name, const registration::Value& value) override;
  registration::Win32Error DeleteValue(Key key, std::u16string_view name) override;
  registration::Win32Error DeleteKey(Key parent, std::u16string_view name) override;
  registration::Win32Error DeleteTree(Key parent, std::u16string_view name) override;
  bool HasSubkeys(Key key) override;
  registration::Win32Error OpenInOtherView(registration::Root root, std::u16string_view path, Key& out) override;
  registration::Win32Error ReadText(Key key, std::u16string_view name, std::u16string& out) override;
  bool FileExists(std::u16string_view path) override;
  bool SuspendFileRedirection() override;
  void ResumeFileRedirection() override;

 private:
  REGSAM ViewOf(Key key) const;
  std::unordered_map<Key, REGSAM> views_;  // keys opened in an explicit view
  PVOID redirection_ = nullptr;            // what Wow64DisableWow64FsRedirection handed out
};

}  // namespace pendrake::com
