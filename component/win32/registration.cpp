#include "registration.h"

#include <cwchar>
#include <string>

#include "Pendrake_h.h"
#include "pendrake/owners.h"
#include "module.h"
#include "registration_script_walker.h"
#include "registry_walker_adapter.h"

namespace pendrake::com {

using owners::ComPtr;
namespace {

constexpr int kScriptResource = 101;
constexpr LCID kLibraryLcid = 0x409;
#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
#endif

// The one place where a Win32 error becomes the HRESULT a caller of the exports sees.
HRESULT FromWin32(DWORD error) { return HRESULT_FROM_WIN32(error); }

// The full path of this library, whatever its length; the walker decides what is too long.
std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(ModuleHandle(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

// The registration script resource, plain 8-bit text.
bool LoadScript(std::u16string& script) {
  const HMODULE module = ModuleHandle();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kScriptResource), L"REGISTRY");
  if (!found) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const DWORD size = SizeofResource(module, found);
  const auto* bytes = static_cast<const char*>(loaded ? LockResource(loaded) : nullptr);
  if (!bytes) return false;
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), nullptr, 0);
  if (length <= 0 && size != 0) return false;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), wide.data(), length);
  script.assign(wide.begin(), wide.end());
  return true;
}

enum class Mode { Register, Unregister };

HRESULT WalkScript(Mode mode) {
  std::u16string script;
  if (!LoadScript(script)) return FromWin32(ERROR_RESOURCE_DATA_NOT_FOUND);
  const std::wstring path = ModulePath();
  if (path.empty()) {
    const DWORD error = GetLastError();
    return FromWin32(error ? error : ERROR_INSUFFICIENT_BUFFER);
  }
  const std::u16string modulePath(path.begin(), path.end());
  Win32RegistryPort registry;
  const registration::Win32Error error = mode == Mode::Register
                                             ? registration::RegisterScript(registry, script, modulePath)
                                             : registration::UnregisterScript(registry, script, modulePath);
  return error ? FromWin32(error) : S_OK;
}

// Loads the type library from the module itself, else from the ".tlb" of the same path.
HRESULT LoadOwnTypeLib(ComPtr<ITypeLib>& library, std::wstring& loadedFrom) {
  std::wstring path = ModulePath();
  if (path.empty()) return FromWin32(ERROR_INSUFFICIENT_BUFFER);
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
  if (SUCCEEDED(hr)) {
    loadedFrom = path;
    return hr;
  }
  const std::size_t nameStart = path.find_last_of(L"\\/") + 1;  // 0 when there is no folder
  const std::size_t dot = path.find_last_of(L'.');
  if (dot != std::wstring::npos && dot >= nameStart) path.resize(dot);
  path += L".tlb";
  hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
  if (SUCCEEDED(hr)) loadedFrom = path;
  return hr;
}

HRESULT RegisterOwnTypeLib() {
  ComPtr<ITypeLib> library;
  std::wstring path;
  HRESULT hr = LoadOwnTypeLib(library, path);
  if (FAILED(hr)) return hr;
  std::wstring helpDir = path.substr(0, path.find_last_of(L"\\/") + 1);
  return RegisterTypeLib(library.get(), path.data(), helpDir.data());
}

HRESULT UnregisterOwnTypeLib() {
  ComPtr<ITypeLib> library;
  std::wstring path;
  HRESULT hr = LoadOwnTypeLib(library, path);
  if (FAILED(hr)) return hr;
  hr = UnRegisterTypeLib(LIBID_PENDRAKELib, 1, 0, kLibraryLcid, kSysKind);
  // Nothing registered is what unregistration wants: a second unregistration succeeds.
  if (hr == E_INVALIDARG || hr == TYPE_E_REGISTRYACCESS) return S_OK;
  return hr;
}

// Enters one event source with this library as its message file. The path comes from the
// module handle recorded at load time: asking for the module by the name "Pendrake.dll"
// fails for a renamed file and can find another module of that name.
void AddEventSource(const wchar_t* log, const wchar_t* source) {
  const std::wstring path = ModulePath();
  wchar_t keyPath[512];
  const int written = std::swprintf(keyPath, std::size(keyPath), L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\%ls\\%ls",
                                    log, source);
  HKEY created = nullptr;
  if (written < 0 || RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                     nullptr, &created, nullptr) != ERROR_SUCCESS) {
    OutputDebugStringA("Dying....\r\n");
    return;
  }
  const pendrake::owners::UniqueHkey key(created);
  // The stored length counts the terminator.
  RegSetValueExW(key.get(), L"EventMessageFile", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                 static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
  const DWORD typesSupported = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  RegSetValueExW(key.get(), L"TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&typesSupported),
                 sizeof typesSupported);
}

}  // namespace

HRESULT RegisterServer() {
  HRESULT hr = WalkScript(Mode::Register);
  if (SUCCEEDED(hr)) hr = RegisterOwnTypeLib();
  AddEventSource(L"Application", L"Orvelle Pendrake");
  AddEventSource(L"System", L"Orvelle Pendrake SYSTEM-Log");
  return hr;
}

HRESULT UnregisterServer() {
  const HRESULT hr = WalkScript(Mode::Unregister);
  if (FAILED(hr)) return hr;
  // The event sources stay: entries already written keep their message file.
  return UnregisterOwnTypeLib();
}

}  // namespace pendrake::com
