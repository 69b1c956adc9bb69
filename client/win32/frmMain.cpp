// The main window of PendrakeClient: the defaults page (the component's stored defaults), the
// test page (test messages through a fresh component object, script files) and the layout.
//
// Every control is a direct child of the window, so the GUI driver reaches each one with
// GetDlgItem. Positions are kept in twips relative to their container (the tab page or a
// frame), as the layout rules are written; one conversion to pixels happens when the controls
// are moved, with the screen's real resolution.
//
// Choices where the window's behaviour was open:
// - Saving with an empty number field, or one outside its range (port 0..65535, event ID
//   0..2147483647), keeps the value the record already holds for that field; a list without a
//   selection does the same (TakeDefaultsFromPage). A save never stores what the page did not
//   show as a valid value.
// - Pasted text in a number field goes in with its non-digits removed, with the beep of a
//   refused key; text set by a program into a port field is reduced to its digits by the port
//   check.
// - A stored facility outside 0..23 or priority outside 0..7 selects the client's fallback
//   entry (LOCAL0 / INFO) on both pages; the record keeps the stored value until a checked save.
// - Closing the window with its frame button ends the program without saving, as Cancel does;
//   a hidden Options dialog goes with it.
// - The minimum size correction uses the window's real frame, so the client area does reach
//   its minimum with any caption or border size (CheckMinimumSize).
// - The file dialog leaves the working directory alone, so Help > Manual still finds
//   manual.htm where the program was started after a script has been saved elsewhere.
#include "frmMain.h"

#include <commctrl.h>
#include <commdlg.h>
#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
#include <uxtheme.h>

#include <algorithm>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "ControlIds.h"
#include "Global.h"
#include "Registry.h"
#include "client/core/InputRules.h"
#include "client/core/Layout.h"
#include "client/core/Messages.h"
#include "client/core/Scripts.h"
#include "client/core/Settings.h"
#include "frmAbout.h"
#include "frmOptions.h"

namespace pc = pendrake::client;

