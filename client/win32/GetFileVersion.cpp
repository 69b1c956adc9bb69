#include "GetFileVersion.h"

#include "Global.h"

#include <cstring>
#include <vector>

#include "Global.h"

namespace pendrake::client {

namespace {

// Reads the fixed version record through the ANSI functions, or the wide ones where the path
// has characters the ANSI code page cannot carry.
bool ReadFixedInfo(const std::wstring& path, VS_FIXEDFILEINFO& info) {
  const std::string pathA = ToAnsi(path);
  const bool ansiPath = FromAnsi(pathA) == path;
  DWORD handle = 0;
  const DWORD size = ansiPath ? GetFileVersionInfoSizeA(pathA.c_str(), &handle)
                              : GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return false;
  std::vector<BYTE> buffer(size + 1);
  const BOOL read = ansiPath ? GetFileVersionInfoA(pathA.c_str(), 0, size, buffer.data())
                             : GetFileVersionInfoW(path.c_str(), 0, size, buffer.data());
  if (!read) return false;
  void* record = nullptr;
  UINT length = 0;
  char root[] = "\\";
  if (!VerQueryValueA(buffer.data(), root, &record, &length) || record == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  std::memcpy(&info, record, sizeof info);
  return true;
}

}  // namespace

std::optional<ProductVersion> ReadProductVersion(const std::wstring& path) {
  static_assert(sizeof(VS_FIXEDFILEINFO) == 52);
  VS_FIXEDFILEINFO info{};
  if (!ReadFixedInfo(path, info)) return std::nullopt;
  return ProductVersion::FromWords(info.dwProductVersionMS, info.dwProductVersionLS);
}

std::optional<ProductVersion> ReadOwnProductVersion() {
  const std::wstring path = ProgramFile();
  if (path.empty()) return std::nullopt;
  return ReadProductVersion(path);
}

}  // namespace pendrake::client
