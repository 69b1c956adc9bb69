// The main window worked from outside, as an administrator would: what it shows for the
// stored defaults, what it writes back, its input checks, the test buttons (loopback
// datagrams, the event log trace), the script files and the layout.
//
// Every test starts its own PendrakeClient.exe with szLanguage preset (so the first-run window
// stays away) and puts the client key, the settings key and the component's registration back
// as it found them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../../client/win32/ControlIds.h"
#include "GuiDriver.h"
#include "client/core/ErrorText.h"
#include "client/core/Scripts.h"

namespace gd = guidriver;
using namespace std::chrono_literals;

namespace {

const std::wstring kSettingsKey = L"SOFTWARE\\Orvelle\\Pendrake";
const std::wstring kClientKey = L"SOFTWARE\\Orvelle\\Pendrake\\Client";
constexpr wchar_t kMainClass[] = L"PendrakeClientMain";
constexpr wchar_t kTitle[] = L"Pendrake Client";

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

bool ProgIdRegistered() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Orvelle.Pendrake\\CLSID", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

std::wstring ComponentDll() {
  const std::wstring dll = gd::WinePath(gd::Env(L"PENDRAKE_COMPONENT_DLL"));
  if (dll.empty() || GetFileAttributesW(dll.c_str()) == INVALID_FILE_ATTRIBUTES) return L"";
  return dll;
}

bool RunRegsvr(const std::wstring& switches, const std::wstring& dll) {
  const auto rc = gd::RunAndWait(L"regsvr32.exe " + switches + L" \"" + dll + L"\"");
  return rc && *rc == 0;
}

// Makes the component registered (or not) for one test and puts its registration back after.
class ComponentState {
 public:
  explicit ComponentState(bool wanted) : dll_(ComponentDll()), was_(ProgIdRegistered()) {
    if (wanted == was_) {
      ok_ = true;
    } else if (!dll_.empty()) {
      ok_ = RunRegsvr(wanted ? L"/s" : L"/u /s", dll_) && ProgIdRegistered() == wanted;
      changed_ = true;
    }
  }
  ComponentState(const ComponentState&) = delete;
  ComponentState& operator=(const ComponentState&) = delete;
  ~ComponentState() {
    if (changed_) RunRegsvr(was_ ? L"/s" : L"/u /s", dll_);
  }
  bool Ok() const { return ok_; }

 private:
  std::wstring dll_;
  bool was_;
  bool ok_ = false;
  bool changed_ = false;
};

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(gd::Env(L"PENDRAKE_CLIENT_EXE").empty()) << "PENDRAKE_CLIENT_EXE is not set";
    gd::WriteString(HKEY_CURRENT_USER, kClientKey, L"szLanguage", L"EN");
  }

  // The settings key holds exactly `dwords` and `strings` (nothing else); `present` false
  // removes the key.
  void PrepareSettings(const std::vector<std::pair<std::wstring, DWORD>>& dwords = {},
                       const std::vector<std::pair<std::wstring, std::wstring>>& strings = {},
                       bool present = true) {
    gd::DeleteKeyValues(HKEY_LOCAL_MACHINE, kSettingsKey);
    if (!present) {
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey.c_str(), KEY_WOW64_64KEY, 0);
      ASSERT_FALSE(gd::KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
      return;
    }
    for (const auto& [name, value] : dwords) gd::WriteDword(HKEY_LOCAL_MACHINE, kSettingsKey, name, value);
    for (const auto& [name, value] : strings) gd::WriteString(HKEY_LOCAL_MACHINE, kSettingsKey, name, value);
  }

  void Start() {
    client_ = gd::Process::Start(gd::Env(L"PENDRAKE_CLIENT_EXE"));
    ASSERT_TRUE(client_.Started()) << "PendrakeClient.exe did not start";
    main_ = gd::WaitForTopWindow(client_.Id(), kMainClass, std::wstring(kTitle), 20s);
    ASSERT_NE(main_, nullptr) << "no main window";
    // A first-run window or a message box would mean the language preset did not work.
    ASSERT_TRUE(NoMessageBoxNow()) << "unexpected dialog at start";
  }

  HWND C(int id) {
    HWND w = GetDlgItem(main_, id);
    EXPECT_NE(w, nullptr) << "no control " << id;
    return w;
  }
  std::wstring Text(int id) { return gd::GetText(C(id)); }
  void ShowTab(int index) { gd::SelectTab(C(IDC_SSTAB), index); }

  // Waits for a message box over the main window, checks it and presses OK.
  gd::MessageBoxInfo AnswerMessageBox() {
    HWND box = gd::WaitForDialog(client_.Id(), main_, 15s);
    EXPECT_NE(box, nullptr) << "no message box";
    if (!box) return {};
    gd::MessageBoxInfo info = gd::ReadMessageBox(box);
    EXPECT_EQ(info.title, kTitle);
    gd::PressDialogButton(box, IDOK);
    EXPECT_TRUE(gd::WaitUntil([&] { return !IsWindow(box); })) << "message box did not close";
    return info;
  }
  // True when no box is open once the window has finished what it was doing. Call it after a
  // sign that the action in question has been handled: a late box must not pass for none.
  bool NoMessageBoxNow() {
    return gd::ReachMessageLoop(main_) && gd::FindDialog(client_.Id(), nullptr, true) == nullptr;
  }

  std::optional<DWORD> StoredDword(const wchar_t* name) {
    return gd::ReadDword(HKEY_LOCAL_MACHINE, kSettingsKey, name);
  }
  std::optional<std::wstring> StoredString(const wchar_t* name) {
    return gd::ReadString(HKEY_LOCAL_MACHINE, kSettingsKey, name);
  }

  // Puts back what the tests change; the client is stopped first (declared last).
  gd::ScopedKeyRestore settingsRestore_{HKEY_LOCAL_MACHINE, kSettingsKey};
  gd::ScopedKeyRestore clientRestore_{HKEY_CURRENT_USER, kClientKey};
  std::optional<ComponentState> component_;
  gd::Process client_;
  HWND main_ = nullptr;
};

struct FieldExpectation {
  int id;
  const wchar_t* text;
};

void ExpectFields(MainWindow* fixture, HWND main, const std::vector<FieldExpectation>& fields, const char* context) {
  (void)fixture;
  for (const auto& f : fields) {
    HWND w = GetDlgItem(main, f.id);
    ASSERT_NE(w, nullptr) << context << ": no control " << f.id;
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    const std::wstring shown = _wcsicmp(cls, L"ComboBox") == 0 ? gd::ComboSelectedText(w) : gd::GetText(w);
    EXPECT_EQ(shown, f.text) << context << ": control " << f.id << " shows \"" << Narrow(shown)
                             << "\", expected \"" << Narrow(f.text) << "\"";
  }
}

