// The main window's copy of the stored defaults, its fallbacks, and how it is read from and
// written to the component settings key; plus the three fixed lists of both tabs.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace pendrake::client {

// The settings record, under the registry value names. The initial values are the client's
// own fallbacks for a value the registry does not hold.
struct SettingsRecord {
  int32_t bBootFromRegistry = 1;
  int32_t iSyslogFacility = 16;
  int32_t iSyslogPriority = 6;
  int32_t iSyslogPort = 514;
  std::u16string szSyslogServer = u"127.0.0.1";
  std::u16string szEventLogComputer;
  std::u16string szEventLogSource = u"Orvelle Pendrake";
  int32_t iEventLogID = 0;
  int32_t iEventLogType = 4;

  friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

// Registry value names.
namespace value {
inline constexpr char16_t kBootFromRegistry[] = u"bBootFromRegistry";
inline constexpr char16_t kSyslogFacility[] = u"iSyslogFacility";
inline constexpr char16_t kSyslogPriority[] = u"iSyslogPriority";
inline constexpr char16_t kSyslogPort[] = u"iSyslogPort";
inline constexpr char16_t kSyslogServer[] = u"szSyslogServer";
inline constexpr char16_t kEventLogComputer[] = u"szEventLogComputer";
inline constexpr char16_t kEventLogSource[] = u"szEventLogSource";
inline constexpr char16_t kEventLogID[] = u"iEventLogID";
inline constexpr char16_t kEventLogType[] = u"iEventLogType";
}  // namespace value

// The store the record is read from and written to; on Windows the Registry module over
// ghSettingsKey (RegistrySettingsStore in Registry.h), in tests a fake. The operations have
// the Registry module's semantics: a failed read sets the default; an empty text deletes the
// value. Results are Win32 codes: the load does not examine them, the save reports the first
// failure.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual int32_t QueryDword(const char16_t* name, int32_t& number, int32_t defaultNumber) = 0;
  virtual int32_t QueryString(const char16_t* name, std::u16string& text,
                              const std::u16string& defaultText) = 0;
  virtual int32_t SetDword(const char16_t* name, int32_t number) = 0;
  virtual int32_t SetString(const char16_t* name, const std::u16string& text) = 0;
};

// Loading: reads the nine values in the order bBootFromRegistry, iSyslogFacility,
// iSyslogPriority, iSyslogPort, szSyslogServer, szEventLogComputer, szEventLogSource,
// iEventLogID, iEventLogType, each with the fallback as its default. Stored values are kept as
// they are (also a facility or priority outside the lists; see the list positions below).
SettingsRecord LoadSettings(SettingsStore& store);

// Writes all nine values in the loading order (numbers as DWORDs, texts as strings; an empty
// text removes its value), also after one has failed. Returns 0 when all nine were stored,
// else the Win32 code of the first write that failed.
int32_t SaveSettings(SettingsStore& store, const SettingsRecord& record);

// What the defaults tab's controls hold at the moment of a save.
struct DefaultsPageState {
  bool enableDefaultsChecked = false;
  int32_t facilityPosition = -1;   // selected list position, -1 for none
  int32_t priorityPosition = -1;   // selected list position, -1 for none
  std::u16string portText;
  std::u16string server;
  std::u16string computer;
  std::u16string source;
  std::u16string eventIdText;
  int32_t eventTypeItemData = -1;  // item data of the selected entry, -1 for none
};

// SaveDefaults' first step: takes the controls into the record. Checked: bBootFromRegistry 1
// and every field from its control. Unchecked: bBootFromRegistry 0 and nothing else changes
// (the disabled controls are not read). A number field that is empty or holds no whole
// number in range (port 0..65535, event ID 0..2147483647), a list without a selection, or an
// event type item data that is not 0, 1, 2 or 4 keeps the record's previous value for that
// field, so no save ever stores a value the page did not show as valid. A port field that
// still shows PortTextFor(record's port) keeps the record's port, so a stored negative port is
// never rewritten without an edit.
void TakeDefaultsFromPage(const DefaultsPageState& page, SettingsRecord& record);

// The text both port fields show for a stored iSyslogPort. A value of 0 or more shows as its
// number (one above 65535 then meets the port check's message). A negative value shows as the
// port the component sends to: it takes the low 16 bits of the stored number, so -1 is 65535
// and -65536 is 0, the syslog service port. TakeDefaultsFromPage keeps such a value as it is
// stored while the field still shows this text.
std::u16string PortTextFor(int32_t storedPort);

// True when the check box is shown checked for the stored flag (exactly 1; 2 shows unchecked).
bool ShowsDefaultsEnabled(int32_t bootFromRegistry);

// The fixed lists of both tabs: the same texts in every language.
struct ListEntry {
  const char16_t* text;
  int32_t itemData;  // the code the entry stands for
};
std::span<const ListEntry> FacilityList();   // 24 entries, position = code
std::span<const ListEntry> PriorityList();   //  8 entries, position = code
std::span<const ListEntry> EventTypeList();  //  4 entries, codes 0, 1, 2, 4 as item data

// The list position to select for a record value. A facility outside 0..23 or a priority
// outside 0..7 (a hand-edited key) selects the client fallback (16 / 6) so the list always
// shows a valid choice; the record keeps the stored value until a checked save.
int32_t FacilityPositionFor(int32_t facility);
int32_t PriorityPositionFor(int32_t priority);
// The first entry whose item data equals `type`, or position 0 ("SUCCESS (0)") for none.
int32_t EventTypePositionFor(int32_t type);

}  // namespace pendrake::client
