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
#include <uxtheme.h>

#include <algorithm>
#include <span>
#include <string>
#include <utility>

#include "ControlIds.h"
#include "ControlText.h"
#include "Global.h"
#include "LateBinding.h"
#include "MainControls.h"
#include "MainKeys.h"
#include "Manual.h"
#include "ModalLoop.h"
#include "MessageNumbers.h"
#include "Registry.h"
#include "ScriptFileDialog.h"
#include "WindowDpi.h"
#include "client/core/InputRules.h"
#include "client/core/Layout.h"
#include "client/core/Messages.h"
#include "client/core/Scripts.h"
#include "client/core/Settings.h"
#include "frmAbout.h"
#include "frmOptions.h"

namespace pc = pendrake::client;
namespace msg = pendrake::client::msg;
using namespace pendrake::client::main_window;

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
bool gSettingsReadOnly = false;       // the settings key refused writes when the window loaded
std::wstring gScriptFileName;         // CDMain's remembered file name

// The resolution the window is laid out at: its monitor's, followed through WM_DPICHANGED.
int gDpi = 96;

// Lengths across and down, in pixels from twips and back, at the window's resolution.
int XPx(int twips) { return pc::TwipsAt(twips, gDpi); }
int YPx(int twips) { return pc::TwipsAt(twips, gDpi); }
int XTw(int pixels) { return pc::PixelsToTwipsAt(pixels, gDpi); }
int YTw(int pixels) { return pc::PixelsToTwipsAt(pixels, gDpi); }

// ---- The controls ----------------------------------------------------------------------------
// Their rows (MainControls.h): identifier, kind, page, container, initial place, caption,
// font and layout slot.

// The places in twips, relative to each control's container (IDC_SSTAB relative to the client
// area): the layout rules work on them where they stand.
pc::MainLayout gLayout;

pc::Rect PlaceOf(const ControlDef& def) { return def.slot ? *def.slot(gLayout) : def.twips; }

HWND Item(int id) { return GetDlgItem(gMain, id); }

// Pixel origin of a container within the client area.
POINT ContainerOrigin(int container) {
  if (container == kWindow) return {0, 0};
  if (container == kPage) {
    const pc::Rect& tab = gLayout.SSTab;
    RECT display{0, 0, XPx(tab.width), YPx(tab.height)};
    TabCtrl_AdjustRect(gTab, FALSE, &display);
    return {XPx(tab.left) + display.left, YPx(tab.top) + display.top};
  }
  const ControlDef* def = FindControl(container);
  const POINT outer = ContainerOrigin(def->container);
  const pc::Rect r = PlaceOf(*def);
  return {outer.x + XPx(r.left), outer.y + YPx(r.top)};
}

// A drop-down list's window height is the height of its open list: room for its entries, up
// to kDroppedEntries of them, in the list's own item height, so that it shows as many at every
// resolution and font.
constexpr int kDroppedEntries = 20;
int DroppedHeight(HWND combo, int fieldHeight) {
  const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  const auto item = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
  const int entries = count > 0 ? std::min(count, kDroppedEntries) : 1;
  // The list's border, above and below.
  return fieldHeight + entries * std::max(item, 1) + 2 * GetSystemMetrics(SM_CYBORDER);
}