const std::vector<FieldExpectation> kFallbackDefaultsPage = {
    {IDC_TXTSYSLOGSERVER, L"127.0.0.1"},     {IDC_TXTSYSLOGPORT, L"514"},
    {IDC_CBFACILITY, L"LOCAL0 (16)"},         {IDC_CBPRIORITY, L"INFO (6)"},
    {IDC_TXTEVENTLOGCOMPUTER, L""},           {IDC_TXTEVENTLOGSOURCE, L"Orvelle Pendrake"},
    {IDC_CBEVENTLOGTYPE, L"INFORMATION_TYPE (4)"}, {IDC_TXTEVENTLOGID, L"0"},
};
const std::vector<FieldExpectation> kFallbackTestPage = {
    {IDC_TXTTESTSYSLOGSERVER, L"127.0.0.1"}, {IDC_TXTTESTSYSLOGPORT, L"514"},
    {IDC_CBTESTFACILITY, L"LOCAL0 (16)"},     {IDC_CBTESTPRIORITY, L"INFO (6)"},
    {IDC_TXTTESTEVENTLOGCOMPUTER, L""},       {IDC_TXTTESTEVENTLOGSOURCE, L"Orvelle Pendrake"},
    {IDC_CBTESTEVENTLOGTYPE, L"INFORMATION_TYPE (4)"}, {IDC_TXTTESTEVENTLOGID, L"0"},
    {IDC_TXTTESTSYSLOGMSG, L""},              {IDC_TXTTESTEVENTLOGMSG, L""},
};

constexpr int kDefaultControls[] = {
    IDC_FRASYSLOG,         IDC_LBLSYSLOGSERVER,   IDC_TXTSYSLOGSERVER,     IDC_LBLSYSLOGPORT,
    IDC_TXTSYSLOGPORT,     IDC_LBLFACILITY,       IDC_CBFACILITY,          IDC_LBLPRIORITY,
    IDC_CBPRIORITY,        IDC_FRANTEVEMTLOG,     IDC_LBLEVENTLOGCOMPUTER, IDC_TXTEVENTLOGCOMPUTER,
    IDC_LBLEVENTLOGSOURCE, IDC_TXTEVENTLOGSOURCE, IDC_LBLEVENTLOGTYPE,     IDC_CBEVENTLOGTYPE,
    IDC_LBLEVENTLOGID,     IDC_TXTEVENTLOGID,
};

// ---- Loading ------------------------------------------------------------------------------
TEST_F(MainWindow, FirstStartCreatesTheKeyAndShowsTheFallbacks) {
  PrepareSettings({}, {}, /*present=*/false);
  Start();
  EXPECT_TRUE(gd::KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey)) << "settings key not created";
  EXPECT_TRUE(gd::IsChecked(C(IDC_CHKENABLEDEFAULTS)));
  ExpectFields(this, main_, kFallbackDefaultsPage, "defaults page");
  ExpectFields(this, main_, kFallbackTestPage, "test page");
  EXPECT_EQ(gd::SelectedTab(C(IDC_SSTAB)), 0) << "the window opens on the test page";
  // Loading only reads: nothing is written until a save.
  EXPECT_FALSE(StoredDword(L"bBootFromRegistry").has_value());
}

TEST_F(MainWindow, StoredValuesShowOnBothPages) {
  PrepareSettings({{L"bBootFromRegistry", 1}, {L"iSyslogFacility", 23}, {L"iSyslogPriority", 7},
                   {L"iSyslogPort", 1514}, {L"iEventLogID", 4711}, {L"iEventLogType", 2}},
                  {{L"szSyslogServer", L"logs.example"}, {L"szEventLogComputer", L"ALPHA"},
                   {L"szEventLogSource", L"Nightly Job"}});
  Start();
  const std::vector<FieldExpectation> defaults = {
      {IDC_TXTSYSLOGSERVER, L"logs.example"}, {IDC_TXTSYSLOGPORT, L"1514"},
      {IDC_CBFACILITY, L"LOCAL7 (23)"},        {IDC_CBPRIORITY, L"DEBUG (7)"},
      {IDC_TXTEVENTLOGCOMPUTER, L"ALPHA"},     {IDC_TXTEVENTLOGSOURCE, L"Nightly Job"},
      {IDC_CBEVENTLOGTYPE, L"WARNING_TYPE (2)"}, {IDC_TXTEVENTLOGID, L"4711"},
  };
  const std::vector<FieldExpectation> test = {
      {IDC_TXTTESTSYSLOGSERVER, L"logs.example"}, {IDC_TXTTESTSYSLOGPORT, L"1514"},
      {IDC_CBTESTFACILITY, L"LOCAL7 (23)"},        {IDC_CBTESTPRIORITY, L"DEBUG (7)"},
      {IDC_TXTTESTEVENTLOGCOMPUTER, L"ALPHA"},     {IDC_TXTTESTEVENTLOGSOURCE, L"Nightly Job"},
      {IDC_CBTESTEVENTLOGTYPE, L"WARNING_TYPE (2)"}, {IDC_TXTTESTEVENTLOGID, L"4711"},
  };
  ExpectFields(this, main_, defaults, "defaults page");
  ExpectFields(this, main_, test, "test page");
}

// Stored values the lists cannot show: the lists fall back to a valid entry.
TEST_F(MainWindow, StoredValuesOutsideTheListsSelectValidEntries) {
  PrepareSettings({{L"iSyslogFacility", 99}, {L"iSyslogPriority", 8}, {L"iEventLogType", 3}});
  Start();
  ExpectFields(this, main_,
               {{IDC_CBFACILITY, L"LOCAL0 (16)"}, {IDC_CBPRIORITY, L"INFO (6)"},
                {IDC_CBEVENTLOGTYPE, L"SUCCESS (0)"}, {IDC_CBTESTFACILITY, L"LOCAL0 (16)"},
                {IDC_CBTESTPRIORITY, L"INFO (6)"}, {IDC_CBTESTEVENTLOGTYPE, L"SUCCESS (0)"}},
               "out-of-range stored values");
}

TEST_F(MainWindow, StoredPortAboveRangeIsReportedForBothFields) {
  PrepareSettings({{L"iSyslogPort", 70000}});
  client_ = gd::Process::Start(gd::Env(L"PENDRAKE_CLIENT_EXE"));
  ASSERT_TRUE(client_.Started());
  // The message shows while the window loads, once per port field.
  for (int i = 0; i < 2; ++i) {
    HWND box = gd::WaitForDialog(client_.Id(), nullptr, 20s);
    ASSERT_NE(box, nullptr) << "message " << i + 1 << " of 2 missing";
    const auto info = gd::ReadMessageBox(box);
    EXPECT_EQ(info.text, L"Error, Syslog port cannot be greater than 65535. \r\nSetting value back to 65535");
    EXPECT_TRUE(info.hasIcon);
    gd::PressDialogButton(box, IDOK);
    gd::WaitUntil([&] { return !IsWindow(box); });
  }
  main_ = gd::WaitForTopWindow(client_.Id(), kMainClass, std::wstring(kTitle), 20s);
  ASSERT_NE(main_, nullptr);
  EXPECT_EQ(Text(IDC_TXTSYSLOGPORT), L"65535");
  EXPECT_EQ(Text(IDC_TXTTESTSYSLOGPORT), L"65535");
  EXPECT_EQ(StoredDword(L"iSyslogPort"), 70000u) << "loading must not write";
}

