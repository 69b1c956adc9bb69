// The client's registry store against the real registry: stored forms, defaults, deletion,
// the 64-bit view of the settings key, and the key a user may read but not write.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "Global.h"
#include "Registry.h"
#include "RegistryFixture.h"

namespace pendrake::client {
namespace {

constexpr wchar_t kTestKey[] = L"SOFTWARE\\Orvelle\\PendrakeClientTest";

// A fresh key under HKEY_CURRENT_USER for each test, removed afterwards.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    ASSERT_EQ(ERROR_SUCCESS, OpenOrCreateKey(HKEY_CURRENT_USER, kTestKey, key_));
    ASSERT_NE(nullptr, key_);
  }
  void TearDown() override {
    if (key_) RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
  }
  RawValue Raw(const wchar_t* name) { return ReadRaw(key_, name); }
  void PutRaw(const wchar_t* name, DWORD type, const std::string& bytes) {
    // The 8-bit function: a text's bytes are then taken in the ANSI code page, as the client reads them.
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, ToAnsi(name).c_str(), 0, type,
                                            reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
  }
  HKEY key_ = nullptr;
};

TEST_F(RegistryTest, OpenOrCreateCreatesAMissingKeyAndOpensAnExistingOne) {
  constexpr wchar_t kChild[] = L"SOFTWARE\\Orvelle\\PendrakeClientTest\\Child";
  HKEY child = nullptr;
  EXPECT_EQ(ERROR_SUCCESS, OpenOrCreateKey(HKEY_CURRENT_USER, kChild, child)) << "created";
  ASSERT_NE(nullptr, child);
  RegCloseKey(child);
  child = nullptr;
  EXPECT_EQ(ERROR_SUCCESS, OpenOrCreateKey(HKEY_CURRENT_USER, kChild, child)) << "opened";
  EXPECT_EQ(ERROR_SUCCESS, LastRegistryResult());
  ASSERT_NE(nullptr, child);
  EXPECT_EQ(ERROR_SUCCESS, SetDwordValue(child, L"n", 1)) << "the handle may write";
  RegCloseKey(child);
}

TEST_F(RegistryTest, KeyThatCannotBeCreatedLeavesTheHandleZero) {
  HKEY key = reinterpret_cast<HKEY>(1);
  // A path below a value-less root that does not exist as a predefined key.
  const LONG result = OpenOrCreateKey(reinterpret_cast<HKEY>(0x12345678), L"Nowhere", key);
  EXPECT_NE(ERROR_SUCCESS, result);
  EXPECT_EQ(result, LastRegistryResult());
  EXPECT_EQ(nullptr, key);
  // Reads through the zero handle give the defaults, writes fail.
  std::wstring text = L"before";
  EXPECT_NE(ERROR_SUCCESS, QueryStringValue(key, L"x", text, L"default"));
  EXPECT_EQ(L"default", text);
  int32_t number = 1;
  EXPECT_NE(ERROR_SUCCESS, QueryDwordValue(key, L"x", number, 42));
  EXPECT_EQ(42, number);
  EXPECT_NE(ERROR_SUCCESS, SetDwordValue(key, L"x", 1));
}

TEST_F(RegistryTest, TextsRoundTripInTheirStoredForm) {
  const std::wstring kTexts[] = {
      L"a", L"127.0.0.1", L"Orvelle Pendrake", L"  blanks kept  ", std::wstring(255, L'x'),
      std::wstring(254, L'y') + L"z",
  };
  for (const std::wstring& text : kTexts) {
    SCOPED_TRACE(ToAnsi(text));
    ASSERT_EQ(ERROR_SUCCESS, SetStringValue(key_, L"szText", text));
    const RawValue raw = Raw(L"szText");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), raw.type);
    EXPECT_EQ(ToAnsi(text) + '\0', raw.bytes) << "ANSI text and one zero byte";
    std::wstring back = L"unchanged";
    EXPECT_EQ(ERROR_SUCCESS, QueryStringValue(key_, L"szText", back, L"default"));
    EXPECT_EQ(text, back);
  }
}

