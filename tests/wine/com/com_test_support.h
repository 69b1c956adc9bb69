// Shared pieces of the COM tests under Wine: where the built Pendrake.dll is, a registration
// that is undone after the test, text helpers for assertion messages.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pendrake::comtest {

// The component's path as Windows sees it, taken from the first program argument (a Unix
// path from the build, mapped through drive Z:).
const std::wstring& DllPath();
void SetDllPathFromArgument(const char* unixPath);
// The test programs' start: the component's path from argv[1]. Without it prints the usage
// (`moreUsage` names any further arguments) and returns false.
bool TakeDllPathArgument(int argc, char** argv, const char* moreUsage = "");

// Registers the component (DllRegisterServer of the build's file) for the length of a test
// run. On destruction every key that registration created and that was not there before is
// deleted again, so the prefix is left as it was found.
class RegistrationScope {
 public:
  RegistrationScope();
  ~RegistrationScope();
  RegistrationScope(const RegistrationScope&) = delete;
  RegistrationScope& operator=(const RegistrationScope&) = delete;
  HRESULT result() const { return result_; }

 private:
  struct Tracked {
    HKEY root;
    std::wstring path;
    bool existed;
  };
  std::vector<Tracked> tracked_;
  HMODULE module_ = nullptr;
  HRESULT result_ = E_FAIL;
};

bool KeyExists(HKEY root, const std::wstring& path);

// Text helpers for assertion messages.
std::string Narrow(const wchar_t* text);
std::string HexHresult(HRESULT hr);

}  // namespace pendrake::comtest