// A stored -1 shows as the port the component sends to, without a message, and an Apply that
// did not touch the field stores -1 again.
TEST_F(MainWindow, StoredNegativePortShowsAsSentAndIsNotRewritten) {
  PrepareSettings({{L"bBootFromRegistry", 1}, {L"iSyslogPort", 0xFFFFFFFFu}});
  Start();
  EXPECT_EQ(Text(IDC_TXTSYSLOGPORT), L"65535");
  EXPECT_EQ(Text(IDC_TXTTESTSYSLOGPORT), L"65535");
  gd::Click(C(IDC_PBAPPLY));
  EXPECT_TRUE(gd::ReachMessageLoop(main_));
  EXPECT_EQ(gd::FindDialog(client_.Id()), nullptr) << "a message box came up";
  EXPECT_EQ(StoredDword(L"iSyslogPort"), 0xFFFFFFFFu) << "the stored -1 was rewritten";
}

// ---- Enable Defaults ------------------------------------------------------------------------
struct FlagCase {
  DWORD stored;
  bool checked;
};
class MainWindowFlag : public MainWindow, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(MainWindowFlag, StoredFlagDecidesTheBoxAndTheFrames) {
  PrepareSettings({{L"bBootFromRegistry", GetParam().stored}});
  Start();
  EXPECT_EQ(gd::IsChecked(C(IDC_CHKENABLEDEFAULTS)), GetParam().checked) << "stored " << GetParam().stored;
  for (int id : kDefaultControls) {
    EXPECT_EQ(gd::IsEnabled(C(id)), GetParam().checked) << "control " << id << ", stored " << GetParam().stored;
  }
  EXPECT_TRUE(gd::IsEnabled(C(IDC_CHKENABLEDEFAULTS)));
  EXPECT_TRUE(gd::IsEnabled(C(IDC_FRADEFAULTS)));
}
INSTANTIATE_TEST_SUITE_P(Flags, MainWindowFlag,
                         ::testing::Values(FlagCase{1, true}, FlagCase{0, false}, FlagCase{2, false},
                                           FlagCase{0xFFFFFFFF, false}));

TEST_F(MainWindow, ClickingTheBoxSwitchesEveryDefaultControl) {
  PrepareSettings();
  Start();
  ShowTab(1);
  for (bool expected : {false, true, false}) {
    gd::Click(C(IDC_CHKENABLEDEFAULTS));
    gd::Settle();
    EXPECT_EQ(gd::IsChecked(C(IDC_CHKENABLEDEFAULTS)), expected);
    for (int id : kDefaultControls) EXPECT_EQ(gd::IsEnabled(C(id)), expected) << "control " << id;
    EXPECT_TRUE(gd::IsEnabled(C(IDC_FRADEFAULTS)));
  }
}

// ---- Number fields ------------------------------------------------------------------------
TEST_F(MainWindow, PortAboveRangeIsReportedAndReset) {
  PrepareSettings();
  Start();
  for (int id : {IDC_TXTSYSLOGPORT, IDC_TXTTESTSYSLOGPORT}) {
    ShowTab(id == IDC_TXTSYSLOGPORT ? 1 : 0);
    HWND edit = C(id);
    gd::SetText(edit, L"");
    ASSERT_TRUE(gd::TypeChars(edit, L"6553"));
    EXPECT_TRUE(NoMessageBoxNow()) << "6553 is accepted";
    PostMessageW(edit, WM_CHAR, L'6', 1);
    const auto info = AnswerMessageBox();
    EXPECT_EQ(info.text, L"Error, Syslog port cannot be greater than 65535. \r\nSetting value back to 65535")
        << "field " << id;
    EXPECT_TRUE(info.hasIcon) << "the port message carries the stop icon";
    gd::WaitUntil([&] { return gd::GetText(edit) == L"65535"; });
    EXPECT_EQ(gd::GetText(edit), L"65535") << "field " << id;
    EXPECT_TRUE(NoMessageBoxNow()) << "65535 itself is accepted";
  }
  EXPECT_TRUE(gd::IsEnabled(C(IDC_CMDLOGTOSYSLOG))) << "the syslog buttons stay enabled";
  EXPECT_TRUE(gd::IsEnabled(C(IDC_CMDGENSYSLOGSCRIPT)));
}

TEST_F(MainWindow, NumberFieldsRefuseNonDigits) {
  PrepareSettings();
  Start();
  struct Case {
    int id;
    int tab;
  };
  for (const Case c : {Case{IDC_TXTSYSLOGPORT, 1}, Case{IDC_TXTEVENTLOGID, 1}, Case{IDC_TXTTESTSYSLOGPORT, 0},
                       Case{IDC_TXTTESTEVENTLOGID, 0}}) {
    ShowTab(c.tab);
    HWND edit = C(c.id);
    gd::SetText(edit, L"12");
    SendMessageW(edit, EM_SETSEL, 2, 2);
    ASSERT_TRUE(gd::TypeChars(edit, L"a -.x"));
    EXPECT_EQ(gd::GetText(edit), L"12") << "typed letters in field " << c.id;
    ASSERT_TRUE(gd::TypeChars(edit, L"3"));
    EXPECT_EQ(gd::GetText(edit), L"123") << "typed digit in field " << c.id;
    gd::Paste(edit, L"4a5 6");
    gd::Settle();
    EXPECT_EQ(gd::GetText(edit), L"456") << "pasted text in field " << c.id << " keeps only its digits";
  }
  EXPECT_TRUE(NoMessageBoxNow());
}

TEST_F(MainWindow, SyslogTestButtonsFollowServerAndPort) {
  PrepareSettings();
  Start();
  struct Case {
    const wchar_t* server;
    const wchar_t* port;
    bool enabled;
  };
  const Case cases[] = {{L"", L"514", false}, {L"host", L"514", true}, {L"host", L"", false},
                        {L"", L"", false},    {L"10.1.1.1", L"1", true}};
  for (const auto& c : cases) {
    gd::SetText(C(IDC_TXTTESTSYSLOGSERVER), c.server);
    gd::SetText(C(IDC_TXTTESTSYSLOGPORT), c.port);
    gd::Settle(50ms);
    EXPECT_EQ(gd::IsEnabled(C(IDC_CMDLOGTOSYSLOG)), c.enabled) << Narrow(c.server) << "/" << Narrow(c.port);
    EXPECT_EQ(gd::IsEnabled(C(IDC_CMDGENSYSLOGSCRIPT)), c.enabled) << Narrow(c.server) << "/" << Narrow(c.port);
    EXPECT_TRUE(gd::IsEnabled(C(IDC_CMDLOGTOEVENTLOG)));
    EXPECT_TRUE(gd::IsEnabled(C(IDC_CMDGENEVENTSCRIPT)));
  }
}

