// The client writes the component settings key; a logger object created afterwards reads it.
#include <windows.h>

#include <gtest/gtest.h>

#include "Global.h"
#include "Registry.h"
#include "RegistryFixture.h"
#include "client/core/Settings.h"
#include "logger.h"
#include "system_platform.h"

namespace pendrake::client {
namespace {

class SettingsRoundTrip : public ::testing::Test {
 protected:
  KeySnapshot snapshot_{HKEY_LOCAL_MACHINE, kSettingsKeyPath};
  HKEY key_ = nullptr;
  void SetUp() override {
    ASSERT_EQ(ERROR_SUCCESS, OpenOrCreateKey(HKEY_LOCAL_MACHINE, kSettingsKeyPath, key_));
    ASSERT_NE(nullptr, key_);
  }
  void TearDown() override {
    if (key_) RegCloseKey(key_);
  }
};

TEST_F(SettingsRoundTrip, SettingsKeyLivesInThe64BitView) {
  ASSERT_EQ(ERROR_SUCCESS, SetDwordValue(key_, L"iSyslogPort", 4321));
  HKEY view = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Orvelle\\Pendrake", 0, KEY_READ | KEY_WOW64_64KEY, &view));
  EXPECT_EQ(4321, ReadDword(view, L"iSyslogPort"));
  RegCloseKey(view);
}

TEST_F(SettingsRoundTrip, ALoggerCreatedAfterASaveHoldsAllNineValues) {
  RegistrySettingsStore store(key_);
  SettingsRecord record;
  record.bBootFromRegistry = 1;
  record.iSyslogFacility = 23;
  record.iSyslogPriority = 3;
  record.iSyslogPort = 1514;
  record.szSyslogServer = u"127.0.0.1";
  record.szEventLogComputer = u"LOGHOST";
  record.szEventLogSource = u"Pendrake Round Trip";
  record.iEventLogID = 4711;
  record.iEventLogType = 2;
  SaveSettings(store, record);

  EXPECT_EQ(record, LoadSettings(store)) << "the client reads back what it wrote";

  Logger logger(win32::SystemPlatform());
  EXPECT_EQ(23, logger.SyslogFacility());
  EXPECT_EQ(3, logger.SyslogPriority());
  EXPECT_EQ(1514, logger.SyslogPort());
  EXPECT_EQ(std::optional<std::u16string>(u"127.0.0.1"), logger.SyslogServer());
  EXPECT_EQ(std::optional<std::u16string>(u"LOGHOST"), logger.EventLogComputer());
  EXPECT_EQ(std::optional<std::u16string>(u"Pendrake Round Trip"), logger.EventLogSource());
  EXPECT_EQ(4711, logger.EventLogID());
  EXPECT_EQ(2, logger.EventLogType());
}

TEST_F(SettingsRoundTrip, UncheckedSaveSwitchesTheStoredDefaultsOff) {
  RegistrySettingsStore store(key_);
  SettingsRecord record;
  record.iSyslogFacility = 3;
  record.iSyslogPort = 1514;
  SaveSettings(store, record);
  DefaultsPageState page;
  page.enableDefaultsChecked = false;
  TakeDefaultsFromPage(page, record);
  SaveSettings(store, record);
  EXPECT_EQ(0, ReadDword(key_, L"bBootFromRegistry"));
  EXPECT_EQ(1514, ReadDword(key_, L"iSyslogPort")) << "the other values are written unchanged";

  Logger logger(win32::SystemPlatform());
  EXPECT_NE(1514, logger.SyslogPort()) << "the component ignores stored defaults that are switched off";
  EXPECT_EQ(16, logger.SyslogFacility());
}

TEST_F(SettingsRoundTrip, EmptyTextsAreRemovedSoBothSidesFallBack) {
  RegistrySettingsStore store(key_);
  SettingsRecord record;
  record.szSyslogServer = u"10.9.8.7";
  SaveSettings(store, record);
  record.szSyslogServer.clear();
  record.szEventLogSource.clear();
  SaveSettings(store, record);
  EXPECT_EQ(static_cast<LONG>(ERROR_FILE_NOT_FOUND), ReadRaw(key_, L"szSyslogServer").result);
  EXPECT_EQ(static_cast<LONG>(ERROR_FILE_NOT_FOUND), ReadRaw(key_, L"szEventLogSource").result);
  const SettingsRecord reloaded = LoadSettings(store);
  EXPECT_EQ(u"127.0.0.1", reloaded.szSyslogServer);
  EXPECT_EQ(u"Orvelle Pendrake", reloaded.szEventLogSource);
  Logger logger(win32::SystemPlatform());
  EXPECT_EQ(std::optional<std::u16string>(u"Orvelle Pendrake"), logger.EventLogSource())
      << "the component's own default source";
}

TEST_F(SettingsRoundTrip, NonAsciiTextsReachTheComponentThroughTheAnsiCodePage) {
  const std::u16string text = GetACP() == 1253 ? u"Πηγή Ωμέγα" : u"Grüße Müller";
  RegistrySettingsStore store(key_);
  SettingsRecord record;
  record.szEventLogSource = text;
  SaveSettings(store, record);
  EXPECT_EQ(text, LoadSettings(store).szEventLogSource);
  Logger logger(win32::SystemPlatform());
  EXPECT_EQ(std::optional<std::u16string>(text), logger.EventLogSource());
}

}  // namespace
}  // namespace pendrake::client