TEST_F(RegistryTest, EmptyTextDeletesTheValue) {
  ASSERT_EQ(ERROR_SUCCESS, SetStringValue(key_, L"szSyslogServer", L"10.0.0.5"));
  EXPECT_EQ(ERROR_SUCCESS, SetStringValue(key_, L"szSyslogServer", L""));
  EXPECT_EQ(ERROR_SUCCESS, LastRegistryResult());
  EXPECT_EQ(static_cast<LONG>(ERROR_FILE_NOT_FOUND), Raw(L"szSyslogServer").result);
  // Deleting what is not there is no error for the caller; the last result keeps the truth.
  EXPECT_EQ(ERROR_SUCCESS, SetStringValue(key_, L"szSyslogServer", L""));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, LastRegistryResult());
  std::wstring text = L"x";
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, QueryStringValue(key_, L"szSyslogServer", text, L"127.0.0.1"));
  EXPECT_EQ(L"127.0.0.1", text);
}

TEST_F(RegistryTest, StringReadOutcomes) {
  struct Case {
    const char* what;
    DWORD type;      // 0: leave the value missing
    std::string bytes;
    LONG result;
    const wchar_t* text;  // what the caller's "keep" text becomes
  };
  const Case kCases[] = {
      {"missing value", 0, "", ERROR_FILE_NOT_FOUND, L"default"},
      {"255 characters", REG_SZ, std::string(255, 'q') + '\0', ERROR_SUCCESS, nullptr},
      {"256 characters need 257 bytes", REG_SZ, std::string(256, 'q') + '\0', ERROR_MORE_DATA, L"default"},
      {"300 bytes", REG_BINARY, std::string(300, 'q'), ERROR_MORE_DATA, L"default"},
      {"value without data", REG_SZ, "", ERROR_SUCCESS, L"keep"},
      {"binary without data", REG_BINARY, "", ERROR_SUCCESS, L"keep"},
      {"only the terminator", REG_SZ, std::string(1, '\0'), ERROR_SUCCESS, L""},
      {"text without terminator keeps its last character", REG_BINARY, "abc", ERROR_SUCCESS, L"abc"},
      {"number read as text", REG_DWORD, std::string("\x41\x42\0\0", 4), ERROR_SUCCESS, L"AB"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    RegDeleteValueW(key_, L"v");
    if (c.type != 0) PutRaw(L"v", c.type, c.bytes);
    std::wstring text = L"keep";
    EXPECT_EQ(c.result, QueryStringValue(key_, L"v", text, L"default"));
    EXPECT_EQ(c.text ? std::wstring(c.text) : std::wstring(255, L'q'), text);
  }
}

TEST_F(RegistryTest, NumbersRoundTripAsLittleEndianDwords) {
  for (int32_t n : {0, 1, 514, 65535, -1, INT32_MIN, INT32_MAX, 0x12345678}) {
    SCOPED_TRACE(n);
    ASSERT_EQ(ERROR_SUCCESS, SetDwordValue(key_, L"iNumber", n));
    const RawValue raw = Raw(L"iNumber");
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), raw.type);
    const uint32_t u = static_cast<uint32_t>(n);
    EXPECT_EQ(std::string({char(u), char(u >> 8), char(u >> 16), char(u >> 24)}), raw.bytes);
    int32_t back = 7;
    EXPECT_EQ(ERROR_SUCCESS, QueryDwordValue(key_, L"iNumber", back, 99));
    EXPECT_EQ(n, back);
  }
}