namespace {

constexpr wchar_t kClassName[] = L"PendrakeClientMain";
constexpr wchar_t kTitle[] = L"Pendrake Client";
constexpr wchar_t kProgId[] = L"Orvelle.Pendrake";

// ---- Window state ----------------------------------------------------------------------------
HWND gMain = nullptr;
HWND gTab = nullptr;
HWND gStatus = nullptr;
HWND gTooltip = nullptr;
pc::SettingsRecord gRecord;          // the stored defaults as loaded or last saved
std::wstring gScriptFileName;         // CDMain's remembered file name

// Twips <-> pixels at the screen's resolution.
using pc::DpiX;
using pc::DpiY;
int XPx(int twips) { return MulDiv(twips, DpiX(), 1440); }
int YPx(int twips) { return pc::TwipsToPixels(twips); }
int XTw(int pixels) { return MulDiv(pixels, 1440, DpiX()); }
int YTw(int pixels) { return MulDiv(pixels, 1440, DpiY()); }

// ---- The controls ----------------------------------------------------------------------------
enum class Kind { Frame, Label, Edit, Combo, Button, Check };
constexpr int kWindow = 0;  // container: the client area
constexpr int kPage = -1;   // container: the display area of the tab control

struct ControlDef {
  int id;
  Kind kind;
  int page;       // 0 test page, 1 defaults page, -1 on every page
  int container;  // kWindow, kPage or the id of a frame
  pc::Rect twips; // initial place, relative to the container
};

// Initial places: at the minimum client size (8235 x 5460 twips) every control shows in full,
// rows line up and nothing overlaps. The layout rules then stretch them with the window.
// Listed in tab order; frames come before their contents.
constexpr int kRow1 = 270, kRow2 = 660, kRowMsgLabel = 1065, kRowMsg = 1380;
constexpr int kEditH = 315, kButtonH = 345, kLabelW = 1455, kFieldLeft = 1575;
const ControlDef kControls[] = {
    // Test page: syslog frame.
    {IDC_FRATESTSYSLOG, Kind::Frame, 0, kPage, {60, 60, 7985, 1815}},
    {IDC_LBLTESTSYSLOGSERVER, Kind::Label, 0, IDC_FRATESTSYSLOG, {120, kRow1, kLabelW, kEditH}},
    {IDC_TXTTESTSYSLOGSERVER, Kind::Edit, 0, IDC_FRATESTSYSLOG, {kFieldLeft, kRow1, 1908, kEditH}},
    {IDC_LBLTESTFACILITY, Kind::Label, 0, IDC_FRATESTSYSLOG, {3583, kRow1, 1125, kEditH}},
    {IDC_CBTESTFACILITY, Kind::Combo, 0, IDC_FRATESTSYSLOG, {4808, kRow1, 2927, kEditH}},
    {IDC_LBLTESTSYSLOGPORT, Kind::Label, 0, IDC_FRATESTSYSLOG, {120, kRow2, kLabelW, kEditH}},
    {IDC_TXTTESTSYSLOGPORT, Kind::Edit, 0, IDC_FRATESTSYSLOG, {kFieldLeft, kRow2, 1908, kEditH}},
    {IDC_LBLTESTPRIORITY, Kind::Label, 0, IDC_FRATESTSYSLOG, {3583, kRow2, 1125, kEditH}},
    {IDC_CBTESTPRIORITY, Kind::Combo, 0, IDC_FRATESTSYSLOG, {4808, kRow2, 2927, kEditH}},
    {IDC_LBLTESTMSG, Kind::Label, 0, IDC_FRATESTSYSLOG, {120, kRowMsgLabel, 3000, 255}},
    {IDC_TXTTESTSYSLOGMSG, Kind::Edit, 0, IDC_FRATESTSYSLOG, {120, kRowMsg, 5835, kEditH}},
    {IDC_CMDLOGTOSYSLOG, Kind::Button, 0, IDC_FRATESTSYSLOG, {6055, kRowMsg - 15, 1800, kButtonH}},
    {IDC_CMDGENSYSLOGSCRIPT, Kind::Button, 0, IDC_FRATESTSYSLOG, {6055, kRowMsg - 375, 1800, kButtonH}},
    // Test page: event log frame.
    {IDC_FRATESTNTEVENTLOG, Kind::Frame, 0, kPage, {60, 1975, 7985, 1815}},
    {IDC_LBLTESTEVENTLOGCOMPUTER, Kind::Label, 0, IDC_FRATESTNTEVENTLOG, {120, kRow1, kLabelW, kEditH}},
    {IDC_TXTTESTEVENTLOGCOMPUTER, Kind::Edit, 0, IDC_FRATESTNTEVENTLOG, {kFieldLeft, kRow1, 1908, kEditH}},
    {IDC_LBLTESTEVENTLOGTYPE, Kind::Label, 0, IDC_FRATESTNTEVENTLOG, {3583, kRow1, 1225, kEditH}},
    {IDC_CBTESTEVENTLOGTYPE, Kind::Combo, 0, IDC_FRATESTNTEVENTLOG, {4808, kRow1, 2927, kEditH}},
    {IDC_LBLTESTEVENTLOGSOURCE, Kind::Label, 0, IDC_FRATESTNTEVENTLOG, {120, kRow2, kLabelW, kEditH}},
    {IDC_TXTTESTEVENTLOGSOURCE, Kind::Edit, 0, IDC_FRATESTNTEVENTLOG, {kFieldLeft, kRow2, 1908, kEditH}},
    {IDC_LBLTESTEVENTLOGID, Kind::Label, 0, IDC_FRATESTNTEVENTLOG, {3583, kRow2, 1225, kEditH}},
    {IDC_TXTTESTEVENTLOGID, Kind::Edit, 0, IDC_FRATESTNTEVENTLOG, {4808, kRow2, 2927, kEditH}},
    {IDC_LBLTESTMESSAGE, Kind::Label, 0, IDC_FRATESTNTEVENTLOG, {120, kRowMsgLabel, 3000, 255}},
    {IDC_TXTTESTEVENTLOGMSG, Kind::Edit, 0, IDC_FRATESTNTEVENTLOG, {120, kRowMsg, 5835, kEditH}},
    {IDC_CMDLOGTOEVENTLOG, Kind::Button, 0, IDC_FRATESTNTEVENTLOG, {6055, kRowMsg - 15, 1800, kButtonH}},
    {IDC_CMDGENEVENTSCRIPT, Kind::Button, 0, IDC_FRATESTNTEVENTLOG, {6055, kRowMsg - 375, 1800, kButtonH}},
    // Defaults page.
    {IDC_CHKENABLEDEFAULTS, Kind::Check, 1, kPage, {120, 60, 4000, 255}},
    {IDC_FRADEFAULTS, Kind::Frame, 1, kPage, {60, 360, 7985, 3460}},
    {IDC_FRASYSLOG, Kind::Frame, 1, IDC_FRADEFAULTS, {120, 270, 3892, 2850}},
    {IDC_LBLSYSLOGSERVER, Kind::Label, 1, IDC_FRASYSLOG, {250, 255, 2400, 240}},
    {IDC_TXTSYSLOGSERVER, Kind::Edit, 1, IDC_FRASYSLOG, {250, 495, 3392, kEditH}},
    {IDC_LBLSYSLOGPORT, Kind::Label, 1, IDC_FRASYSLOG, {250, 885, 2400, 240}},
    {IDC_TXTSYSLOGPORT, Kind::Edit, 1, IDC_FRASYSLOG, {250, 1125, 3392, kEditH}},
    {IDC_LBLFACILITY, Kind::Label, 1, IDC_FRASYSLOG, {250, 1515, 2400, 240}},
    {IDC_CBFACILITY, Kind::Combo, 1, IDC_FRASYSLOG, {250, 1755, 3392, kEditH}},
    {IDC_LBLPRIORITY, Kind::Label, 1, IDC_FRASYSLOG, {250, 2145, 2400, 240}},
    {IDC_CBPRIORITY, Kind::Combo, 1, IDC_FRASYSLOG, {250, 2385, 3392, kEditH}},
    {IDC_FRANTEVEMTLOG, Kind::Frame, 1, IDC_FRADEFAULTS, {3962, 270, 3892, 2850}},
    {IDC_LBLEVENTLOGCOMPUTER, Kind::Label, 1, IDC_FRANTEVEMTLOG, {250, 255, 2400, 240}},
    {IDC_TXTEVENTLOGCOMPUTER, Kind::Edit, 1, IDC_FRANTEVEMTLOG, {250, 495, 3392, kEditH}},
    {IDC_LBLEVENTLOGSOURCE, Kind::Label, 1, IDC_FRANTEVEMTLOG, {250, 885, 2400, 240}},
    {IDC_TXTEVENTLOGSOURCE, Kind::Edit, 1, IDC_FRANTEVEMTLOG, {250, 1125, 3392, kEditH}},
    {IDC_LBLEVENTLOGTYPE, Kind::Label, 1, IDC_FRANTEVEMTLOG, {250, 1515, 2400, 240}},
    {IDC_CBEVENTLOGTYPE, Kind::Combo, 1, IDC_FRANTEVEMTLOG, {250, 1755, 3392, kEditH}},
    {IDC_LBLEVENTLOGID, Kind::Label, 1, IDC_FRANTEVEMTLOG, {250, 2145, 2400, 240}},
    {IDC_TXTEVENTLOGID, Kind::Edit, 1, IDC_FRANTEVEMTLOG, {250, 2385, 3392, kEditH}},
    // The window's own buttons; placed by the layout at every resize.
    {IDC_PBOK, Kind::Button, -1, kWindow, {5225, 4710, 675, 375}},
    {IDC_PBCANCEL, Kind::Button, -1, kWindow, {5990, 4710, 1125, 375}},
    {IDC_PBAPPLY, Kind::Button, -1, kWindow, {7240, 4710, 900, 375}},
};

const ControlDef* FindDef(int id) {
  for (const auto& def : kControls) {
    if (def.id == id) return &def;
  }
  return nullptr;
}

// Current places in twips, relative to each control's container; IDC_SSTAB relative to the
// client area.
std::map<int, pc::Rect> gPlaces;

HWND Item(int id) { return GetDlgItem(gMain, id); }

// The layout rules work on a MainLayout; these are its fields by control.
std::vector<std::pair<int, pc::Rect*>> LayoutFields(pc::MainLayout& l) {
  auto& t = l.test;
  auto& d = l.defaults;
  return {
      {IDC_SSTAB, &l.SSTab},
      {IDC_FRATESTSYSLOG, &t.fratestSyslog},
      {IDC_TXTTESTSYSLOGSERVER, &t.txtTestSyslogServer},
      {IDC_TXTTESTSYSLOGPORT, &t.txtTestSyslogPort},
      {IDC_LBLTESTFACILITY, &t.lblTestFacility},
      {IDC_LBLTESTPRIORITY, &t.lblTestPriority},
      {IDC_CBTESTFACILITY, &t.cbTestFacility},
      {IDC_CBTESTPRIORITY, &t.cbTestPriority},
      {IDC_TXTTESTSYSLOGMSG, &t.txtTestSyslogMSG},
      {IDC_CMDLOGTOSYSLOG, &t.cmdLogToSyslog},
      {IDC_CMDGENSYSLOGSCRIPT, &t.cmdGenSyslogScript},
      {IDC_FRATESTNTEVENTLOG, &t.fraTestNTEventLog},
      {IDC_TXTTESTEVENTLOGCOMPUTER, &t.txtTestEventLogComputer},
      {IDC_TXTTESTEVENTLOGSOURCE, &t.txtTestEventLogSource},
      {IDC_LBLTESTEVENTLOGTYPE, &t.lbltestEventLogType},
      {IDC_LBLTESTEVENTLOGID, &t.lblTestEventLogID},
      {IDC_CBTESTEVENTLOGTYPE, &t.cbTestEventLogType},
      {IDC_TXTTESTEVENTLOGID, &t.txtTestEventLogID},
      {IDC_TXTTESTEVENTLOGMSG, &t.txtTestEventLogMSG},
      {IDC_CMDLOGTOEVENTLOG, &t.cmdLogToEventLog},
      {IDC_CMDGENEVENTSCRIPT, &t.cmdGenEventScript},
      {IDC_FRADEFAULTS, &d.fraDefaults},
      {IDC_FRASYSLOG, &d.fraSyslog},
      {IDC_FRANTEVEMTLOG, &d.fraNTEVemtLog},
      {IDC_TXTSYSLOGSERVER, &d.txtSyslogServer},
      {IDC_TXTSYSLOGPORT, &d.txtSyslogPort},
      {IDC_CBFACILITY, &d.cbFacility},
      {IDC_CBPRIORITY, &d.cbPriority},
      {IDC_TXTEVENTLOGCOMPUTER, &d.txtEventLogComputer},
      {IDC_TXTEVENTLOGSOURCE, &d.txtEventLogSource},
      {IDC_CBEVENTLOGTYPE, &d.cbEventLogType},
      {IDC_TXTEVENTLOGID, &d.txtEventLogID},
      {IDC_PBOK, &l.pbOK},
      {IDC_PBCANCEL, &l.pbCancel},
      {IDC_PBAPPLY, &l.pbApply},
  };
}

// Pixel origin of a container within the client area.
POINT ContainerOrigin(int container) {
  if (container == kWindow) return {0, 0};
  if (container == kPage) {
    const pc::Rect& tab = gPlaces[IDC_SSTAB];
    RECT display{0, 0, XPx(tab.width), YPx(tab.height)};
    TabCtrl_AdjustRect(gTab, FALSE, &display);
    return {XPx(tab.left) + display.left, YPx(tab.top) + display.top};
  }
  const ControlDef* def = FindDef(container);
  const POINT outer = ContainerOrigin(def->container);
  const pc::Rect& r = gPlaces[container];
  return {outer.x + XPx(r.left), outer.y + YPx(r.top)};
}

// Moves every control to its place.
void PlaceControls() {
  HDWP batch = BeginDeferWindowPos(static_cast<int>(std::size(kControls)) + 1);
  auto move = [&batch](HWND w, int x, int y, int cx, int cy) {
    if (batch) {
      batch = DeferWindowPos(batch, w, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      SetWindowPos(w, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  };
  const pc::Rect& tab = gPlaces[IDC_SSTAB];
  move(gTab, XPx(tab.left), YPx(tab.top), XPx(tab.width), YPx(tab.height));
  for (const auto& def : kControls) {
    const POINT origin = ContainerOrigin(def.container);
    const pc::Rect& r = gPlaces[def.id];
    // A drop-down list's window height is the height of its open list.
    const int height = def.kind == Kind::Combo ? YPx(r.height) + 260 : YPx(r.height);
    move(Item(def.id), origin.x + XPx(r.left), origin.y + YPx(r.top), XPx(r.width), height);
  }
  if (batch) EndDeferWindowPos(batch);
  SendMessageW(gStatus, WM_SIZE, 0, 0);
}

pc::WindowSize CurrentSize() {
  RECT inner{}, outer{};
  GetClientRect(gMain, &inner);
  GetWindowRect(gMain, &outer);
  return {XTw(inner.right - inner.left), YTw(inner.bottom - inner.top), XTw(outer.right - outer.left),
          YTw(outer.bottom - outer.top)};
}

int ShownTab() { return TabCtrl_GetCurSel(gTab) == 1 ? 1 : 0; }

// ArrangeControls: the layout rules for the tab that shows, then the controls move.
void ArrangeControls() {
  pc::MainLayout layout;
  auto fields = LayoutFields(layout);
  for (auto& [id, rect] : fields) *rect = gPlaces[id];
  pc::ArrangeControls(CurrentSize(), ShownTab(), layout);
  for (auto& [id, rect] : fields) gPlaces[id] = *rect;
  PlaceControls();
}

// Shows the controls of one page and hides the other's.
void ShowPage(int page) {
  for (const auto& def : kControls) {
    if (def.page >= 0) ShowWindow(Item(def.id), def.page == page ? SW_SHOW : SW_HIDE);
  }
}

// ---- Text helpers -----------------------------------------------------------------------------
std::wstring TextOf(int id) { return pc::WindowText(Item(id)); }
std::u16string U16TextOf(int id) { return pc::ToU16(TextOf(id)); }
void SetTextOf(int id, std::u16string_view text) {
  SetWindowTextW(Item(id), pc::ToWide(text).c_str());
}
void SetTextOf(int id, int32_t number) { SetTextOf(id, pc::DecimalText(number)); }

void FillList(int id, std::span<const pc::ListEntry> entries) {
  HWND combo = Item(id);
  for (const auto& entry : entries) {
    const auto index = SendMessageW(combo, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(pc::ToWide(entry.text).c_str()));
    SendMessageW(combo, CB_SETITEMDATA, index, entry.itemData);
  }
}
int Selection(int id) { return static_cast<int>(SendMessageW(Item(id), CB_GETCURSEL, 0, 0)); }
void Select(int id, int position) { SendMessageW(Item(id), CB_SETCURSEL, position, 0); }
// The item data of the selected entry, or -1 with nothing selected.
int32_t SelectedItemData(int id) {
  const int sel = Selection(id);
  return sel < 0 ? -1 : static_cast<int32_t>(SendMessageW(Item(id), CB_GETITEMDATA, sel, 0));
}

// ---- Number fields: key filter and paste --------------------------------------------------
LRESULT CALLBACK NumberFieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
  switch (message) {
    case WM_CHAR: {
      const pc::KeyFilterResult r = pc::DigitsOnlyKeyFilter(static_cast<uint32_t>(wParam));
      if (r.beep) MessageBeep(MB_OK);
      if (r.code == 0) return 0;
      wParam = r.code;
      break;
    }
    case WM_PASTE: {
      // Pasted text bypasses the key filter: only its digits go in, the rest is refused
      // with the same beep as a refused key.
      if (!OpenClipboard(edit)) return 0;
      std::wstring text;
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
          text = chars;
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
      const std::u16string digits = pc::DigitsOnly(pc::ToU16(text));
      if (digits.size() != text.size()) MessageBeep(MB_OK);
      SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pc::ToWide(digits).c_str()));
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, NumberFieldProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

// ---- Defaults page ----------------------------------------------------------------------------
constexpr int kDefaultControls[] = {
    IDC_FRASYSLOG,       IDC_LBLSYSLOGSERVER,     IDC_TXTSYSLOGSERVER,     IDC_LBLSYSLOGPORT,
    IDC_TXTSYSLOGPORT,   IDC_LBLFACILITY,         IDC_CBFACILITY,          IDC_LBLPRIORITY,
    IDC_CBPRIORITY,      IDC_FRANTEVEMTLOG,       IDC_LBLEVENTLOGCOMPUTER, IDC_TXTEVENTLOGCOMPUTER,
    IDC_LBLEVENTLOGSOURCE, IDC_TXTEVENTLOGSOURCE, IDC_LBLEVENTLOGTYPE,     IDC_CBEVENTLOGTYPE,
    IDC_LBLEVENTLOGID,   IDC_TXTEVENTLOGID,
};

void SetDefaultControlsEnabled(bool enabled) {
  // BM_SETCHECK raises no click, so the box and the frames cannot chase each other.
  SendMessageW(Item(IDC_CHKENABLEDEFAULTS), BM_SETCHECK, enabled ? BST_CHECKED : BST_UNCHECKED, 0);
  for (int id : kDefaultControls) EnableWindow(Item(id), enabled ? TRUE : FALSE);
}
void EnableDefaultControls() { SetDefaultControlsEnabled(true); }
void DisableDefaultControls() { SetDefaultControlsEnabled(false); }

void FillDefaultsPage() {
  SetTextOf(IDC_TXTSYSLOGSERVER, gRecord.szSyslogServer);
  SetTextOf(IDC_TXTSYSLOGPORT, gRecord.iSyslogPort);  // runs the port check like typing
  Select(IDC_CBFACILITY, pc::FacilityPositionFor(gRecord.iSyslogFacility));
  Select(IDC_CBPRIORITY, pc::PriorityPositionFor(gRecord.iSyslogPriority));
  SetTextOf(IDC_TXTEVENTLOGCOMPUTER, gRecord.szEventLogComputer);
  SetTextOf(IDC_TXTEVENTLOGSOURCE, gRecord.szEventLogSource);
  Select(IDC_CBEVENTLOGTYPE, pc::EventTypePositionFor(gRecord.iEventLogType));
  SetTextOf(IDC_TXTEVENTLOGID, gRecord.iEventLogID);
}

void CopyDefaultsToTestPage() {
  SetTextOf(IDC_TXTTESTSYSLOGSERVER, gRecord.szSyslogServer);
  SetTextOf(IDC_TXTTESTSYSLOGPORT, gRecord.iSyslogPort);
  Select(IDC_CBTESTFACILITY, pc::FacilityPositionFor(gRecord.iSyslogFacility));
  Select(IDC_CBTESTPRIORITY, pc::PriorityPositionFor(gRecord.iSyslogPriority));
  SetTextOf(IDC_TXTTESTEVENTLOGCOMPUTER, gRecord.szEventLogComputer);
  SetTextOf(IDC_TXTTESTEVENTLOGSOURCE, gRecord.szEventLogSource);
  Select(IDC_CBTESTEVENTLOGTYPE, pc::EventTypePositionFor(gRecord.iEventLogType));
  SetTextOf(IDC_TXTTESTEVENTLOGID, gRecord.iEventLogID);
}

void SaveDefaults() {
  pc::DefaultsPageState page;
  page.enableDefaultsChecked =
      SendMessageW(Item(IDC_CHKENABLEDEFAULTS), BM_GETCHECK, 0, 0) == BST_CHECKED;
  page.facilityPosition = Selection(IDC_CBFACILITY);
  page.priorityPosition = Selection(IDC_CBPRIORITY);
  page.portText = U16TextOf(IDC_TXTSYSLOGPORT);
  page.server = U16TextOf(IDC_TXTSYSLOGSERVER);
  page.computer = U16TextOf(IDC_TXTEVENTLOGCOMPUTER);
  page.source = U16TextOf(IDC_TXTEVENTLOGSOURCE);
  page.eventIdText = U16TextOf(IDC_TXTEVENTLOGID);
  page.eventTypeItemData = SelectedItemData(IDC_CBEVENTLOGTYPE);
  pc::TakeDefaultsFromPage(page, gRecord);
  pc::RegistrySettingsStore store(pc::ghSettingsKey);
  pc::SaveSettings(store, gRecord);
}

// The port check of both port fields, run on every change of their text.
void CheckPort(int id) {
  const std::u16string text = U16TextOf(id);
  switch (pc::CheckPortText(text)) {
    case pc::PortCheck::Accept:
      break;
    case pc::PortCheck::TooLarge:
      MessageBoxW(gMain, pc::MessageText(pc::msg::kPortTooLarge).c_str(), pc::kProgramTitle,
                  MB_OK | MB_ICONSTOP);
      SetTextOf(id, pc::kMaxPortText);  // checked again, and accepted
      break;
    case pc::PortCheck::NotDigits:
      SetTextOf(id, pc::DigitsOnly(text));
      break;
  }
}

// ---- Test page ------------------------------------------------------------------------------
void UpdateSyslogTestButtons() {
  const BOOL enable = !TextOf(IDC_TXTTESTSYSLOGSERVER).empty() && !TextOf(IDC_TXTTESTSYSLOGPORT).empty();
  EnableWindow(Item(IDC_CMDLOGTOSYSLOG), enable);
  EnableWindow(Item(IDC_CMDGENSYSLOGSCRIPT), enable);
}

// Owners for the test's COM objects, so that every path releases them.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b_); }
  BSTR get() const { return b_; }

 private:
  BSTR b_;
};

class DispatchPtr {
 public:
  DispatchPtr() = default;
  DispatchPtr(const DispatchPtr&) = delete;
  DispatchPtr& operator=(const DispatchPtr&) = delete;
  ~DispatchPtr() {
    if (p_) p_->Release();
  }
  IDispatch** put() { return &p_; }
  IDispatch* operator->() const { return p_; }

 private:
  IDispatch* p_ = nullptr;
};

class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  ~WaitCursor() { SetCursor(previous_ ? previous_ : LoadCursorW(nullptr, IDC_ARROW)); }

 private:
  HCURSOR previous_;
};

// The outcome of a late-bound step: the error number and the platform's description.
struct ComFailure {
  HRESULT code = S_OK;
  std::wstring description;
};

// Fills `failure` from a failed Invoke; the object's own description wins when it gave one.
void TakeInvokeFailure(HRESULT hr, EXCEPINFO& info, ComFailure& failure) {
  failure.code = hr;
  if (hr == DISP_E_EXCEPTION) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    if (info.scode != 0) {
      failure.code = info.scode;
    } else if (info.wCode != 0) {
      failure.code = info.wCode;
    }
    if (info.bstrDescription) failure.description = info.bstrDescription;
  }
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
}

bool CallByName(IDispatch* object, const wchar_t* name, WORD flags, VARIANT& argument, ComFailure& failure) {
  DISPID id = 0;
  auto* nameText = const_cast<LPOLESTR>(name);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &nameText, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) {
    failure.code = hr;
    return false;
  }
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, nullptr, 1, 0};
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  EXCEPINFO info{};
  UINT argError = 0;
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, nullptr, &info, &argError);
  if (FAILED(hr)) {
    TakeInvokeFailure(hr, info, failure);
    return false;
  }
  return true;
}