// ---- Saving -------------------------------------------------------------------------------
void EditDefaults(MainWindow* t, HWND main) {
  (void)t;
  gd::SetText(GetDlgItem(main, IDC_TXTSYSLOGSERVER), L"collector");
  gd::SetText(GetDlgItem(main, IDC_TXTSYSLOGPORT), L"10514");
  gd::ComboSelect(GetDlgItem(main, IDC_CBFACILITY), 23);
  gd::ComboSelect(GetDlgItem(main, IDC_CBPRIORITY), 2);
  gd::SetText(GetDlgItem(main, IDC_TXTEVENTLOGCOMPUTER), L"BETA");
  gd::SetText(GetDlgItem(main, IDC_TXTEVENTLOGSOURCE), L"My Source");
  gd::ComboSelect(GetDlgItem(main, IDC_CBEVENTLOGTYPE), 3);  // INFORMATION_TYPE (4)
  gd::SetText(GetDlgItem(main, IDC_TXTEVENTLOGID), L"99");
  gd::Settle();
}

TEST_F(MainWindow, ApplyWritesAllNineValuesAndRefillsTheTestPage) {
  PrepareSettings({{L"iEventLogType", 1}});
  Start();
  ShowTab(1);
  EditDefaults(this, main_);
  gd::Click(C(IDC_PBAPPLY));
  gd::Settle();
  EXPECT_EQ(StoredDword(L"bBootFromRegistry"), 1u);
  EXPECT_EQ(StoredDword(L"iSyslogFacility"), 23u);
  EXPECT_EQ(StoredDword(L"iSyslogPriority"), 2u);
  EXPECT_EQ(StoredDword(L"iSyslogPort"), 10514u);
  EXPECT_EQ(StoredString(L"szSyslogServer"), L"collector");
  EXPECT_EQ(StoredString(L"szEventLogComputer"), L"BETA");
  EXPECT_EQ(StoredString(L"szEventLogSource"), L"My Source");
  EXPECT_EQ(StoredDword(L"iEventLogID"), 99u);
  EXPECT_EQ(StoredDword(L"iEventLogType"), 4u) << "the item data, not the position 3";
  ExpectFields(this, main_,
               {{IDC_TXTTESTSYSLOGSERVER, L"collector"}, {IDC_TXTTESTSYSLOGPORT, L"10514"},
                {IDC_CBTESTFACILITY, L"LOCAL7 (23)"}, {IDC_CBTESTPRIORITY, L"CRIT (2)"},
                {IDC_TXTTESTEVENTLOGCOMPUTER, L"BETA"}, {IDC_TXTTESTEVENTLOGSOURCE, L"My Source"},
                {IDC_CBTESTEVENTLOGTYPE, L"INFORMATION_TYPE (4)"}, {IDC_TXTTESTEVENTLOGID, L"99"}},
               "test page after Apply");
  EXPECT_TRUE(client_.Running()) << "Apply keeps the window open";
}

TEST_F(MainWindow, ApplyWithTheBoxUncheckedStoresOnlyTheFlag) {
  PrepareSettings({{L"iSyslogPort", 600}}, {{L"szSyslogServer", L"kept"}});
  Start();
  ShowTab(1);
  EditDefaults(this, main_);
  gd::Click(C(IDC_CHKENABLEDEFAULTS));
  gd::Click(C(IDC_PBAPPLY));
  gd::Settle();
  EXPECT_EQ(StoredDword(L"bBootFromRegistry"), 0u);
  EXPECT_EQ(StoredDword(L"iSyslogPort"), 600u) << "the loaded value, not the disabled field's";
  EXPECT_EQ(StoredString(L"szSyslogServer"), L"kept");
  EXPECT_EQ(StoredDword(L"iSyslogFacility"), 16u) << "all nine values are written";
  EXPECT_EQ(StoredString(L"szEventLogSource"), L"Orvelle Pendrake");
  EXPECT_FALSE(StoredString(L"szEventLogComputer").has_value()) << "an empty text is not stored";
  ExpectFields(this, main_, {{IDC_TXTTESTSYSLOGSERVER, L"kept"}, {IDC_TXTTESTSYSLOGPORT, L"600"}},
               "test page refilled from the record");
}

TEST_F(MainWindow, EmptyTextsRemoveTheirValuesAndInvalidNumbersKeepTheRecord) {
  PrepareSettings({{L"iSyslogPort", 777}, {L"iEventLogID", 12}},
                  {{L"szSyslogServer", L"old"}, {L"szEventLogSource", L"src"}});
  Start();
  ShowTab(1);
  gd::SetText(C(IDC_TXTSYSLOGSERVER), L"");
  gd::SetText(C(IDC_TXTEVENTLOGSOURCE), L"");
  gd::SetText(C(IDC_TXTSYSLOGPORT), L"");
  gd::SetText(C(IDC_TXTEVENTLOGID), L"");
  gd::Click(C(IDC_PBAPPLY));
  gd::Settle();
  EXPECT_FALSE(StoredString(L"szSyslogServer").has_value()) << "emptied server removed";
  EXPECT_FALSE(StoredString(L"szEventLogSource").has_value()) << "emptied source removed";
  EXPECT_EQ(StoredDword(L"iSyslogPort"), 777u) << "an empty port field keeps the loaded port";
  EXPECT_EQ(StoredDword(L"iEventLogID"), 12u) << "an empty ID field keeps the loaded ID";
}

TEST_F(MainWindow, OkSavesAndEnds) {
  PrepareSettings();
  Start();
  ShowTab(1);
  EditDefaults(this, main_);
  gd::PostClick(C(IDC_PBOK));
  const auto code = client_.WaitForExit(10s);
  ASSERT_TRUE(code.has_value()) << "OK must end the program";
  EXPECT_EQ(*code, 0u);
  EXPECT_EQ(StoredString(L"szSyslogServer"), L"collector");
  EXPECT_EQ(StoredDword(L"iSyslogPort"), 10514u);
  EXPECT_EQ(StoredDword(L"iEventLogType"), 4u);
}

// Cancel and the frame's close button end the program and write nothing.
class MainWindowLeave : public MainWindow, public ::testing::WithParamInterface<bool> {};