TEST_F(RegistryTest, NumberReadOutcomes) {
  struct Case {
    const char* what;
    DWORD type;
    std::string bytes;
    LONG result;
    int32_t number;
  };
  const Case kCases[] = {
      {"missing", 0, "", ERROR_FILE_NOT_FOUND, 514},
      {"stored 514", REG_DWORD, std::string("\x02\x02\0\0", 4), ERROR_SUCCESS, 514},
      {"two bytes fill the low-order bytes", REG_BINARY, "\x34\x12", ERROR_SUCCESS, 0x1234},
      {"one byte", REG_BINARY, "\xFF", ERROR_SUCCESS, 0xFF},
      {"short text", REG_SZ, std::string("ab\0", 3), ERROR_SUCCESS, 0x006261},
      {"five bytes", REG_BINARY, "12345", ERROR_MORE_DATA, 514},
      {"no data", REG_BINARY, "", ERROR_SUCCESS, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    RegDeleteValueW(key_, L"v");
    if (c.type != 0) PutRaw(L"v", c.type, c.bytes);
    int32_t number = -7;
    EXPECT_EQ(c.result, QueryDwordValue(key_, L"v", number, 514));
    EXPECT_EQ(c.number, number);
  }
}

TEST_F(RegistryTest, NonAsciiTextsUseTheAnsiCodePageSetByTheLocale) {
  // Run once under LANG=C.UTF-8 (1252) and once under LANG=el_GR.UTF-8 (1253).
  const UINT acp = GetACP();
  const wchar_t* text = acp == 1253 ? L"Διακομιστής Ωμέγα" : L"Grüße Müller";
  const std::string ansi = acp == 1253 ? "\xC4\xE9\xE1\xEA\xEF\xEC\xE9\xF3\xF4\xDE\xF2 \xD9\xEC\xDD\xE3\xE1"
                                       : "Gr\xFC\xDF" "e M\xFCller";
  if (const char* expected = getenv("PENDRAKE_EXPECT_ACP")) {
    ASSERT_EQ(static_cast<UINT>(atoi(expected)), acp) << "the locale of this run";
  }
  ASSERT_TRUE(acp == 1252 || acp == 1253) << acp;
  ASSERT_EQ(ERROR_SUCCESS, SetStringValue(key_, L"szText", text));
  EXPECT_EQ(ansi + '\0', Raw(L"szText").bytes);
  std::wstring back;
  EXPECT_EQ(ERROR_SUCCESS, QueryStringValue(key_, L"szText", back, L""));
  EXPECT_EQ(std::wstring(text), back);
  // 255 characters of the code page's upper half still fit the 256-byte buffer.
  const std::wstring longText(255, acp == 1253 ? L'Ω' : L'ü');
  ASSERT_EQ(ERROR_SUCCESS, SetStringValue(key_, L"szLong", longText));
  EXPECT_EQ(ERROR_SUCCESS, QueryStringValue(key_, L"szLong", back, L""));
  EXPECT_EQ(longText, back);
}

TEST_F(RegistryTest, ReadableButNotWritableKeyShowsValuesAndIgnoresSaves) {
  ASSERT_EQ(ERROR_SUCCESS, SetDwordValue(key_, L"iSyslogPort", 1514));
  ASSERT_TRUE(DenyWrite(key_)) << "could not set a read-only security descriptor";
  HKEY probe = nullptr;
  const LONG writeOpen = RegOpenKeyExW(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ | KEY_WRITE, &probe);
  if (probe) RegCloseKey(probe);
  if (writeOpen == ERROR_SUCCESS) {
    AllowWrite(key_);
    GTEST_SKIP() << "this registry does not enforce key security descriptors";
  }
  HKEY readOnly = nullptr;
  EXPECT_EQ(ERROR_SUCCESS, OpenOrCreateKey(HKEY_CURRENT_USER, kTestKey, readOnly));
  ASSERT_NE(nullptr, readOnly) << "the fallback opens the key with what the user may do";
  int32_t port = 0;
  EXPECT_EQ(ERROR_SUCCESS, QueryDwordValue(readOnly, L"iSyslogPort", port, 514));
  EXPECT_EQ(1514, port);
  EXPECT_EQ(ERROR_ACCESS_DENIED, SetDwordValue(readOnly, L"iSyslogPort", 2));
  EXPECT_EQ(ERROR_ACCESS_DENIED, SetStringValue(readOnly, L"szSyslogServer", L"x"));
  RegCloseKey(readOnly);
  AllowWrite(key_);
  EXPECT_EQ(1514, ReadDword(key_, L"iSyslogPort")) << "the refused saves changed nothing";
}

}  // namespace
}  // namespace pendrake::client