bool PutText(IDispatch* object, const wchar_t* name, const std::wstring& text, ComFailure& failure) {
  Bstr value(text);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = value.get();
  return CallByName(object, name, DISPATCH_PROPERTYPUT, v, failure);
}

bool PutI2(IDispatch* object, const wchar_t* name, int number, ComFailure& failure) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I2;
  v.iVal = static_cast<SHORT>(number);
  return CallByName(object, name, DISPATCH_PROPERTYPUT, v, failure);
}

bool PutI4(IDispatch* object, const wchar_t* name, int32_t number, ComFailure& failure) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = number;
  return CallByName(object, name, DISPATCH_PROPERTYPUT, v, failure);
}

bool CallWithText(IDispatch* object, const wchar_t* name, const std::wstring& text, ComFailure& failure) {
  Bstr value(text);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = value.get();
  WaitCursor hourglass;
  return CallByName(object, name, DISPATCH_METHOD, v, failure);
}

bool CreateComponent(DispatchPtr& object, ComFailure& failure) {
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(kProgId, &clsid);
  if (SUCCEEDED(hr)) {
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(object.put()));
  }
  failure.code = hr;
  return SUCCEEDED(hr);
}

void ShowTestFailure(const ComFailure& failure) {
  const std::wstring text = pc::ErrorMessageText(L"Error: ", static_cast<int32_t>(failure.code), failure.description);
  MessageBoxW(gMain, text.c_str(), pc::kProgramTitle, MB_OK);
}

