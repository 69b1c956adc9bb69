#include "com_test_support.h"

#include <ws2tcpip.h>

#include <cstdio>

namespace pendrake::comtest {
namespace {

std::wstring g_dllPath;

constexpr wchar_t kClsidKey[] = L"CLSID\\{7880953B-8A8E-4D5A-AECD-396BF77A31E5}";

}  // namespace

const std::wstring& DllPath() { return g_dllPath; }

void SetDllPathFromArgument(const char* unixPath) {
  std::wstring path = L"Z:";
  for (const char* p = unixPath; *p; ++p) path.push_back(*p == '/' ? L'\\' : static_cast<wchar_t>(*p));
  g_dllPath = path;
}

bool TakeDllPathArgument(int argc, char** argv, const char* moreUsage) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <path of Pendrake.dll>%s\n", argv[0], moreUsage);
    return false;
  }
  SetDllPathFromArgument(argv[1]);
  return true;
}

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

RegistrationScope::RegistrationScope() {
  // Parents before children: a parent that was missing takes its children with it.
  const std::pair<HKEY, const wchar_t*> keys[] = {
      {HKEY_CLASSES_ROOT, L"Orvelle.Pendrake"},
      {HKEY_CLASSES_ROOT, L"Orvelle.Pendrake.1"},
      {HKEY_CLASSES_ROOT, kClsidKey},
      {HKEY_CLASSES_ROOT, L"TypeLib\\{43C02CCE-BABB-4313-A16A-D9F40E3B8FE5}"},
      {HKEY_CLASSES_ROOT, L"Interface\\{DE612F0B-23C9-4F40-8DE6-19DB25AFC240}"},
      {HKEY_LOCAL_MACHINE, L"Software\\Orvelle"},
      {HKEY_LOCAL_MACHINE, L"Software\\Orvelle\\Pendrake"},
      {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Orvelle Pendrake"},
      {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\System\\Orvelle Pendrake SYSTEM-Log"},
  };
  for (const auto& [root, path] : keys) tracked_.push_back({root, path, KeyExists(root, path)});
  module_ = LoadLibraryW(DllPath().c_str());
  if (!module_) return;
  using Entry = HRESULT(WINAPI*)();
  auto registerServer = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module_, "DllRegisterServer")));
  result_ = registerServer ? registerServer() : E_FAIL;
}

RegistrationScope::~RegistrationScope() {
  for (const Tracked& key : tracked_) {
    if (key.existed) continue;
    RegDeleteTreeW(key.root, key.path.c_str());
    RegDeleteKeyExW(key.root, key.path.c_str(), KEY_WOW64_64KEY, 0);
  }
  if (module_) FreeLibrary(module_);
}

std::string Narrow(const wchar_t* text) {
  if (!text) return "(null)";
  std::string out;
  for (; *text; ++text) out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
  return out;
}

std::string HexHresult(HRESULT hr) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
  return buffer;
}

}  // namespace pendrake::comtest