TEST_P(MainWindowLeave, EndsWithoutWriting) {
  PrepareSettings({{L"iSyslogPort", 515}}, {{L"szSyslogServer", L"untouched"}});
  const gd::KeySnapshot before = gd::SnapshotKey(HKEY_LOCAL_MACHINE, kSettingsKey);
  Start();
  ShowTab(1);
  EditDefaults(this, main_);
  if (GetParam()) {
    gd::PostClick(C(IDC_PBCANCEL));
  } else {
    PostMessageW(main_, WM_CLOSE, 0, 0);
  }
  ASSERT_TRUE(client_.WaitForExit(10s).has_value()) << "the program must end";
  const gd::KeySnapshot after = gd::SnapshotKey(HKEY_LOCAL_MACHINE, kSettingsKey);
  ASSERT_EQ(after.values.size(), before.values.size());
  for (size_t i = 0; i < before.values.size(); ++i) {
    EXPECT_EQ(after.values[i].name, before.values[i].name);
    EXPECT_EQ(after.values[i].data, before.values[i].data) << Narrow(before.values[i].name);
  }
}
INSTANTIATE_TEST_SUITE_P(Ways, MainWindowLeave, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Cancel" : "CloseButton"; });

// ---- Layout -------------------------------------------------------------------------------
RECT InClient(HWND main, HWND control) {
  RECT r = gd::WindowRect(control);
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(MainWindow, ShrinkingBelowTheMinimumSnapsBack) {
  PrepareSettings();
  Start();
  gd::ResizeWindow(main_, 300, 200);
  ASSERT_TRUE(gd::WaitUntil([&] {
    RECT c{};
    GetClientRect(main_, &c);
    return c.right >= 549 && c.bottom >= 364;
  })) << "client area stayed below 549 x 364";
  const RECT outer = gd::WindowRect(main_);
  EXPECT_EQ(outer.right - outer.left, 557) << "8355 twips at 96 dpi";
  EXPECT_EQ(outer.bottom - outer.top, 410) << "6150 twips at 96 dpi";
}

TEST_F(MainWindow, ControlsFollowTheWidthOfTheWindow) {
  PrepareSettings();
  Start();
  gd::ResizeWindow(main_, 857, 560);
  RECT client{};
  GetClientRect(main_, &client);
  const int innerTw = client.right * 15;
  const int innerHTw = client.bottom * 15;
  auto within1 = [](int a, int b) { return std::abs(a - b) <= 1; };
  const RECT syslogFrame = InClient(main_, C(IDC_FRATESTSYSLOG));
  const RECT eventFrame = InClient(main_, C(IDC_FRATESTNTEVENTLOG));
  EXPECT_TRUE(within1(syslogFrame.right - syslogFrame.left, (innerTw - 250) / 15)) << syslogFrame.right - syslogFrame.left;
  EXPECT_TRUE(within1(eventFrame.top - syslogFrame.bottom, 100 / 15)) << "event frame 100 twips below";
  const RECT log = InClient(main_, C(IDC_CMDLOGTOSYSLOG));
  const RECT gen = InClient(main_, C(IDC_CMDGENSYSLOGSCRIPT));
  EXPECT_EQ(log.left, gen.left) << "the two syslog buttons share their left edge";
  EXPECT_LT(log.right, syslogFrame.right) << "button inside its frame";
  const RECT lblFacility = InClient(main_, C(IDC_LBLTESTFACILITY));
  const RECT cbFacility = InClient(main_, C(IDC_CBTESTFACILITY));
  EXPECT_TRUE(within1(cbFacility.left - lblFacility.right, 100 / 15)) << "list 100 twips right of its label";
  const RECT lblType = InClient(main_, C(IDC_LBLTESTEVENTLOGTYPE));
  const RECT cbType = InClient(main_, C(IDC_CBTESTEVENTLOGTYPE));
  EXPECT_EQ(cbType.left, lblType.right) << "event type list directly against its label";
  // The buttons: one row, H20 - 750 twips from the top.
  const RECT ok = InClient(main_, C(IDC_PBOK));
  const RECT cancel = InClient(main_, C(IDC_PBCANCEL));
  const RECT apply = InClient(main_, C(IDC_PBAPPLY));
  EXPECT_EQ(ok.top, cancel.top);
  EXPECT_EQ(ok.top, apply.top);
  EXPECT_TRUE(within1(ok.top, (innerHTw - 750) / 15)) << ok.top;
  EXPECT_TRUE(within1(apply.left, (innerTw - 1000) / 15)) << apply.left;
  // The defaults page takes the new width when it is shown.
  ShowTab(1);
  const RECT defaults = InClient(main_, C(IDC_FRADEFAULTS));
  const RECT syslog = InClient(main_, C(IDC_FRASYSLOG));
  const RECT events = InClient(main_, C(IDC_FRANTEVEMTLOG));
  EXPECT_TRUE(within1(defaults.right - defaults.left, (innerTw - 250) / 15));
  EXPECT_TRUE(within1(defaults.bottom - defaults.top, (innerHTw - 2000) / 15));
  EXPECT_TRUE(within1(syslog.right - events.left, 50 / 15 + 1)) << "event frame starts 50 twips left of the syslog frame's edge";
  // Every control of both pages lies inside the client area.
  for (int tab : {1, 0}) {
    ShowTab(tab);
    for (int id = IDC_CHKENABLEDEFAULTS; id <= IDC_CMDGENEVENTSCRIPT; ++id) {
      HWND w = GetDlgItem(main_, id);
      if (!w || !IsWindowVisible(w)) continue;
      const RECT r = InClient(main_, w);
      EXPECT_LE(r.right, client.right) << "control " << id;
    }
  }
}

TEST_F(MainWindow, AtTheMinimumSizeNoControlIsCutOrOverlapped) {
  PrepareSettings();
  Start();
  RECT client{};
  GetClientRect(main_, &client);
  const RECT status = InClient(main_, C(IDC_STBMAIN));
  for (int tab : {0, 1}) {
    ShowTab(tab);
    std::vector<std::pair<int, RECT>> shown;
    for (int id = IDC_CHKENABLEDEFAULTS; id <= IDC_CMDGENEVENTSCRIPT; ++id) {
      HWND w = GetDlgItem(main_, id);
      if (!w || !IsWindowVisible(w)) continue;
      RECT r = InClient(main_, w);
      wchar_t cls[32] = {};
      GetClassNameW(w, cls, 32);
      if (_wcsicmp(cls, L"ComboBox") == 0) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(w, &info);
        r.bottom = r.top + info.rcItem.bottom + 3;  // the closed list
      }
      EXPECT_GE(r.left, 0) << "control " << id;
      EXPECT_LE(r.right, client.right) << "control " << id;
      EXPECT_LE(r.bottom, status.top) << "control " << id << " reaches the status bar";
      const LONG style = GetWindowLongW(w, GWL_STYLE);
      if ((style & BS_TYPEMASK) != BS_GROUPBOX || _wcsicmp(cls, L"Button") != 0) shown.push_back({id, r});
    }
    for (size_t i = 0; i < shown.size(); ++i) {
      for (size_t j = i + 1; j < shown.size(); ++j) {
        RECT overlap{};
        EXPECT_FALSE(IntersectRect(&overlap, &shown[i].second, &shown[j].second))
            << "controls " << shown[i].first << " and " << shown[j].first << " overlap on tab " << tab;
      }
    }
  }
  for (int id : {IDC_PBOK, IDC_PBCANCEL, IDC_PBAPPLY}) {
    const RECT r = InClient(main_, C(id));
    const RECT tab = InClient(main_, C(IDC_SSTAB));
    EXPECT_GE(r.top, tab.bottom) << "button " << id << " below the tab control";
    EXPECT_LE(r.bottom, status.top) << "button " << id << " above the status bar";
  }
}

// ---- Test page: the component through late binding -----------------------------------------
TEST_F(MainWindow, SyslogTestSendsThePageValues) {
  component_.emplace(true);
  ASSERT_TRUE(component_->Ok()) << "regsvr32 could not register Pendrake.dll";
  PrepareSettings();
  gd::UdpReceiver receiver;
  ASSERT_TRUE(receiver.Ok());
  Start();
  gd::SetText(C(IDC_TXTTESTSYSLOGSERVER), L"127.0.0.1");
  gd::SetText(C(IDC_TXTTESTSYSLOGPORT), std::to_wstring(receiver.Port()));
  gd::ComboSelect(C(IDC_CBTESTFACILITY), 23);
  gd::ComboSelect(C(IDC_CBTESTPRIORITY), 7);
  gd::SetText(C(IDC_TXTTESTSYSLOGMSG), L"gui syslog test");
  gd::PostClick(C(IDC_CMDLOGTOSYSLOG));
  const auto datagram = receiver.Receive(15s);
  ASSERT_TRUE(datagram.has_value()) << "nothing arrived on 127.0.0.1:" << receiver.Port();
  EXPECT_EQ(*datagram, "<191>gui syslog test") << "LOCAL7 (23) * 8 + DEBUG (7)";
  EXPECT_TRUE(NoMessageBoxNow()) << "no confirmation after a successful test";
}

struct FailureCase {
  const char* name;
  int button;
  bool registered;
  HRESULT expected;
};
class MainWindowTestFailure : public MainWindow, public ::testing::WithParamInterface<FailureCase> {};

// Every failing step ends the test with "Error: <number>" CR LF description (the code in
// hexadecimal where the platform has none, and the bitness hint for a missing registration),
// OK, no icon.
TEST_P(MainWindowTestFailure, ShowsTheErrorBox) {
  const FailureCase& c = GetParam();
  component_.emplace(c.registered);
  ASSERT_TRUE(component_->Ok()) << "regsvr32 could not bring the component into the wanted state";
  PrepareSettings();
  Start();
  gd::SetText(C(IDC_TXTTESTEVENTLOGID), L"");  // only the event test reads it
  gd::SetText(C(IDC_TXTTESTSYSLOGSERVER), L"127.0.0.1");
  gd::SetText(C(IDC_TXTTESTSYSLOGPORT), L"9");
  gd::PostClick(C(c.button));
  const auto info = AnswerMessageBox();
  const std::wstring description = gd::SystemDescription(static_cast<DWORD>(c.expected));
  const std::u16string system(description.begin(), description.end());
  const std::u16string expected = pendrake::client::ErrorBoxText(u"Error: ", {static_cast<int32_t>(c.expected), system, u""}, 64);
  EXPECT_EQ(info.text, std::wstring(expected.begin(), expected.end())) << Narrow(info.text);
  EXPECT_FALSE(info.hasIcon);
  ASSERT_EQ(info.buttons.size(), 1u);
  EXPECT_TRUE(client_.Running());
}
INSTANTIATE_TEST_SUITE_P(
    Steps, MainWindowTestFailure,
    ::testing::Values(FailureCase{"SyslogNotRegistered", IDC_CMDLOGTOSYSLOG, false, CO_E_CLASSSTRING},
                      FailureCase{"EventNotRegistered", IDC_CMDLOGTOEVENTLOG, false, CO_E_CLASSSTRING},
                      FailureCase{"EmptyEventId", IDC_CMDLOGTOEVENTLOG, true, DISP_E_TYPEMISMATCH}),
    [](const auto& info) { return std::string(info.param.name); });

// The event log test under Wine's event log trace: the wrapper runs this program with the
// trace channels on and stderr in PENDRAKE_EVENT_TRACE.
TEST_F(MainWindow, EventTestReportsThePageValues) {
  const std::wstring trace = gd::Env(L"PENDRAKE_EVENT_TRACE");
  if (trace.empty()) GTEST_SKIP() << "runs under the event trace wrapper";
  component_.emplace(true);
  ASSERT_TRUE(component_->Ok()) << "regsvr32 could not register Pendrake.dll";
  PrepareSettings();
  Start();
  gd::SetText(C(IDC_TXTTESTEVENTLOGSOURCE), L"Pendrake GUI Source");
  gd::SetText(C(IDC_TXTTESTEVENTLOGID), L"4242");
  gd::ComboSelect(C(IDC_CBTESTEVENTLOGTYPE), 2);  // WARNING_TYPE (2)
  gd::SetText(C(IDC_TXTTESTEVENTLOGMSG), L"gui event test");
  gd::PostClick(C(IDC_CMDLOGTOEVENTLOG));
  const std::string source = "\"Pendrake GUI Source\"";
  const std::string report = "0x0002,0x0000,0x00001092";  // type 2, category 0, identifier 4242
  const std::string text = "L\"gui event test\"";
  std::string log;
  const bool seen = gd::WaitUntil(
      [&] {
        log = gd::ReadFileBytes(gd::WinePath(trace)).value_or("");
        return log.find(report) != std::string::npos && log.find(text) != std::string::npos;
      },
      15s);
  EXPECT_TRUE(seen) << "trace lacks the entry; trace was:\n" << log.substr(log.size() > 4000 ? log.size() - 4000 : 0);
  EXPECT_NE(log.find(source), std::string::npos) << "event source not registered by name";
  EXPECT_TRUE(NoMessageBoxNow());
}

// ---- Script files through CDMain -----------------------------------------------------------
class MainWindowScripts : public MainWindow {
 protected:
  // Clicks a script button, checks the file dialog and answers it with `path` (empty: Cancel).
  // `filter` > 0 chooses that filter entry (from 1) first.
  void GenerateThrough(int button, const std::wstring& path, int filter = 0) {
    gd::PostClick(C(button));
    HWND dialog = gd::WaitForDialog(client_.Id(), main_, 15s);
    ASSERT_NE(dialog, nullptr) << "no file dialog";
    EXPECT_EQ(gd::GetText(dialog), L"Open");
    HWND types = gd::FindControl(dialog, 0x470);  // cmb1: the file type list
    ASSERT_NE(types, nullptr) << "no file type list";
    EXPECT_EQ(gd::ComboSelection(types), 0);
    EXPECT_EQ(gd::ComboItemText(types, 1), L"PowerShell (*.ps1)");
    if (filter > 0) {  // as a mouse choice ends: the dialog takes the entry on CBN_SELENDOK
      gd::ComboSelect(types, filter - 1);
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
    }
    if (path.empty()) {
      gd::PressDialogButton(dialog, IDCANCEL);
    } else {
      HWND name = gd::FindControl(dialog, 0x47c);  // cmb13: the file name box
      if (HWND edit = name ? gd::FindChildByClass(name, L"Edit") : nullptr) name = edit;
      if (!name) name = gd::FindControl(dialog, 0x480);  // edt1
      ASSERT_NE(name, nullptr) << "no file name field in the dialog";
      gd::SetText(name, path);
      gd::PressDialogButton(dialog, IDOK);
    }
    ASSERT_TRUE(gd::WaitUntil([&] { return !IsWindow(dialog); })) << "file dialog stayed open";
  }
  // The script file once the client has written it: it holds the file open, unshared, while it
  // writes, so a file that can be read (and differs from what was there) is complete.
  std::optional<std::string> WrittenScript(const std::wstring& path, const std::string& before = {}) {
    std::optional<std::string> bytes;
    gd::WaitUntil([&] {
      bytes = gd::ReadFileBytes(path);
      return bytes.has_value() && *bytes != before;
    }, 15s);
    return bytes;
  }
  std::wstring folder_ = gd::TempFolder();
  void TearDown() override {
    MainWindow::TearDown();
    for (const wchar_t* name : {L"syslog.vbs", L"event.vbs", L"again.vbs", L"run.vbs", L"s.ps1", L"E.PS1", L"plain"}) {
      DeleteFileW((folder_ + L"\\" + name).c_str());
    }
    RemoveDirectoryW(folder_.c_str());
  }
};

TEST_F(MainWindowScripts, SyslogScriptHoldsTheFirstStartValues) {
  PrepareSettings({}, {}, false);
  Start();
  const std::wstring path = folder_ + L"\\syslog.vbs";
  GenerateThrough(IDC_CMDGENSYSLOGSCRIPT, path);
  const auto bytes = WrittenScript(path);
  ASSERT_TRUE(bytes.has_value()) << "no file written";
  EXPECT_EQ(*bytes,
            "'Pendrake Syslog Script generated by Pendrake Client\r\n"
            "\r\n"
            "set o = CreateObject(\"Orvelle.Pendrake\")\r\n"
            "o.SyslogServer = \"127.0.0.1\"\r\n"
            "o.SyslogPort = \"514\"\r\n"
            "o.SyslogFacility = \"16\"\r\n"
            "o.SyslogPriority = \"6\"\r\n"
            "\r\n"
            "o.LogToSyslog \"\"\r\n"
            "\r\n");
  EXPECT_TRUE(NoMessageBoxNow()) << "no message after success";
}

TEST_F(MainWindowScripts, EventScriptWritesTheTypeCodeAnsiTextAndReplacesAFile) {
  PrepareSettings();
  Start();
  const std::wstring path = folder_ + L"\\event.vbs";
  const std::string old = "old contents that are longer than nothing";
  {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, old.data(), static_cast<DWORD>(old.size()), &written, nullptr);
    CloseHandle(f);
  }
  gd::SetText(C(IDC_TXTTESTEVENTLOGCOMPUTER), L"GAMMA");
  gd::SetText(C(IDC_TXTTESTEVENTLOGSOURCE), L"Gr\u00fc\u00dfe");
  gd::SetText(C(IDC_TXTTESTEVENTLOGID), L"17");
  gd::ComboSelect(C(IDC_CBTESTEVENTLOGTYPE), 3);  // INFORMATION_TYPE (4)
  gd::SetText(C(IDC_TXTTESTEVENTLOGMSG), L"say \"hi\"");
  GenerateThrough(IDC_CMDGENEVENTSCRIPT, path);
  EXPECT_EQ(WrittenScript(path, old).value_or("<none>"),
            "'Pendrake Syslog Script generated by Pendrake Client\r\n"
            "\r\n"
            "set o = CreateObject(\"Orvelle.Pendrake\")\r\n"
            "o.EventLogComputer = \"GAMMA\"\r\n"
            "o.EventLogSource = \"Gr\xfc\xdf" "e\"\r\n"
            "o.EventLogID = \"17\"\r\n"
            "o.EventLogType = \"4\"\r\n"
            "\r\n"
            "o.LogToEventLog \"say \"\"hi\"\"\"\r\n"
            "\r\n")
      << "the type's item data (4), the system code page, a doubled quote, the file replaced";
}