void LogToSyslogTest() {
  ComFailure failure;
  bool ok = false;
  {
    DispatchPtr object;
    ok = CreateComponent(object, failure) &&
         PutText(object.operator->(), L"SyslogServer", TextOf(IDC_TXTTESTSYSLOGSERVER), failure) &&
         PutText(object.operator->(), L"SyslogPort", TextOf(IDC_TXTTESTSYSLOGPORT), failure) &&
         PutI2(object.operator->(), L"SyslogFacility", Selection(IDC_CBTESTFACILITY), failure) &&
         PutI2(object.operator->(), L"SyslogPriority", Selection(IDC_CBTESTPRIORITY), failure) &&
         CallWithText(object.operator->(), L"LogToSyslog", TextOf(IDC_TXTTESTSYSLOGMSG), failure);
  }  // the object goes before any message shows
  if (!ok) ShowTestFailure(failure);
}

void LogToEventLogTest() {
  ComFailure failure;
  bool ok = false;
  {
    DispatchPtr object;
    ok = CreateComponent(object, failure) &&
         PutText(object.operator->(), L"EventLogComputer", TextOf(IDC_TXTTESTEVENTLOGCOMPUTER), failure) &&
         PutText(object.operator->(), L"EventLogSource", TextOf(IDC_TXTTESTEVENTLOGSOURCE), failure) &&
         PutText(object.operator->(), L"EventLogID", TextOf(IDC_TXTTESTEVENTLOGID), failure) &&
         PutI4(object.operator->(), L"EventLogType", SelectedItemData(IDC_CBTESTEVENTLOGTYPE), failure) &&
         CallWithText(object.operator->(), L"LogToEventLog", TextOf(IDC_TXTTESTEVENTLOGMSG), failure);
  }
  if (!ok) ShowTestFailure(failure);
}

