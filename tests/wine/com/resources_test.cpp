// The resources of Pendrake.dll beside its type library: version information, the project
// name, the registration script and the event message table. Everything is read from the file
// loaded as data, as the Event Viewer reads a message file, so the program checks the
// component of either bitness.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
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

// The component file loaded as data, freed again when the test ends.
class DataFile {
 public:
  DataFile() : module_(LoadLibraryExW(pendrake::comtest::DllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataFile() {
    if (module_) FreeLibrary(module_);
  }
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

TEST(ModuleResources, ProjectNameRegistrationScriptAndOneMessageTable) {
  DataFile file;
  ASSERT_NE(nullptr, file.get()) << "error " << GetLastError();
  wchar_t text[64] = {};
  EXPECT_EQ(8, LoadStringW(file.get(), 100, text, 64));
  EXPECT_EQ("Pendrake", Narrow(text));
  HRSRC script = FindResourceW(file.get(), MAKEINTRESOURCEW(101), L"REGISTRY");
  ASSERT_NE(nullptr, script);
  const std::string body(static_cast<const char*>(LockResource(LoadResource(file.get(), script))),
                         SizeofResource(file.get(), script));
  EXPECT_NE(std::string::npos, body.find("%MODULE%"));
  EXPECT_NE(std::string::npos, body.find("ForceRemove {7880953B-8A8E-4D5A-AECD-396BF77A31E5}"));
  int messageTables = 0;
  EnumResourceNamesW(file.get(), RT_MESSAGETABLE, CountResource, reinterpret_cast<LONG_PTR>(&messageTables));
  EXPECT_EQ(1, messageTables);
  EXPECT_NE(nullptr, FindResourceW(file.get(), MAKEINTRESOURCEW(1), RT_MESSAGETABLE)) << "FormatMessage reads table 1";
}

// As the Event Viewer formats an entry: the file as data, the entry's identifier and its two
// insertion strings (the message, then the empty string).
TEST(ModuleResources, MessageTableFormatsEveryIdUpTo65535AsTheFirstInsertionString) {
  DataFile file;
  ASSERT_NE(nullptr, file.get()) << "error " << GetLastError();
  struct Case {
    DWORD id;
    bool formats;
  } const cases[] = {{0, true}, {1000, true}, {65535, true}, {65536, false}, {0x40000000, false},
                     {0xFFFFFFFF, false}};
  for (const Case& c : cases) {
    // FORMAT_MESSAGE_ARGUMENT_ARRAY takes the insertion strings as an array of pointer-sized values.
    DWORD_PTR strings[] = {reinterpret_cast<DWORD_PTR>(L"disk C: below 10 % free"), reinterpret_cast<DWORD_PTR>(L"")};
    wchar_t formatted[256] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, file.get(), c.id,
                                        0, formatted, static_cast<DWORD>(std::size(formatted)),
                                        reinterpret_cast<va_list*>(strings));
    const DWORD error = length == 0 ? GetLastError() : 0;
    const std::wstring text(formatted, length);
    if (!c.formats) {
      EXPECT_EQ(0u, length) << "id " << c.id << " formats as \"" << Narrow(text.c_str()) << "\"";
      EXPECT_EQ(static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND), error) << "id " << c.id;
      continue;
    }
    // The message compiler ends every text with a line break, as the Event Viewer shows it.
    ASSERT_GE(text.size(), 1u) << "id " << c.id << ": error " << error;
    const std::size_t end = text.find_last_not_of(L"\r\n") + 1;
    EXPECT_EQ("disk C: below 10 % free", Narrow(text.substr(0, end).c_str())) << "id " << c.id;
    EXPECT_TRUE(text.substr(end) == L"\r\n" || text.substr(end) == L"\n") << "id " << c.id << ": one line break";
  }
}

}  // namespace
