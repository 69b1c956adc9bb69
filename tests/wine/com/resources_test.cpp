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
  HRSRC table = FindResourceW(file.get(), MAKEINTRESOURCEW(1), RT_MESSAGETABLE);
  ASSERT_NE(nullptr, table) << "FormatMessage reads table 1";
  EXPECT_EQ(5124u, SizeofResource(file.get(), table)) << "256 blocks sharing one array of 256 entries";
}

// As the Event Viewer formats an entry: the file as data, the entry's identifier and its two
// insertion strings (the message, then the empty string), through both character sets. The
// expected texts are what the earlier table of 65536 entries of its own gave, byte for byte;
// the ids sit at the edges of the shared 256-entry blocks.
TEST(ModuleResources, MessageTableFormatsEveryIdUpTo65535AsTheFirstInsertionString) {
  DataFile file;
  ASSERT_NE(nullptr, file.get()) << "error " << GetLastError();
  const std::string formattedOk = "disk C: below 10 % free\r\n";
  struct Case {
    DWORD id;
    std::string expected;  // empty: no message, ERROR_MR_MID_NOT_FOUND
  } const cases[] = {{0, formattedOk},     {1, formattedOk},     {255, formattedOk}, {256, formattedOk},
                     {1000, formattedOk},  {32767, formattedOk}, {65535, formattedOk}, {65536, ""},
                     {0x40000000, ""},     {0xFFFFFFFF, ""}};
  for (const Case& c : cases) {
    // FORMAT_MESSAGE_ARGUMENT_ARRAY takes the insertion strings as an array of pointer-sized values.
    DWORD_PTR wideStrings[] = {reinterpret_cast<DWORD_PTR>(L"disk C: below 10 % free"), reinterpret_cast<DWORD_PTR>(L"")};
    wchar_t wide[256] = {};
    const DWORD flags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY;
    const DWORD wideLength = FormatMessageW(flags, file.get(), c.id, 0, wide, static_cast<DWORD>(std::size(wide)),
                                            reinterpret_cast<va_list*>(wideStrings));
    const DWORD wideError = wideLength == 0 ? GetLastError() : 0;
    DWORD_PTR ansiStrings[] = {reinterpret_cast<DWORD_PTR>("disk C: below 10 % free"), reinterpret_cast<DWORD_PTR>("")};
    char ansi[256] = {};
    const DWORD ansiLength = FormatMessageA(flags, file.get(), c.id, 0, ansi, static_cast<DWORD>(std::size(ansi)),
                                            reinterpret_cast<va_list*>(ansiStrings));
    const DWORD ansiError = ansiLength == 0 ? GetLastError() : 0;
    const DWORD expectedError = c.expected.empty() ? static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND) : 0;
    EXPECT_TRUE(std::wstring(wide, wideLength) == std::wstring(c.expected.begin(), c.expected.end()))
        << "id " << c.id << ": W gave \"" << Narrow(std::wstring(wide, wideLength).c_str()) << "\"";
    EXPECT_EQ(c.expected, std::string(ansi, ansiLength)) << "id " << c.id << ": A";
    EXPECT_EQ(expectedError, wideError) << "id " << c.id << ": W";
    EXPECT_EQ(expectedError, ansiError) << "id " << c.id << ": A";
  }
}

}  // namespace