// ---- Script generator (CDMain) ---------------------------------------------------------------
// Asks for the file; returns false on a cancel, an empty name or a dialog failure (then
// `error` holds the dialog's error code).
bool AskScriptFile(std::wstring& path, DWORD& error) {
  std::vector<wchar_t> buffer(32768, L'\0');
  gScriptFileName.copy(buffer.data(), std::min(gScriptFileName.size(), buffer.size() - 1));
  static constexpr wchar_t kFilter[] = L"VBS (*.vbs)\0*.vbs\0All Files (*.*)\0*.*\0";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = gMain;
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = L"Open";
  // A name that does not exist yet is welcome and an existing file is replaced without a
  // question. The working directory stays where the program started, because Help > Manual
  // looks for manual.htm there.
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  error = 0;
  if (!GetOpenFileNameW(&ofn)) {
    error = CommDlgExtendedError();
    return false;
  }
  path = buffer.data();
  gScriptFileName = path;
  return !path.empty();
}

void GenerateScript(bool syslog) {
  std::wstring path;
  DWORD error = 0;
  if (AskScriptFile(path, error)) {
    std::u16string text;
    if (syslog) {
      pc::SyslogScriptValues v;
      v.server = U16TextOf(IDC_TXTTESTSYSLOGSERVER);
      v.portText = U16TextOf(IDC_TXTTESTSYSLOGPORT);
      v.facility = Selection(IDC_CBTESTFACILITY);
      v.priority = Selection(IDC_CBTESTPRIORITY);
      v.message = U16TextOf(IDC_TXTTESTSYSLOGMSG);
      text = pc::SyslogScriptFileText(v);
    } else {
      pc::EventLogScriptValues v;
      v.computer = U16TextOf(IDC_TXTTESTEVENTLOGCOMPUTER);
      v.source = U16TextOf(IDC_TXTTESTEVENTLOGSOURCE);
      v.eventIdText = U16TextOf(IDC_TXTTESTEVENTLOGID);
      v.eventType = SelectedItemData(IDC_CBTESTEVENTLOGTYPE);
      v.message = U16TextOf(IDC_TXTTESTEVENTLOGMSG);
      text = pc::EventLogScriptFileText(v);
    }
    error = pc::WriteAnsiFile(path, text);
  }
  if (error == 0) return;  // written, or cancelled
  const std::wstring prefix = syslog ? pc::MessageText(pc::msg::kScriptError) : pc::ToWide(pc::kEventScriptErrorPrefix);
  const std::wstring message = pc::ErrorMessageText(prefix, static_cast<int32_t>(error));
  MessageBoxW(gMain, message.c_str(), pc::kProgramTitle, MB_OK);
}