TEST_F(MainWindowScripts, CancelWritesNothingAndSaysNothing) {
  PrepareSettings();
  Start();
  GenerateThrough(IDC_CMDGENSYSLOGSCRIPT, L"");
  EXPECT_TRUE(NoMessageBoxNow());
  EXPECT_FALSE(gd::ReadFileBytes(folder_ + L"\\syslog.vbs").has_value());
  EXPECT_TRUE(client_.Running());
}

TEST_F(MainWindowScripts, TheDialogOffersTheLastName) {
  PrepareSettings();
  Start();
  const std::wstring path = folder_ + L"\\again.vbs";
  GenerateThrough(IDC_CMDGENSYSLOGSCRIPT, path);
  ASSERT_TRUE(WrittenScript(path).has_value());
  DeleteFileW(path.c_str());
  gd::PostClick(C(IDC_CMDGENEVENTSCRIPT));
  HWND dialog = gd::WaitForDialog(client_.Id(), main_, 15s);
  ASSERT_NE(dialog, nullptr);
  gd::PressDialogButton(dialog, IDOK);  // take what is offered
  gd::WaitUntil([&] { return !IsWindow(dialog); });
  EXPECT_TRUE(gd::WaitUntil([&] { return gd::ReadFileBytes(path).has_value(); }, 5s))
      << "the remembered name was not offered again";
}