// Moves every control to its place.
void PlaceControls() {
  HDWP batch = BeginDeferWindowPos(static_cast<int>(MainControls().size()) + 1);
  auto move = [&batch](HWND w, int x, int y, int cx, int cy) {
    if (batch) {
      batch = DeferWindowPos(batch, w, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      SetWindowPos(w, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  };
  const pc::Rect& tab = gLayout.SSTab;
  move(gTab, XPx(tab.left), YPx(tab.top), XPx(tab.width), YPx(tab.height));
  for (const auto& def : MainControls()) {
    const POINT origin = ContainerOrigin(def.container);
    const pc::Rect r = PlaceOf(def);
    const int height = def.kind == Kind::Combo ? DroppedHeight(Item(def.id), YPx(r.height)) : YPx(r.height);
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
// ---- The status line ---------------------------------------------------------------------------
// The one line the status bar shows (a settings key that refuses writes) is wider than the
// window at its minimum size in German and Greek, and a status bar draws a single line, cut
// off. It is drawn wrapped instead: the bar grows by the lines the text needs at the window's
// width, and the controls above it are arranged in what is left (ArrangeControls).

// Where the text goes in a status bar of `bar` size: inside its borders, clear of the grip.
RECT StatusTextRect(const RECT& bar) {
  const int margin = MulDiv(4, gDpi, 96);
  return {bar.left + margin, bar.top + margin / 2, bar.right - GetSystemMetrics(SM_CXVSCROLL) - margin,
          bar.bottom - margin / 2};
}

LRESULT CALLBACK StatusLineProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(bar, &paint);
    RECT client{};
    GetClientRect(bar, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const int grip = GetSystemMetrics(SM_CXVSCROLL);
    RECT corner{client.right - grip, client.bottom - grip, client.right, client.bottom};
    DrawFrameControl(dc, &corner, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    const std::wstring text = pc::WindowText(bar);
    RECT place = StatusTextRect(client);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(bar, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place, DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(bar, &paint);
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(bar, StatusLineProc, 0);
  return DefSubclassProc(bar, message, wParam, lParam);
}

// Gives the status bar the height its wrapped text needs at the window's width; returns how
// many pixels taller than one line it has become.
int FitStatusLine() {
  if (!gSettingsReadOnly) return 0;
  RECT client{};
  GetClientRect(gMain, &client);
  const std::wstring text = pc::WindowText(gStatus);
  HDC dc = GetDC(gStatus);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(gStatus, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT place = StatusTextRect({0, 0, client.right, metrics.tmHeight});
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(gStatus, dc);
  auto barHeight = [](int drawingArea) {
    SendMessageW(gStatus, SB_SETMINHEIGHT, drawingArea, 0);
    SendMessageW(gStatus, WM_SIZE, 0, 0);
    RECT bar{};
    GetWindowRect(gStatus, &bar);
    return static_cast<int>(bar.bottom - bar.top);
  };
  const int margin = MulDiv(4, gDpi, 96);
  const int oneLine = barHeight(metrics.tmHeight + margin);
  return std::max(0, barHeight(std::max<int>(place.bottom - place.top, metrics.tmHeight) + margin) - oneLine);
}

void ArrangeControls() {
  // The controls are arranged above a status bar that has grown, as if the window were that
  // much shorter (a shorter layout of the same rules).
  const int statusExtra = YTw(FitStatusLine());
  pc::WindowSize size = CurrentSize();
  size.innerHeight -= statusExtra;
  size.outerHeight -= statusExtra;
  pc::ArrangeControls(size, ShownTab(), gLayout);
  PlaceControls();
}

// Shows the controls of one page and hides the other's.
void ShowPage(int page) {
  for (const auto& def : MainControls()) {
    if (def.page >= 0) ShowWindow(Item(def.id), def.page == page ? SW_SHOW : SW_HIDE);
  }
}

// ---- Defaults page ----------------------------------------------------------------------------
// The controls inside the two frames of the stored defaults, and the frames themselves.
bool IsDefaultControl(const ControlDef& def) { return def.page == 1 && def.container != kPage; }

void SetDefaultControlsEnabled(bool enabled) {
  // BM_SETCHECK raises no click, so the box and the frames cannot chase each other.
  SendMessageW(Item(IDC_CHKENABLEDEFAULTS), BM_SETCHECK, enabled ? BST_CHECKED : BST_UNCHECKED, 0);
  for (const auto& def : MainControls()) {
    if (IsDefaultControl(def)) EnableWindow(Item(def.id), enabled ? TRUE : FALSE);
  }
}
void EnableDefaultControls() { SetDefaultControlsEnabled(true); }
void DisableDefaultControls() { SetDefaultControlsEnabled(false); }

// The fields of a page that show the record, one identifier each.
struct RecordFields {
  int server, port, facility, priority, computer, source, eventType, eventId;
};
constexpr RecordFields kDefaultsFields{IDC_TXTSYSLOGSERVER,     IDC_TXTSYSLOGPORT,     IDC_CBFACILITY,
                                       IDC_CBPRIORITY,          IDC_TXTEVENTLOGCOMPUTER, IDC_TXTEVENTLOGSOURCE,
                                       IDC_CBEVENTLOGTYPE,      IDC_TXTEVENTLOGID};
constexpr RecordFields kTestFields{IDC_TXTTESTSYSLOGSERVER,    IDC_TXTTESTSYSLOGPORT,       IDC_CBTESTFACILITY,
                                   IDC_CBTESTPRIORITY,         IDC_TXTTESTEVENTLOGCOMPUTER, IDC_TXTTESTEVENTLOGSOURCE,
                                   IDC_CBTESTEVENTLOGTYPE,     IDC_TXTTESTEVENTLOGID};

void ShowRecord(const RecordFields& f) {
  pc::SetTextOf(gMain, f.server, gRecord.szSyslogServer);
  // As the component will send it; runs the port check like typing.
  pc::SetTextOf(gMain, f.port, pc::PortTextFor(gRecord.iSyslogPort));
  pc::SelectInCombo(gMain, f.facility, pc::FacilityPositionFor(gRecord.iSyslogFacility));
  pc::SelectInCombo(gMain, f.priority, pc::PriorityPositionFor(gRecord.iSyslogPriority));
  pc::SetTextOf(gMain, f.computer, gRecord.szEventLogComputer);
  pc::SetTextOf(gMain, f.source, gRecord.szEventLogSource);
  pc::SelectInCombo(gMain, f.eventType, pc::EventTypePositionFor(gRecord.iEventLogType));
  pc::SetNumberOf(gMain, f.eventId, gRecord.iEventLogID);
}

void FillDefaultsPage() { ShowRecord(kDefaultsFields); }
void CopyDefaultsToTestPage() { ShowRecord(kTestFields); }

// Takes the page into the record and stores it. A refused write shows the error box and
// leaves the record as it was stored before, so nothing claims a save that did not happen.
bool SaveDefaults() {
  pc::DefaultsPageState page;
  page.enableDefaultsChecked =
      SendMessageW(Item(IDC_CHKENABLEDEFAULTS), BM_GETCHECK, 0, 0) == BST_CHECKED;
  page.facilityPosition = pc::ComboSelection(gMain, IDC_CBFACILITY);
  page.priorityPosition = pc::ComboSelection(gMain, IDC_CBPRIORITY);
  page.portText = pc::U16TextOf(gMain, IDC_TXTSYSLOGPORT);
  page.server = pc::U16TextOf(gMain, IDC_TXTSYSLOGSERVER);
  page.computer = pc::U16TextOf(gMain, IDC_TXTEVENTLOGCOMPUTER);
  page.source = pc::U16TextOf(gMain, IDC_TXTEVENTLOGSOURCE);
  page.eventIdText = pc::U16TextOf(gMain, IDC_TXTEVENTLOGID);
  page.eventTypeItemData = pc::ComboSelectedItemData(gMain, IDC_CBEVENTLOGTYPE);
  const pc::SettingsRecord stored = gRecord;
  pc::TakeDefaultsFromPage(page, gRecord);
  pc::RegistrySettingsStore store(pc::ghSettingsKey.get());
  const int32_t error = pc::SaveSettings(store, gRecord);  // no key: ERROR_INVALID_HANDLE
  if (error == 0) return true;
  gRecord = stored;
  const std::wstring text = pc::ErrorMessageText(pc::MessageText(msg::kSaveFailed), error);
  MessageBoxW(gMain, text.c_str(), pc::kProgramTitle, MB_OK);
  return false;
}

// The port check of both port fields, run on every change of their text.
void CheckPort(int id) {
  const std::u16string text = pc::U16TextOf(gMain, id);
  switch (pc::CheckPortText(text)) {
    case pc::PortCheck::Accept:
      break;
    case pc::PortCheck::TooLarge:
      MessageBoxW(gMain, pc::MessageText(pc::msg::kPortTooLarge).c_str(), pc::kProgramTitle,
                  MB_OK | MB_ICONSTOP);
      pc::SetTextOf(gMain, id, pc::kMaxPortText);  // checked again, and accepted
      break;
    case pc::PortCheck::NotDigits:
      pc::SetTextOf(gMain, id, pc::DigitsOnly(text));
      break;
  }
}

// ---- Test page ------------------------------------------------------------------------------
void UpdateSyslogTestButtons() {
  const BOOL enable =
      !pc::TextOf(gMain, IDC_TXTTESTSYSLOGSERVER).empty() && !pc::TextOf(gMain, IDC_TXTTESTSYSLOGPORT).empty();
  EnableWindow(Item(IDC_CMDLOGTOSYSLOG), enable);
  EnableWindow(Item(IDC_CMDGENSYSLOGSCRIPT), enable);
}

// A property a test puts on the fresh object: its name, how it travels and its control.
struct TestProperty {
  const wchar_t* name;
  enum How { Text, Position, ItemData } how;  // text / VT_I2 list position / VT_I4 item data
  int id;
};
constexpr TestProperty kSyslogTest[] = {{L"SyslogServer", TestProperty::Text, IDC_TXTTESTSYSLOGSERVER},
                                        {L"SyslogPort", TestProperty::Text, IDC_TXTTESTSYSLOGPORT},
                                        {L"SyslogFacility", TestProperty::Position, IDC_CBTESTFACILITY},
                                        {L"SyslogPriority", TestProperty::Position, IDC_CBTESTPRIORITY}};
constexpr TestProperty kEventLogTest[] = {{L"EventLogComputer", TestProperty::Text, IDC_TXTTESTEVENTLOGCOMPUTER},
                                          {L"EventLogSource", TestProperty::Text, IDC_TXTTESTEVENTLOGSOURCE},
                                          {L"EventLogID", TestProperty::Text, IDC_TXTTESTEVENTLOGID},
                                          {L"EventLogType", TestProperty::ItemData, IDC_CBTESTEVENTLOGTYPE}};

bool PutProperty(IDispatch* object, const TestProperty& p, pc::ComFailure& failure) {
  switch (p.how) {
    case TestProperty::Text:
      return pc::PutText(object, p.name, pc::TextOf(gMain, p.id), failure);
    case TestProperty::Position:
      return pc::PutI2(object, p.name, pc::ComboSelection(gMain, p.id), failure);
    case TestProperty::ItemData:
      return pc::PutI4(object, p.name, pc::ComboSelectedItemData(gMain, p.id), failure);
  }
  return false;
}

// The properties in their order, then the method with the message; the first failure stops.
void RunTest(std::span<const TestProperty> properties, const wchar_t* method, int messageId) {
  pc::WithNewObject(gMain, kProgId, [&](IDispatch* object, pc::ComFailure& failure) {
    for (const TestProperty& p : properties) {
      if (!PutProperty(object, p, failure)) return false;
    }
    return pc::CallWithText(object, method, pc::TextOf(gMain, messageId), failure);
  });
}

void LogToSyslogTest() { RunTest(kSyslogTest, L"LogToSyslog", IDC_TXTTESTSYSLOGMSG); }
void LogToEventLogTest() { RunTest(kEventLogTest, L"LogToEventLog", IDC_TXTTESTEVENTLOGMSG); }

// ---- Script generator (CDMain) ---------------------------------------------------------------
void GenerateScript(bool syslog) {
  std::wstring path;
  DWORD filterIndex = 1;
  DWORD error = 0;
  if (pc::AskScriptFile(gMain, gScriptFileName, path, filterIndex, error)) {
    const pc::ScriptLanguage language = pc::ScriptLanguageOf(pc::ToU16(path), filterIndex);
    std::u16string text;
    if (syslog) {
      pc::SyslogScriptValues v;
      v.server = pc::U16TextOf(gMain, IDC_TXTTESTSYSLOGSERVER);
      v.portText = pc::U16TextOf(gMain, IDC_TXTTESTSYSLOGPORT);
      v.facility = pc::ComboSelection(gMain, IDC_CBTESTFACILITY);
      v.priority = pc::ComboSelection(gMain, IDC_CBTESTPRIORITY);
      v.message = pc::U16TextOf(gMain, IDC_TXTTESTSYSLOGMSG);
      text = pc::SyslogScriptFileText(v, language);
    } else {
      pc::EventLogScriptValues v;
      v.computer = pc::U16TextOf(gMain, IDC_TXTTESTEVENTLOGCOMPUTER);
      v.source = pc::U16TextOf(gMain, IDC_TXTTESTEVENTLOGSOURCE);
      v.eventIdText = pc::U16TextOf(gMain, IDC_TXTTESTEVENTLOGID);
      v.eventType = pc::ComboSelectedItemData(gMain, IDC_CBTESTEVENTLOGTYPE);
      v.message = pc::U16TextOf(gMain, IDC_TXTTESTEVENTLOGMSG);
      text = pc::EventLogScriptFileText(v, language);
    }
    error = language == pc::ScriptLanguage::PowerShell ? pc::WriteFileBytes(path, pc::Utf8FileBytes(text))
                                                       : pc::WriteAnsiFile(path, text);
  }
  if (error == 0) return;  // written, or cancelled
  const std::wstring prefix = syslog ? pc::MessageText(pc::msg::kScriptError) : pc::ToWide(pc::kEventScriptErrorPrefix);
  const std::wstring message = pc::ErrorMessageText(prefix, static_cast<int32_t>(error));
  MessageBoxW(gMain, message.c_str(), pc::kProgramTitle, MB_OK);
}

// ---- Window creation --------------------------------------------------------------------------
// Text boxes, lists and the status bar keep a font of their own, at the window's resolution;
// the language font goes to the captions only.
void ApplyOwnFont() {
  const auto ownFont = reinterpret_cast<WPARAM>(pc::GuiFontFor(gDpi));
  for (const auto& def : MainControls()) {
    if (!def.languageFont) SendMessageW(Item(def.id), WM_SETFONT, ownFont, TRUE);
  }
  SendMessageW(gStatus, WM_SETFONT, ownFont, TRUE);
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
  for (const auto& def : MainControls()) {
    CreateControl(def, gMain, instance);
    if (def.slot) *def.slot(gLayout) = def.twips;
  }
  // Painting order: controls over their frames, frames over the tab control.
  for (int frame : {IDC_FRASYSLOG, IDC_FRANTEVEMTLOG, IDC_FRADEFAULTS, IDC_FRATESTSYSLOG, IDC_FRATESTNTEVENTLOG}) {
    SetWindowPos(Item(frame), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  SetWindowPos(gTab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  gStatus = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, gMain,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STBMAIN)), instance, nullptr);

  ApplyOwnFont();

  pc::FillComboList(gMain, IDC_CBFACILITY, pc::FacilityList());
  pc::FillComboList(gMain, IDC_CBPRIORITY, pc::PriorityList());
  pc::FillComboList(gMain, IDC_CBEVENTLOGTYPE, pc::EventTypeList());
  pc::FillComboList(gMain, IDC_CBTESTFACILITY, pc::FacilityList());
  pc::FillComboList(gMain, IDC_CBTESTPRIORITY, pc::PriorityList());
  pc::FillComboList(gMain, IDC_CBTESTEVENTLOGTYPE, pc::EventTypeList());

  for (const auto& def : MainControls()) {
    if (def.kind == Kind::Number) pc::MakeDigitsOnlyField(Item(def.id));
  }

  gTooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, gMain, nullptr, instance, nullptr);
  for (int id : {IDC_PBOK, IDC_PBCANCEL, IDC_PBAPPLY}) pc::AddTooltip(gTooltip, gMain, id);
}

// Loading: the settings key, the stored defaults, both pages, then the language.
void LoadMainWindow() {
  pc::OpenOrCreateKey(HKEY_LOCAL_MACHINE, pc::kSettingsKeyPath, pc::ghSettingsKey);
  gSettingsReadOnly = !pc::ghSettingsKey.get() || !pc::KeyAcceptsWrites(HKEY_LOCAL_MACHINE, pc::kSettingsKeyPath);
  pc::RegistrySettingsStore store(pc::ghSettingsKey.get());
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
  // Checked in pixels, with the minimum rounded up to whole ones: a minimum rounded down
  // converts back to less than its twips and would be corrected on every resize.
  RECT inner{}, outer{};
  GetClientRect(gMain, &inner);
  GetWindowRect(gMain, &outer);
  int width = outer.right - outer.left;
  int height = outer.bottom - outer.top;
  const pc::MinSizeCorrection fix = pc::CheckMinimumPixels({inner.right, inner.bottom, width, height}, gDpi);
  if (fix.kind != pc::MinSizeCorrection::None) {
    (fix.kind == pc::MinSizeCorrection::Width ? width : height) = fix.outer;
    SetWindowPos(gMain, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ArrangeControls();
}

void OnCommand(int id, int code) {
  switch (id) {
    case IDC_PBOK:
      if (SaveDefaults()) ExitProcess(0);
      break;
    case IDC_PBCANCEL:
      ExitProcess(0);
    case IDC_PBAPPLY:
      if (SaveDefaults()) CopyDefaultsToTestPage();
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
      pc::OpenManual(gMain);
      break;
    default:
      break;
  }
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      gMain = window;
      gDpi = pc::DpiOf(window);
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
    case WM_DPICHANGED: {
      // Another monitor: the suggested frame, then fonts and controls at its resolution.
      gDpi = HIWORD(wParam);
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyOwnFont();
      frmMain_Initiate_Language_settings();  // the language font at the new resolution, and the layout
      return 0;
    }
    case WM_SETFOCUS:
      // Restored from the task bar, the window itself gets the focus: it goes on to the
      // control that had it.
      if (pc::RestoreFocus(window)) return 0;
      break;
    case WM_CANCELMODE:
      // Comes before a dialog or message box disables the window and takes its focus away.
      pc::RememberFocus(window);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        pc::RememberFocus(window);
      } else if (!HIWORD(wParam) && pc::RestoreFocus(window)) {
        return 0;
      }
      break;
    case WM_CLOSE:
      // The frame button ends the program without saving, as Cancel does; a loaded but
      // hidden Options dialog goes with it.
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void CreateMainWindow() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  pc::RegisterFormClass(kClassName, MainProc, instance, LoadIconW(nullptr, IDI_APPLICATION));

  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_CONTROLPARENT;
  HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINMENU));
  // Sized at the screen's resolution; a window that opens on a monitor of another one is
  // measured again once it exists (CheckMinimumSize on its first showing).
  gDpi = pc::Dpi().y;
  RECT frame{0, 0, pc::PixelsHolding(pc::kMinInnerWidth, gDpi), pc::PixelsHolding(pc::kMinInnerHeight, gDpi)};
  AdjustWindowRectEx(&frame, style, TRUE, exStyle);
  CreateWindowExW(exStyle, kClassName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                  frame.bottom - frame.top, nullptr, menu, instance, nullptr);
  if (!gMain) return;
  // Every message of the window's own passes here, so the control with the focus is known
  // before another program or a dialog takes it away.
  pc::SetKeyFilter(gMain, [](const MSG& msg) {
    pc::RememberFocus(gMain);
    return pc::TakeTabKey(gTab, msg);
  });
  LoadMainWindow();
  OnSize(SIZE_RESTORED);  // the first showing counts as a resize
}

}  // namespace

void frmMain_Initiate_Language_settings() {
  if (!gMain) return;
  pc::SetLanguageFont();
  for (const auto& def : MainControls()) {
    if (def.languageFont) pc::ApplyLanguageFont(Item(def.id));
  }
  pc::ApplyLanguageFont(gTab);
  pc::ApplyLanguageFont(gMain);
  for (const auto& def : MainControls()) {
    if (def.caption != kNoText) pc::SetCaption(gMain, def.id, def.caption);
  }

  for (int tab = 0; tab < 2; ++tab) {
    std::wstring title = pc::MessageText(tab == 0 ? pc::msg::kTestTab : pc::msg::kDefaultsTab);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    TabCtrl_SetItem(gTab, tab, &item);
  }
  // The one line the status bar ever shows, relabelled with the rest, and drawn wrapped.
  if (gSettingsReadOnly) {
    SetWindowTextW(gStatus, pc::MessageText(msg::kSettingsReadOnly).c_str());
    SetWindowSubclass(gStatus, StatusLineProc, 0, 0);
  }
  pc::SetTooltip(gTooltip, gMain, IDC_PBOK, pc::MessageText(pc::msg::kOkTip));
  pc::SetTooltip(gTooltip, gMain, IDC_PBCANCEL, pc::MessageText(pc::msg::kCancelTip));
  pc::SetTooltip(gTooltip, gMain, IDC_PBAPPLY, pc::MessageText(pc::msg::kApplyTip));

  HMENU menu = GetMenu(gMain);
  auto setMenuText = [menu](UINT item, BOOL byPosition, int32_t number) {
    std::wstring text = pc::MessageText(number);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    SetMenuItemInfoW(menu, item, byPosition, &info);
  };
  setMenuText(0, TRUE, pc::msg::kFileMenu);
  setMenuText(IDM_FILE_OPTIONS, FALSE, pc::msg::kOptionsMenu);
  setMenuText(1, TRUE, pc::msg::kHelpMenu);
  setMenuText(IDM_HELP_ABOUT, FALSE, pc::msg::kAboutMenu);
  setMenuText(IDM_HELP_MANUAL, FALSE, pc::msg::kManualMenu);
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