// ---- Menu -------------------------------------------------------------------------------------
void OpenManual() {
  // "explorer manual.htm" from the working directory, maximised with the focus; the result
  // is not checked.
  wchar_t commandLine[] = L"explorer manual.htm";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWMAXIMIZED;
  PROCESS_INFORMATION pi{};
  if (CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
}

// ---- Window creation --------------------------------------------------------------------------
HWND CreateControl(const ControlDef& def, HINSTANCE instance) {
  const wchar_t* cls = L"BUTTON";
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  switch (def.kind) {
    case Kind::Frame:
      // A frame paints only its edge and caption: transparent, so that what lies below it
      // (the tab page) shows through instead of being clipped away.
      style |= BS_GROUPBOX;
      exStyle = WS_EX_TRANSPARENT;
      break;
    case Kind::Label:
      cls = L"STATIC";
      style |= SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX;
      break;
    case Kind::Edit:
      cls = L"EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case Kind::Combo:
      cls = L"COMBOBOX";
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      break;
    case Kind::Button:
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case Kind::Check:
      style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
  }
  if (def.page != 1) style |= WS_VISIBLE;  // the window opens on the test page
  return CreateWindowExW(exStyle, cls, L"", style, 0, 0, 0, 0, gMain,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id)), instance, nullptr);
}

