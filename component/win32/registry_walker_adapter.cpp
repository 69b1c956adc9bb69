#include "registry_walker_adapter.h"

#include <cwchar>
#include <string>

#include "pendrake/owners.h"
#include "wow64_paths.h"

namespace pendrake::com {
namespace {

using registration::Win32Error;

HKEY AsHkey(registration::RegistryPort::Key key) { return reinterpret_cast<HKEY>(key); }
registration::RegistryPort::Key AsKey(HKEY key) { return reinterpret_cast<registration::RegistryPort::Key>(key); }

// The port's names are views into longer texts; the API wants them terminated.
std::wstring Terminated(std::u16string_view name) { return std::wstring(name.begin(), name.end()); }

// The registry view of the other bitness; 0 where there is none (32-bit Windows).
REGSAM OtherView() {
#ifdef _WIN64
  return KEY_WOW64_32KEY;
#else
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64 ? KEY_WOW64_64KEY : 0;
#endif
}

}  // namespace

REGSAM Win32RegistryPort::ViewOf(Key key) const {
  if (AsHkey(key) == HKEY_LOCAL_MACHINE) return KEY_WOW64_64KEY;
  const auto found = views_.find(key);
  return found == views_.end() ? 0 : found->second;
}

Win32RegistryPort::Key Win32RegistryPort::RootKey(registration::Root root) {
  switch (root) {
    case registration::Root::ClassesRoot:
      return AsKey(HKEY_CLASSES_ROOT);
    case registration::Root::CurrentUser:
      return AsKey(HKEY_CURRENT_USER);
    case registration::Root::LocalMachine:
      return AsKey(HKEY_LOCAL_MACHINE);
    case registration::Root::Users:
      return AsKey(HKEY_USERS);
  }
  return AsKey(HKEY_CLASSES_ROOT);
}

Win32Error Win32RegistryPort::OpenKey(Key parent, std::u16string_view name, Access access, Key& out) {
  const REGSAM view = ViewOf(parent);
  const REGSAM rights = access == Access::ReadWrite ? (KEY_READ | KEY_WRITE) : KEY_READ;
  HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExW(AsHkey(parent), Terminated(name).c_str(), 0, rights | view, &opened);
  if (status != ERROR_SUCCESS) return static_cast<Win32Error>(status);
  out = AsKey(opened);
  if (view) views_[out] = view;
  return ERROR_SUCCESS;
}

Win32Error Win32RegistryPort::CreateKey(Key parent, std::u16string_view name, Key& out) {
  const REGSAM view = ViewOf(parent);
  HKEY created = nullptr;
  const LSTATUS status = RegCreateKeyExW(AsHkey(parent), Terminated(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_READ | KEY_WRITE | view, nullptr, &created, nullptr);
  if (status != ERROR_SUCCESS) return static_cast<Win32Error>(status);
  out = AsKey(created);
  if (view) views_[out] = view;
  return ERROR_SUCCESS;
}

void Win32RegistryPort::CloseKey(Key key) {
  views_.erase(key);
  RegCloseKey(AsHkey(key));
}

Win32Error Win32RegistryPort::SetValue(Key key, std::u16string_view name, const registration::Value& value) {
  const std::wstring valueName = Terminated(name);
  LSTATUS status;
  if (value.type == registration::Value::Type::Dword) {
    const DWORD number = value.number;
    status = RegSetValueExW(AsHkey(key), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                            sizeof number);
  } else {
    const std::wstring text = Terminated(value.text);
    const DWORD type = value.type == registration::Value::Type::ExpandString ? REG_EXPAND_SZ : REG_SZ;
    status = RegSetValueExW(AsHkey(key), valueName.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  return static_cast<Win32Error>(status);
}

Win32Error Win32RegistryPort::DeleteValue(Key key, std::u16string_view name) {
  return static_cast<Win32Error>(RegDeleteValueW(AsHkey(key), Terminated(name).c_str()));
}

Win32Error Win32RegistryPort::DeleteKey(Key parent, std::u16string_view name) {
  return static_cast<Win32Error>(RegDeleteKeyExW(AsHkey(parent), Terminated(name).c_str(), ViewOf(parent), 0));
}

Win32Error Win32RegistryPort::DeleteTree(Key parent, std::u16string_view name) {
  const std::wstring keyName = Terminated(name);
  const REGSAM view = ViewOf(parent);
  HKEY opened = nullptr;
  LSTATUS status = RegOpenKeyExW(AsHkey(parent), keyName.c_str(), 0, KEY_ALL_ACCESS | view, &opened);
  if (status != ERROR_SUCCESS) return static_cast<Win32Error>(status);
  {
    const pendrake::owners::UniqueHkey key(opened);
    status = RegDeleteTreeW(key.get(), nullptr);  // everything below the key
  }
  if (status != ERROR_SUCCESS) return static_cast<Win32Error>(status);
  return static_cast<Win32Error>(RegDeleteKeyExW(AsHkey(parent), keyName.c_str(), view, 0));
}

bool Win32RegistryPort::HasSubkeys(Key key) {
  DWORD subkeys = 0;
  if (RegQueryInfoKeyW(AsHkey(key), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return subkeys != 0;
}

Win32Error Win32RegistryPort::OpenInOtherView(registration::Root root, std::u16string_view path, Key& out) {
  const REGSAM view = OtherView();
  if (view == 0) return ERROR_FILE_NOT_FOUND;
  HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExW(AsHkey(RootKey(root)), Terminated(path).c_str(), 0, KEY_READ | view, &opened);
  if (status != ERROR_SUCCESS) return static_cast<Win32Error>(status);
  out = AsKey(opened);
  views_[out] = view;
  return ERROR_SUCCESS;
}

Win32Error Win32RegistryPort::ReadText(Key key, std::u16string_view name, std::u16string& out) {
  const std::wstring valueName = Terminated(name);
  // REG_EXPAND_SZ comes back expanded, as REG_SZ.
  constexpr DWORD kFlags = RRF_RT_REG_SZ;
  DWORD size = 0;
  LSTATUS status = RegGetValueW(AsHkey(key), nullptr, valueName.c_str(), kFlags, nullptr, nullptr, &size);
  if (status != ERROR_SUCCESS) return static_cast<Win32Error>(status);
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  status = RegGetValueW(AsHkey(key), nullptr, valueName.c_str(), kFlags, nullptr, text.data(), &size);
  if (status != ERROR_SUCCESS) return static_cast<Win32Error>(status);
  text.resize(std::wcslen(text.c_str()));
  out.assign(text.begin(), text.end());
  return ERROR_SUCCESS;
}

#ifdef _WIN64
namespace {

// The other view's paths were written by and for 32-bit processes, which 64-bit Windows shows
// SysWOW64 where they name System32: a 64-bit process has no redirection to turn on, so it
// reads such a path as a 32-bit one would. Unchanged where there is no 32-bit side.
std::wstring AsA32BitProcessReads(std::u16string_view path) {
  wchar_t system32[MAX_PATH], sysWow64[MAX_PATH];
  const UINT systemLength = GetSystemDirectoryW(system32, MAX_PATH);
  const UINT wow64Length = GetSystemWow64DirectoryW(sysWow64, MAX_PATH);
  if (systemLength == 0 || systemLength >= MAX_PATH || wow64Length == 0 || wow64Length >= MAX_PATH) {
    return Terminated(path);
  }
  const std::u16string system(system32, system32 + systemLength);
  const std::u16string wow64(sysWow64, sysWow64 + wow64Length);
  const std::u16string sysnative = system.substr(0, system.find_last_of(u'\\') + 1) + u"Sysnative";
  return Terminated(registration::RedirectedFor32BitProcess(path, {system, wow64, sysnative}));
}

}  // namespace
#endif

bool Win32RegistryPort::FileExists(std::u16string_view path) {
#ifdef _WIN64
  const std::wstring file = AsA32BitProcessReads(path);
#else
  const std::wstring file = Terminated(path);
#endif
  const DWORD attributes = GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32RegistryPort::SuspendFileRedirection() {
#ifdef _WIN64
  return false;  // a 64-bit process sees every folder as it is
#else
  // Fails where the process is no WOW64 one, and there nothing is redirected.
  return Wow64DisableWow64FsRedirection(&redirection_) != FALSE;
#endif
}

void Win32RegistryPort::ResumeFileRedirection() {
#ifndef _WIN64
  Wow64RevertWow64FsRedirection(redirection_);
#endif
}

}  // namespace pendrake::com
