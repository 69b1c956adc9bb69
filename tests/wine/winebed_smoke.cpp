// Proves the test bed itself: a Windows test program runs in the private prefix, with its
// registry, under the persistent server.
#include <windows.h>

#include <gtest/gtest.h>

TEST(WineBed, RunsInsideThePrivatePrefixWithAWritableMachineRegistry) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\PendrakeTestBed", 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr));
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\PendrakeTestBed"));
}