void AddTooltip(int id) {
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = gMain;
  info.uId = reinterpret_cast<UINT_PTR>(Item(id));
  info.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(gTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void SetTooltip(int id, const std::wstring& text) {
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = gMain;
  info.uId = reinterpret_cast<UINT_PTR>(Item(id));
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(gTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CreateControls(HINSTANCE instance) {
  gTab = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0,
                         0, 0, gMain, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SSTAB)), instance, nullptr);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(L"");
  // The plain look: its page then has the colour of the window, like the labels on it.
  SetWindowTheme(gTab, L" ", L" ");
  TabCtrl_InsertItem(gTab, 0, &item);
  TabCtrl_InsertItem(gTab, 1, &item);
  for (const auto& def : kControls) {
    CreateControl(def, instance);
    gPlaces[def.id] = def.twips;
  }
  // Painting order: controls over their frames, frames over the tab control.
  for (int frame : {IDC_FRASYSLOG, IDC_FRANTEVEMTLOG, IDC_FRADEFAULTS, IDC_FRATESTSYSLOG, IDC_FRATESTNTEVENTLOG}) {
    SetWindowPos(Item(frame), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  SetWindowPos(gTab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  gStatus = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, gMain,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STBMAIN)), instance, nullptr);

  // Text boxes, lists and the status bar keep a font of their own; the language font goes to
  // the captions only.
  const auto ownFont = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  for (const auto& def : kControls) {
    if (def.kind == Kind::Edit || def.kind == Kind::Combo) SendMessageW(Item(def.id), WM_SETFONT, ownFont, FALSE);
  }
  SendMessageW(gStatus, WM_SETFONT, ownFont, FALSE);

  FillList(IDC_CBFACILITY, pc::FacilityList());
  FillList(IDC_CBPRIORITY, pc::PriorityList());
  FillList(IDC_CBEVENTLOGTYPE, pc::EventTypeList());
  FillList(IDC_CBTESTFACILITY, pc::FacilityList());
  FillList(IDC_CBTESTPRIORITY, pc::PriorityList());
  FillList(IDC_CBTESTEVENTLOGTYPE, pc::EventTypeList());

  for (int id : {IDC_TXTSYSLOGPORT, IDC_TXTEVENTLOGID, IDC_TXTTESTSYSLOGPORT, IDC_TXTTESTEVENTLOGID}) {
    SetWindowSubclass(Item(id), NumberFieldProc, 0, 0);
  }

  gTooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, gMain, nullptr, instance, nullptr);
  for (int id : {IDC_PBOK, IDC_PBCANCEL, IDC_PBAPPLY}) AddTooltip(id);
}

// Loading: the settings key, the stored defaults, both pages, then the language.
void LoadMainWindow() {
  pc::OpenOrCreateKey(HKEY_LOCAL_MACHINE, pc::kSettingsKeyPath, pc::ghSettingsKey);
  pc::RegistrySettingsStore store(pc::ghSettingsKey);
  gRecord = pc::LoadSettings(store);
  if (pc::ShowsDefaultsEnabled(gRecord.bBootFromRegistry)) {
    EnableDefaultControls();
  } else {
    DisableDefaultControls();
  }
  FillDefaultsPage();
  CopyDefaultsToTestPage();
  frmMain_Initiate_Language_settings();
}

// Resize: the minimum client size (one correction per resize; the correction's own resize
// makes the next one), then the layout.
void OnSize(UINT state) {
  if (state == SIZE_MINIMIZED || !gTab) return;
  const pc::MinSizeCorrection fix = pc::CheckMinimumSize(CurrentSize());
  if (fix.kind != pc::MinSizeCorrection::None) {
    RECT outer{};
    GetWindowRect(gMain, &outer);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    if (fix.kind == pc::MinSizeCorrection::Width) {
      width = XPx(fix.outer);
    } else {
      height = YPx(fix.outer);
    }
    SetWindowPos(gMain, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ArrangeControls();
}

void OnCommand(int id, int code) {
  switch (id) {
    case IDC_PBOK:
      SaveDefaults();
      ExitProcess(0);
    case IDC_PBCANCEL:
      ExitProcess(0);
    case IDC_PBAPPLY:
      SaveDefaults();
      CopyDefaultsToTestPage();
      break;
    case IDC_CHKENABLEDEFAULTS:
      if (code == BN_CLICKED) {
        if (SendMessageW(Item(IDC_CHKENABLEDEFAULTS), BM_GETCHECK, 0, 0) == BST_CHECKED) {
          EnableDefaultControls();
        } else {
          DisableDefaultControls();
        }
      }
      break;
    case IDC_TXTSYSLOGPORT:
      if (code == EN_CHANGE) CheckPort(id);
      break;
    case IDC_TXTTESTSYSLOGPORT:
      if (code == EN_CHANGE) {
        CheckPort(id);
        UpdateSyslogTestButtons();
      }
      break;
    case IDC_TXTTESTSYSLOGSERVER:
      if (code == EN_CHANGE) UpdateSyslogTestButtons();
      break;
    case IDC_CMDLOGTOSYSLOG:
      if (code == BN_CLICKED) LogToSyslogTest();
      break;
    case IDC_CMDLOGTOEVENTLOG:
      if (code == BN_CLICKED) LogToEventLogTest();
      break;
    case IDC_CMDGENSYSLOGSCRIPT:
      if (code == BN_CLICKED) GenerateScript(true);
      break;
    case IDC_CMDGENEVENTSCRIPT:
      if (code == BN_CLICKED) GenerateScript(false);
      break;
    case IDM_FILE_OPTIONS:
      ShowOptionsDialog(gMain);
      break;
    case IDM_HELP_ABOUT:
      ShowAboutBox(gMain);
      break;
    case IDM_HELP_MANUAL:
      OpenManual();
      break;
    default:
      break;
  }
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      gMain = window;
      CreateControls(reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance);
      return 0;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == gTab && header->code == TCN_SELCHANGE) {
        ShowPage(ShownTab());
        ArrangeControls();
      }
      return 0;
    }
    case WM_CLOSE:
      // The frame button ends the program without saving, as Cancel does; a loaded but
      // hidden Options dialog goes with it.
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void CreateMainWindow() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  pc::RegisterFormClass(kClassName, MainProc, instance, LoadIconW(nullptr, IDI_APPLICATION));

  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_CONTROLPARENT;
  HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINMENU));
  RECT frame{0, 0, XPx(pc::kMinInnerWidth), YPx(pc::kMinInnerHeight)};
  AdjustWindowRectEx(&frame, style, TRUE, exStyle);
  CreateWindowExW(exStyle, kClassName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                  frame.bottom - frame.top, nullptr, menu, instance, nullptr);
  if (!gMain) return;
  LoadMainWindow();
  OnSize(SIZE_RESTORED);  // the first showing counts as a resize
}

}  // namespace