struct UnwritableCase {
  const char* name;
  int button;
  const wchar_t* prefix;
};
class MainWindowScriptError : public MainWindowScripts, public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(MainWindowScriptError, UnwritableFolderShowsTheErrorBox) {
  PrepareSettings();
  gd::WriteString(HKEY_CURRENT_USER, kClientKey, L"szLanguage", L"DE");
  Start();
  // A folder that no user may write to, not even the superuser under Wine.
  GenerateThrough(GetParam().button, L"Z:\\sys\\pendrake-script.vbs");
  const auto info = AnswerMessageBox();
  // 5: access denied, with the system's text for it.
  const std::wstring expected = std::wstring(GetParam().prefix) + L"5\r\n" + gd::SystemDescription(5);
  EXPECT_EQ(info.text, expected) << Narrow(info.text);
  EXPECT_FALSE(gd::SystemDescription(5).empty());
  EXPECT_FALSE(info.hasIcon);
}
INSTANTIATE_TEST_SUITE_P(
    Scripts, MainWindowScriptError,
    ::testing::Values(UnwritableCase{"SyslogInGerman", IDC_CMDGENSYSLOGSCRIPT, L"Fehler bei der Erstellung des Scripts:"},
                      UnwritableCase{"EventFixedEnglish", IDC_CMDGENEVENTSCRIPT, L"Error during Script generation: "}),
    [](const auto& info) { return std::string(info.param.name); });

