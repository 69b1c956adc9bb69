// The resources of Pendrake.dll beside its type library: version information, the project
// name, the registration script, and no message table.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "com_test_support.h"

namespace {

using pendrake::comtest::Narrow;

TEST(ModuleResources, VersionInformation) {
  const std::wstring& path = pendrake::comtest::DllPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_NE(0u, size);
  std::vector<unsigned char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(MAKELONG(2, 1), fixed->dwFileVersionMS);
  EXPECT_EQ(MAKELONG(4, 0), fixed->dwFileVersionLS);
  EXPECT_EQ(MAKELONG(2, 1), fixed->dwProductVersionMS);
  EXPECT_EQ(MAKELONG(4, 0), fixed->dwProductVersionLS);
  EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  ASSERT_EQ(4u, length);
  EXPECT_EQ(0x0409, translation[0]);
  EXPECT_EQ(1200, translation[1]);

  const std::pair<const wchar_t*, const char*> strings[] = {
      {L"FileDescription", "Pendrake Module"}, {L"FileVersion", "1, 2, 0, 4"},
      {L"InternalName", "Pendrake"},           {L"OriginalFilename", "Pendrake.DLL"},
      {L"ProductName", "Pendrake Module"},     {L"ProductVersion", "1, 2, 0, 4"},
  };
  for (const auto& [name, expected] : strings) {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    wchar_t* value = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << Narrow(name);
    EXPECT_EQ(expected, Narrow(value)) << Narrow(name);
  }
}

BOOL CALLBACK CountResource(HMODULE, LPCWSTR, LPWSTR, LONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

TEST(ModuleResources, ProjectNameAndRegistrationScriptButNoMessageTable) {
  HMODULE file = LoadLibraryExW(pendrake::comtest::DllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, file);
  wchar_t text[64] = {};
  EXPECT_EQ(8, LoadStringW(file, 100, text, 64));
  EXPECT_EQ("Pendrake", Narrow(text));
  HRSRC script = FindResourceW(file, MAKEINTRESOURCEW(101), L"REGISTRY");
  ASSERT_NE(nullptr, script);
  const std::string body(static_cast<const char*>(LockResource(LoadResource(file, script))), SizeofResource(file, script));
  EXPECT_NE(std::string::npos, body.find("%MODULE%"));
  EXPECT_NE(std::string::npos, body.find("ForceRemove {7880953B-8A8E-4D5A-AECD-396BF77A31E5}"));
  int messageTables = 0;
  EnumResourceNamesW(file, RT_MESSAGETABLE, CountResource, reinterpret_cast<LONG_PTR>(&messageTables));
  EXPECT_EQ(0, messageTables);
  FreeLibrary(file);
}

}  // namespace