void frmMain_Initiate_Language_settings() {
  if (!gMain) return;
  pc::SetLanguageFont();
  static constexpr int kFontList[] = {
      IDC_FRATESTSYSLOG,     IDC_LBLTESTSYSLOGSERVER,   IDC_LBLTESTSYSLOGPORT,     IDC_LBLTESTFACILITY,
      IDC_LBLTESTPRIORITY,   IDC_LBLTESTMSG,            IDC_CMDLOGTOSYSLOG,        IDC_FRATESTNTEVENTLOG,
      IDC_LBLTESTEVENTLOGCOMPUTER, IDC_LBLTESTEVENTLOGSOURCE, IDC_LBLTESTEVENTLOGTYPE, IDC_LBLTESTEVENTLOGID,
      IDC_LBLTESTMESSAGE,    IDC_CMDLOGTOEVENTLOG,      IDC_CMDGENSYSLOGSCRIPT,    IDC_CMDGENEVENTSCRIPT,
      IDC_CHKENABLEDEFAULTS, IDC_FRADEFAULTS,           IDC_FRASYSLOG,             IDC_LBLSYSLOGSERVER,
      IDC_LBLSYSLOGPORT,     IDC_LBLFACILITY,           IDC_LBLPRIORITY,           IDC_FRANTEVEMTLOG,
      IDC_LBLEVENTLOGCOMPUTER, IDC_LBLEVENTLOGSOURCE,   IDC_LBLEVENTLOGTYPE,       IDC_LBLEVENTLOGID,
      IDC_SSTAB,             IDC_PBOK,                  IDC_PBCANCEL,              IDC_PBAPPLY,
  };
  for (int id : kFontList) pc::ApplyLanguageFont(Item(id));
  pc::ApplyLanguageFont(gMain);

  static constexpr std::pair<int, int32_t> kTexts[] = {
      {IDC_FRATESTSYSLOG, 1},        {IDC_LBLTESTSYSLOGSERVER, 2},   {IDC_LBLTESTSYSLOGPORT, 3},
      {IDC_LBLTESTFACILITY, 4},      {IDC_LBLTESTPRIORITY, 5},       {IDC_LBLTESTMSG, 6},
      {IDC_CMDLOGTOSYSLOG, 7},       {IDC_FRATESTNTEVENTLOG, 8},     {IDC_LBLTESTEVENTLOGCOMPUTER, 9},
      {IDC_LBLTESTEVENTLOGSOURCE, 10}, {IDC_LBLTESTEVENTLOGTYPE, 11}, {IDC_LBLTESTEVENTLOGID, 12},
      {IDC_LBLTESTMESSAGE, 13},      {IDC_CMDLOGTOEVENTLOG, 14},     {IDC_CMDGENSYSLOGSCRIPT, 1000},
      {IDC_CMDGENEVENTSCRIPT, 1001}, {IDC_CHKENABLEDEFAULTS, 20},    {IDC_FRADEFAULTS, 21},
      {IDC_FRASYSLOG, 1},            {IDC_LBLSYSLOGSERVER, 2},       {IDC_LBLSYSLOGPORT, 3},
      {IDC_LBLFACILITY, 4},          {IDC_LBLPRIORITY, 5},           {IDC_FRANTEVEMTLOG, 8},
      {IDC_LBLEVENTLOGCOMPUTER, 9},  {IDC_LBLEVENTLOGSOURCE, 10},    {IDC_LBLEVENTLOGTYPE, 11},
      {IDC_LBLEVENTLOGID, 12},       {IDC_PBOK, 75},                 {IDC_PBCANCEL, 76},
      {IDC_PBAPPLY, 77},
  };
  for (const auto& [id, number] : kTexts) SetWindowTextW(Item(id), pc::MessageText(number).c_str());

  for (int tab = 0; tab < 2; ++tab) {
    std::wstring title = pc::MessageText(tab == 0 ? 70 : 71);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    TabCtrl_SetItem(gTab, tab, &item);
  }
  SetTooltip(IDC_PBOK, pc::MessageText(78));
  SetTooltip(IDC_PBCANCEL, pc::MessageText(79));
  SetTooltip(IDC_PBAPPLY, pc::MessageText(80));

  HMENU menu = GetMenu(gMain);
  auto setMenuText = [menu](UINT item, BOOL byPosition, int32_t number) {
    std::wstring text = pc::MessageText(number);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    SetMenuItemInfoW(menu, item, byPosition, &info);
  };
  setMenuText(0, TRUE, 100);
  setMenuText(IDM_FILE_OPTIONS, FALSE, 101);
  setMenuText(1, TRUE, 102);
  setMenuText(IDM_HELP_ABOUT, FALSE, 103);
  setMenuText(IDM_HELP_MANUAL, FALSE, 104);
  DrawMenuBar(gMain);
  // The tab headers may have changed height with the font: the pages follow.
  ArrangeControls();
  InvalidateRect(gMain, nullptr, TRUE);
}

void ShowMainWindow() {
  if (!gMain) CreateMainWindow();
  if (!gMain) return;
  ShowWindow(gMain, SW_SHOW);
  SetForegroundWindow(gMain);
}

HWND frmMainWindow() { return gMain; }