// The name's extension, else the filter entry, gives the language; the file holds exactly the
// core's text for the values typed (VBScript in ANSI, PowerShell in UTF-8 with its mark).
struct LanguageCase {
  const char* name;
  int button;
  const wchar_t* file;
  int filter;
  bool powerShell;
  const wchar_t* message;
};
class MainWindowScriptLanguage : public MainWindowScripts, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(MainWindowScriptLanguage, WritesTheChosenLanguageByteForByte) {
  namespace pc = pendrake::client;
  const LanguageCase& c = GetParam();
  PrepareSettings();
  Start();
  const std::u16string message(c.message, c.message + std::wcslen(c.message));
  const pc::ScriptLanguage language = c.powerShell ? pc::ScriptLanguage::PowerShell : pc::ScriptLanguage::VbScript;
  std::u16string text;
  if (c.button == IDC_CMDGENSYSLOGSCRIPT) {
    gd::SetText(C(IDC_TXTTESTSYSLOGSERVER), L"10.0.0.5");
    gd::SetText(C(IDC_TXTTESTSYSLOGPORT), L"514");
    gd::ComboSelect(C(IDC_CBTESTFACILITY), 16);
    gd::ComboSelect(C(IDC_CBTESTPRIORITY), 6);
    gd::SetText(C(IDC_TXTTESTSYSLOGMSG), c.message);
    text = pc::SyslogScriptFileText({u"10.0.0.5", u"514", 16, 6, message}, language);
  } else {
    gd::SetText(C(IDC_TXTTESTEVENTLOGCOMPUTER), L"");
    gd::SetText(C(IDC_TXTTESTEVENTLOGSOURCE), L"O'Brien");
    gd::SetText(C(IDC_TXTTESTEVENTLOGID), L"17");
    gd::ComboSelect(C(IDC_CBTESTEVENTLOGTYPE), 1);  // ERROR_TYPE (1)
    gd::SetText(C(IDC_TXTTESTEVENTLOGMSG), c.message);
    text = pc::EventLogScriptFileText({u"", u"O'Brien", u"17", 1, message}, language);
  }
  const std::wstring path = folder_ + L"\\" + c.file;
  GenerateThrough(c.button, path, c.filter);
  const std::string expected =
      c.powerShell ? pc::Utf8FileBytes(text) : Narrow(std::wstring(text.begin(), text.end()));
  EXPECT_EQ(WrittenScript(path).value_or("<none>"), expected);
  EXPECT_TRUE(NoMessageBoxNow());
}
INSTANTIATE_TEST_SUITE_P(
    Scripts, MainWindowScriptLanguage,
    ::testing::Values(
        LanguageCase{"SyslogPs1", IDC_CMDGENSYSLOGSCRIPT, L"s.ps1", 0, true,
                     L"it's \u2018a\u2019 \u201Ab\u201B $(x) `n \u03a9\u00fc"},
        LanguageCase{"EventPs1InCapitals", IDC_CMDGENEVENTSCRIPT, L"E.PS1", 0, true, L"''\u2019\u2019 $env:X"},
        LanguageCase{"NoExtensionTakesTheFilter", IDC_CMDGENSYSLOGSCRIPT, L"plain", 2, true, L""},
        LanguageCase{"VbsNameWinsOverTheFilter", IDC_CMDGENEVENTSCRIPT, L"event.vbs", 2, false, L"it's \"it\""}),
    [](const auto& info) { return std::string(info.param.name); });

// A generated script, run by the script host, sends what the page showed.
TEST_F(MainWindowScripts, GeneratedSyslogScriptRunsUnderCscript) {
  component_.emplace(true);
  ASSERT_TRUE(component_->Ok()) << "regsvr32 could not register Pendrake.dll";
  PrepareSettings();
  gd::UdpReceiver receiver;
  ASSERT_TRUE(receiver.Ok());
  Start();
  gd::SetText(C(IDC_TXTTESTSYSLOGSERVER), L"127.0.0.1");
  gd::SetText(C(IDC_TXTTESTSYSLOGPORT), std::to_wstring(receiver.Port()));
  gd::ComboSelect(C(IDC_CBTESTFACILITY), 3);   // DAEMON (3)
  gd::ComboSelect(C(IDC_CBTESTPRIORITY), 4);   // WARNING (4)
  gd::SetText(C(IDC_TXTTESTSYSLOGMSG), L"from the \"script\"");
  const std::wstring path = folder_ + L"\\run.vbs";
  GenerateThrough(IDC_CMDGENSYSLOGSCRIPT, path);
  ASSERT_TRUE(WrittenScript(path).has_value());
  const auto rc = gd::RunAndWait(L"cscript.exe //nologo \"" + path + L"\"", 60s);
  ASSERT_TRUE(rc.has_value()) << "cscript did not finish";
  const auto datagram = receiver.Receive(15s);
  ASSERT_TRUE(datagram.has_value()) << "the script sent nothing";
  EXPECT_EQ(*datagram, "<28>from the \"script\"") << "DAEMON (3) * 8 + WARNING (4)";
}

// ---- Language ----------------------------------------------------------------------------
struct CaptionCase {
  const wchar_t* language;
  int id;
  const wchar_t* text;
};
class MainWindowLanguage : public MainWindow, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(MainWindowLanguage, CaptionsFollowTheStoredLanguage) {
  static const CaptionCase kCaptions[] = {
      {L"EN", IDC_PBOK, L"&OK"},
      {L"EN", IDC_PBCANCEL, L"&Cancel"},
      {L"EN", IDC_PBAPPLY, L"&Apply"},
      {L"EN", IDC_CHKENABLEDEFAULTS, L"Enable Defaults"},
      {L"EN", IDC_LBLTESTMSG, L"Message"},
      {L"EN", IDC_FRANTEVEMTLOG, L"NT Event Log"},
      {L"EN", IDC_CMDGENEVENTSCRIPT, L"Generate VB Script"},
      {L"DE", IDC_PBOK, L"&OK"},
      {L"DE", IDC_PBCANCEL, L"&Abbrechen"},
      {L"DE", IDC_PBAPPLY, L"&Speichern"},
      {L"DE", IDC_CHKENABLEDEFAULTS, L"Aktiviere Standardwerte"},
      {L"DE", IDC_FRADEFAULTS, L"Standardwerte"},
      {L"DE", IDC_LBLEVENTLOGSOURCE, L"EventLog Quelle"},
      {L"DE", IDC_LBLTESTMESSAGE, L"Nachricht"},
      {L"DE", IDC_CMDGENSYSLOGSCRIPT, L"VB Script generieren"},
      {L"GR", IDC_PBOK, L"&OK"},
      {L"GR", IDC_FRATESTSYSLOG, L"Syslog"},
      {L"GR", IDC_LBLFACILITY, L"Facility"},
      {L"GR", IDC_CMDGENSYSLOGSCRIPT, L"Generate VB Script"},
      {L"GR", IDC_CMDLOGTOEVENTLOG, L"LogToEventLog"},
  };
  const std::wstring language = GetParam();
  gd::WriteString(HKEY_CURRENT_USER, kClientKey, L"szLanguage", language);
  PrepareSettings();
  Start();
  for (const auto& c : kCaptions) {
    if (language == c.language) {
      EXPECT_EQ(Text(c.id), c.text) << Narrow(language) << " control " << c.id;
    }
  }
  // The three buttons carry tooltips.
  HWND tips = nullptr;
  std::pair<DWORD, HWND*> search{client_.Id(), &tips};
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* found = reinterpret_cast<std::pair<DWORD, HWND*>*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        if (pid == found->first && _wcsicmp(cls, L"tooltips_class32") == 0) {
          *found->second = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  ASSERT_NE(tips, nullptr) << "no tooltip window";
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 3);
}
INSTANTIATE_TEST_SUITE_P(Languages, MainWindowLanguage, ::testing::Values(L"EN", L"DE", L"GR"),
                         [](const auto& info) { return Narrow(info.param); });

}  // namespace
