// Stored defaults written to the real registry (64-bit view) and read by a new logger.
#include <gtest/gtest.h>

#include "logger.h"
#include "system_platform.h"
#include "wine_support.h"

namespace pendrake::winetest {
namespace {

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

TEST(StoredDefaultsWine, AllValuesApplied) {
  SettingsKeySnapshot snapshot;
  HKEY key = snapshot.OpenEmptied();
  ASSERT_NE(key, nullptr);
  SetNumber(key, "bBootFromRegistry", 1);
  SetNumber(key, "iSyslogFacility", 23);
  SetNumber(key, "iSyslogPriority", 0);
  SetNumber(key, "iSyslogPort", 1468);
  SetBytes(key, "szSyslogServer", REG_SZ, std::string("127.0.0.1") + '\0');
  SetBytes(key, "szEventLogComputer", REG_BINARY, "HOSTNAME9");  // no terminator
  SetBytes(key, "szEventLogSource", REG_SZ, std::string("Stored Source") + '\0');
  SetNumber(key, "iEventLogID", 0xFFFFFFFF);
  SetNumber(key, "iEventLogType", 2);

  Logger logger(win32::SystemPlatform());
  EXPECT_EQ(logger.SyslogFacility(), 23);
  EXPECT_EQ(logger.SyslogPriority(), 0);
  EXPECT_EQ(logger.SyslogPort(), 1468);
  EXPECT_EQ(logger.SyslogServer(), Text(u"127.0.0.1"));
  EXPECT_EQ(logger.EventLogComputer(), Text(u"HOSTNAME9"));
  EXPECT_EQ(logger.EventLogSource(), Text(u"Stored Source"));
  EXPECT_EQ(logger.EventLogID(), -1);
  EXPECT_EQ(logger.EventLogType(), 2);
}

TEST(StoredDefaultsWine, SwitchAndLimits) {
  struct Case {
    const char* what;
    DWORD boot;
    DWORD facility;
    DWORD priority;
    DWORD serverType;
    std::string serverBytes;
    Text expectedServer;
    std::int32_t expectedFacility;
    std::int32_t expectedPriority;
  };
  const Case cases[] = {
      {"switched off", 0, 3, 3, REG_SZ, std::string("10.1.1.1") + '\0', std::nullopt, 16, 5},
      {"switched on with 2", 2, 3, 3, REG_SZ, std::string("10.1.1.1") + '\0', Text(u"10.1.1.1"), 3, 3},
      {"out of range facility and priority dropped", 1, 24, 9, REG_SZ, std::string("x") + '\0', Text(u"x"), 16, 5},
      {"1023 bytes without terminator", 1, 0, 0, REG_BINARY, std::string(1023, 'a'),
       Text(Widen(std::string(1023, 'a'))), 0, 0},
      {"1022 bytes with terminator, stored as REG_SZ", 1, 0, 0, REG_SZ, std::string(1022, 'b') + '\0',
       Text(Widen(std::string(1022, 'b'))), 0, 0},
      {"1024 bytes not applied", 1, 0, 0, REG_BINARY, std::string(1024, 'c'), std::nullopt, 0, 0},
      {"1023 bytes and terminator not applied", 1, 0, 0, REG_SZ, std::string(1023, 'd') + '\0', std::nullopt, 0, 0},
      {"nine bytes without terminator", 1, 0, 0, REG_BINARY, "127.0.0.1", Text(u"127.0.0.1"), 0, 0},
  };
  for (const Case& c : cases) {
    SettingsKeySnapshot snapshot;
    HKEY key = snapshot.OpenEmptied();
    ASSERT_NE(key, nullptr);
    SetNumber(key, "bBootFromRegistry", c.boot);
    SetNumber(key, "iSyslogFacility", c.facility);
    SetNumber(key, "iSyslogPriority", c.priority);
    SetBytes(key, "szSyslogServer", c.serverType, c.serverBytes);
    Logger logger(win32::SystemPlatform());
    EXPECT_EQ(logger.SyslogServer(), c.expectedServer)
        << c.what << ": server of " << (logger.SyslogServer() ? logger.SyslogServer()->size() : 0) << " chars";
    EXPECT_EQ(logger.SyslogFacility(), c.expectedFacility) << c.what;
    EXPECT_EQ(logger.SyslogPriority(), c.expectedPriority) << c.what;
  }
}

TEST(StoredDefaultsWine, LaterChangesReachOnlyNewLoggers) {
  SettingsKeySnapshot snapshot;
  HKEY key = snapshot.OpenEmptied();
  ASSERT_NE(key, nullptr);
  SetNumber(key, "bBootFromRegistry", 1);
  SetNumber(key, "iSyslogPort", 1000);
  Logger early(win32::SystemPlatform());
  SetNumber(key, "iSyslogPort", 2000);
  Logger late(win32::SystemPlatform());
  EXPECT_EQ(early.SyslogPort(), 1000);
  EXPECT_EQ(late.SyslogPort(), 2000);
}

TEST(StoredDefaultsWine, SnapshotRestoresTheKey) {
  // The key as this suite found it must survive the suite: a second snapshot around a change
  // proves the restore path itself.
  HKEY probe = nullptr;
  const bool existedBefore =
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Orvelle\\Pendrake", 0, KEY_READ | KEY_WOW64_64KEY, &probe) ==
      ERROR_SUCCESS;
  if (probe) RegCloseKey(probe);
  {
    SettingsKeySnapshot snapshot;
    HKEY key = snapshot.OpenEmptied();
    ASSERT_NE(key, nullptr);
    SetNumber(key, "bBootFromRegistry", 1);
  }
  probe = nullptr;
  const bool existsAfter =
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Orvelle\\Pendrake", 0, KEY_READ | KEY_WOW64_64KEY, &probe) ==
      ERROR_SUCCESS;
  if (probe) RegCloseKey(probe);
  EXPECT_EQ(existsAfter, existedBefore);
}

}  // namespace
}  // namespace pendrake::winetest
