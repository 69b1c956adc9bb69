#include "client/core/Settings.h"

#include <limits>

#include "client/core/InputRules.h"

namespace pendrake::client {

SettingsRecord LoadSettings(SettingsStore& store) {
  const SettingsRecord fallback;
  SettingsRecord record;
  store.QueryDword(value::kBootFromRegistry, record.bBootFromRegistry, fallback.bBootFromRegistry);
  store.QueryDword(value::kSyslogFacility, record.iSyslogFacility, fallback.iSyslogFacility);
  store.QueryDword(value::kSyslogPriority, record.iSyslogPriority, fallback.iSyslogPriority);
  store.QueryDword(value::kSyslogPort, record.iSyslogPort, fallback.iSyslogPort);
  store.QueryString(value::kSyslogServer, record.szSyslogServer, fallback.szSyslogServer);
  store.QueryString(value::kEventLogComputer, record.szEventLogComputer, fallback.szEventLogComputer);
  store.QueryString(value::kEventLogSource, record.szEventLogSource, fallback.szEventLogSource);
  store.QueryDword(value::kEventLogID, record.iEventLogID, fallback.iEventLogID);
  store.QueryDword(value::kEventLogType, record.iEventLogType, fallback.iEventLogType);
  return record;
}

int32_t SaveSettings(SettingsStore& store, const SettingsRecord& record) {
  // Every value is written even after one failed, so a key that refuses only some of them
  // holds as much of the record as it takes; the first failure is what the caller reports.
  int32_t first = 0;
  auto keep = [&first](int32_t result) {
    if (first == 0) first = result;
  };
  keep(store.SetDword(value::kBootFromRegistry, record.bBootFromRegistry));
  keep(store.SetDword(value::kSyslogFacility, record.iSyslogFacility));
  keep(store.SetDword(value::kSyslogPriority, record.iSyslogPriority));
  keep(store.SetDword(value::kSyslogPort, record.iSyslogPort));
  keep(store.SetString(value::kSyslogServer, record.szSyslogServer));
  keep(store.SetString(value::kEventLogComputer, record.szEventLogComputer));
  keep(store.SetString(value::kEventLogSource, record.szEventLogSource));
  keep(store.SetDword(value::kEventLogID, record.iEventLogID));
  keep(store.SetDword(value::kEventLogType, record.iEventLogType));
  return first;
}

namespace {

constexpr ListEntry kFacilities[] = {
    {u"KERN (0)", 0},
    {u"USER (1)", 1},
    {u"MAIL (2)", 2},
    {u"DAEMON (3)", 3},
    {u"AUTH (4)", 4},
    {u"SYSLOG (5)", 5},
    {u"LPR (6)", 6},
    {u"NEWS (7)", 7},
    {u"UUCP (8)", 8},
    {u"CRON (9)", 9},
    {u"SYSTEMRESERVED10 (10)", 10},
    {u"SYSTEMRESERVED11 (11)", 11},
    {u"SYSTEMRESERVED12 (12)", 12},
    {u"SYSTEMRESERVED13 (13)", 13},
    {u"SYSTEMRESERVED14 (14)", 14},
    {u"SYSTEMRESERVED15 (15)", 15},
    {u"LOCAL0 (16)", 16},
    {u"LOCAL1 (17)", 17},
    {u"LOCAL2 (18)", 18},
    {u"LOCAL3 (19)", 19},
    {u"LOCAL4 (20)", 20},
    {u"LOCAL5 (21)", 21},
    {u"LOCAL6 (22)", 22},
    {u"LOCAL7 (23)", 23},
};

constexpr ListEntry kPriorities[] = {
    {u"EMERG (0)", 0}, {u"ALERT (1)", 1},   {u"CRIT (2)", 2}, {u"ERR (3)", 3},
    {u"WARNING (4)", 4}, {u"NOTICE (5)", 5}, {u"INFO (6)", 6}, {u"DEBUG (7)", 7},
};

constexpr ListEntry kEventTypes[] = {
    {u"SUCCESS (0)", 0},
    {u"ERROR_TYPE (1)", 1},
    {u"WARNING_TYPE (2)", 2},
    {u"INFORMATION_TYPE (4)", 4},
};

bool InList(std::span<const ListEntry> list, int32_t position) {
  return position >= 0 && static_cast<size_t>(position) < list.size();
}

}  // namespace

std::span<const ListEntry> FacilityList() { return kFacilities; }
std::span<const ListEntry> PriorityList() { return kPriorities; }
std::span<const ListEntry> EventTypeList() { return kEventTypes; }

int32_t FacilityPositionFor(int32_t facility) {
  return InList(kFacilities, facility) ? facility : SettingsRecord{}.iSyslogFacility;
}

int32_t PriorityPositionFor(int32_t priority) {
  return InList(kPriorities, priority) ? priority : SettingsRecord{}.iSyslogPriority;
}

int32_t EventTypePositionFor(int32_t type) {
  for (size_t i = 0; i < std::size(kEventTypes); ++i) {
    if (kEventTypes[i].itemData == type) return static_cast<int32_t>(i);
  }
  return 0;
}

std::u16string PortTextFor(int32_t storedPort) {
  if (storedPort >= 0) return DecimalText(storedPort);
  return DecimalText(static_cast<uint32_t>(storedPort) & 0xFFFFu);
}

bool ShowsDefaultsEnabled(int32_t bootFromRegistry) { return bootFromRegistry == 1; }

void TakeDefaultsFromPage(const DefaultsPageState& page, SettingsRecord& record) {
  if (!page.enableDefaultsChecked) {
    record.bBootFromRegistry = 0;
    return;
  }
  record.bBootFromRegistry = 1;
  if (InList(kFacilities, page.facilityPosition)) record.iSyslogFacility = page.facilityPosition;
  if (InList(kPriorities, page.priorityPosition)) record.iSyslogPriority = page.priorityPosition;
  if (page.portText != PortTextFor(record.iSyslogPort)) {
    if (auto port = ParseDigits(page.portText, 65535)) record.iSyslogPort = *port;
  }
  record.szSyslogServer = page.server;
  record.szEventLogComputer = page.computer;
  record.szEventLogSource = page.source;
  if (auto id = ParseDigits(page.eventIdText, std::numeric_limits<int32_t>::max())) record.iEventLogID = *id;
  for (const ListEntry& entry : kEventTypes) {
    if (entry.itemData == page.eventTypeItemData) record.iEventLogType = entry.itemData;
  }
}

}  // namespace pendrake::client
