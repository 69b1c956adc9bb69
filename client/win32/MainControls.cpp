#include "MainControls.h"

#include "ControlIds.h"
#include "MessageNumbers.h"

namespace pendrake::client::main_window {
namespace {

// A row's layout slot: the field of MainLayout that the layout rules move.
#define SLOT(field) [](MainLayout& l) { return &l.field; }

// Initial places: at the minimum client size (8235 x 5460 twips) every control shows in full,
// rows line up and nothing overlaps. The layout rules then stretch them with the window.
// Listed in tab order; frames come before their contents.
constexpr int kRow1 = 270, kRow2 = 660, kRowMsgLabel = 1065, kRowMsg = 1380;
constexpr int kEditH = 315, kButtonH = 345, kLabelW = 1455, kFieldLeft = 1575;
const ControlDef kControls[] = {
    // Test page: syslog frame.
    {IDC_FRATESTSYSLOG, Kind::Frame, 0, kPage, {60, 60, 7985, 1815},
     msg::kSyslogFrame, true, SLOT(test.fratestSyslog)},
    {IDC_LBLTESTSYSLOGSERVER, Kind::Label, 0, IDC_FRATESTSYSLOG, {120, kRow1, kLabelW, kEditH},
     msg::kSyslogServer, true, nullptr},
    {IDC_TXTTESTSYSLOGSERVER, Kind::Edit, 0, IDC_FRATESTSYSLOG, {kFieldLeft, kRow1, 1908, kEditH},
     kNoText, false, SLOT(test.txtTestSyslogServer)},
    {IDC_LBLTESTFACILITY, Kind::Label, 0, IDC_FRATESTSYSLOG, {3583, kRow1, 1125, kEditH},
     msg::kFacility, true, SLOT(test.lblTestFacility)},
    {IDC_CBTESTFACILITY, Kind::Combo, 0, IDC_FRATESTSYSLOG, {4808, kRow1, 2927, kEditH},
     kNoText, false, SLOT(test.cbTestFacility)},
    {IDC_LBLTESTSYSLOGPORT, Kind::Label, 0, IDC_FRATESTSYSLOG, {120, kRow2, kLabelW, kEditH},
     msg::kSyslogPort, true, nullptr},
    {IDC_TXTTESTSYSLOGPORT, Kind::Number, 0, IDC_FRATESTSYSLOG, {kFieldLeft, kRow2, 1908, kEditH},
     kNoText, false, SLOT(test.txtTestSyslogPort)},
    {IDC_LBLTESTPRIORITY, Kind::Label, 0, IDC_FRATESTSYSLOG, {3583, kRow2, 1125, kEditH},
     msg::kPriority, true, SLOT(test.lblTestPriority)},
    {IDC_CBTESTPRIORITY, Kind::Combo, 0, IDC_FRATESTSYSLOG, {4808, kRow2, 2927, kEditH},
     kNoText, false, SLOT(test.cbTestPriority)},
    {IDC_LBLTESTMSG, Kind::Label, 0, IDC_FRATESTSYSLOG, {120, kRowMsgLabel, 3000, 255},
     msg::kSyslogMessage, true, nullptr},
    {IDC_TXTTESTSYSLOGMSG, Kind::Edit, 0, IDC_FRATESTSYSLOG, {120, kRowMsg, 5835, kEditH},
     kNoText, false, SLOT(test.txtTestSyslogMSG)},
    {IDC_CMDLOGTOSYSLOG, Kind::Button, 0, IDC_FRATESTSYSLOG, {6055, kRowMsg - 15, 1800, kButtonH},
     msg::kLogToSyslog, true, SLOT(test.cmdLogToSyslog)},
    {IDC_CMDGENSYSLOGSCRIPT, Kind::Button, 0, IDC_FRATESTSYSLOG, {6055, kRowMsg - 375, 1800, kButtonH},
     msg::kGenerateSyslogScript, true, SLOT(test.cmdGenSyslogScript)},
    // Test page: event log frame.
    {IDC_FRATESTNTEVENTLOG, Kind::Frame, 0, kPage, {60, 1975, 7985, 1815},
     msg::kEventLogFrame, true, SLOT(test.fraTestNTEventLog)},
    {IDC_LBLTESTEVENTLOGCOMPUTER, Kind::Label, 0, IDC_FRATESTNTEVENTLOG, {120, kRow1, kLabelW, kEditH},
     msg::kEventLogComputer, true, nullptr},
    {IDC_TXTTESTEVENTLOGCOMPUTER, Kind::Edit, 0, IDC_FRATESTNTEVENTLOG, {kFieldLeft, kRow1, 1908, kEditH},
     kNoText, false, SLOT(test.txtTestEventLogComputer)},
    {IDC_LBLTESTEVENTLOGTYPE, Kind::Label, 0, IDC_FRATESTNTEVENTLOG, {3583, kRow1, 1225, kEditH},
     msg::kEventLogType, true, SLOT(test.lbltestEventLogType)},
    {IDC_CBTESTEVENTLOGTYPE, Kind::Combo, 0, IDC_FRATESTNTEVENTLOG, {4808, kRow1, 2927, kEditH},
     kNoText, false, SLOT(test.cbTestEventLogType)},
    {IDC_LBLTESTEVENTLOGSOURCE, Kind::Label, 0, IDC_FRATESTNTEVENTLOG, {120, kRow2, kLabelW, kEditH},
     msg::kEventLogSource, true, nullptr},
    {IDC_TXTTESTEVENTLOGSOURCE, Kind::Edit, 0, IDC_FRATESTNTEVENTLOG, {kFieldLeft, kRow2, 1908, kEditH},
     kNoText, false, SLOT(test.txtTestEventLogSource)},
    {IDC_LBLTESTEVENTLOGID, Kind::Label, 0, IDC_FRATESTNTEVENTLOG, {3583, kRow2, 1225, kEditH},
     msg::kEventLogId, true, SLOT(test.lblTestEventLogID)},
    {IDC_TXTTESTEVENTLOGID, Kind::Number, 0, IDC_FRATESTNTEVENTLOG, {4808, kRow2, 2927, kEditH},
     kNoText, false, SLOT(test.txtTestEventLogID)},
    {IDC_LBLTESTMESSAGE, Kind::Label, 0, IDC_FRATESTNTEVENTLOG, {120, kRowMsgLabel, 3000, 255},
     msg::kEventLogMessage, true, nullptr},
    {IDC_TXTTESTEVENTLOGMSG, Kind::Edit, 0, IDC_FRATESTNTEVENTLOG, {120, kRowMsg, 5835, kEditH},
     kNoText, false, SLOT(test.txtTestEventLogMSG)},
    {IDC_CMDLOGTOEVENTLOG, Kind::Button, 0, IDC_FRATESTNTEVENTLOG, {6055, kRowMsg - 15, 1800, kButtonH},
     msg::kLogToEventLog, true, SLOT(test.cmdLogToEventLog)},
    {IDC_CMDGENEVENTSCRIPT, Kind::Button, 0, IDC_FRATESTNTEVENTLOG, {6055, kRowMsg - 375, 1800, kButtonH},
     msg::kGenerateEventScript, true, SLOT(test.cmdGenEventScript)},
    // Defaults page.
    {IDC_CHKENABLEDEFAULTS, Kind::Check, 1, kPage, {120, 60, 4000, 255}, msg::kEnableDefaults, true, nullptr},
    {IDC_FRADEFAULTS, Kind::Frame, 1, kPage, {60, 360, 7985, 3460},
     msg::kDefaultsFrame, true, SLOT(defaults.fraDefaults)},
    {IDC_FRASYSLOG, Kind::Frame, 1, IDC_FRADEFAULTS, {120, 270, 3892, 2850},
     msg::kSyslogFrame, true, SLOT(defaults.fraSyslog)},
    {IDC_LBLSYSLOGSERVER, Kind::Label, 1, IDC_FRASYSLOG, {250, 255, 2400, 240}, msg::kSyslogServer, true, nullptr},
    {IDC_TXTSYSLOGSERVER, Kind::Edit, 1, IDC_FRASYSLOG, {250, 495, 3392, kEditH},
     kNoText, false, SLOT(defaults.txtSyslogServer)},
    {IDC_LBLSYSLOGPORT, Kind::Label, 1, IDC_FRASYSLOG, {250, 885, 2400, 240}, msg::kSyslogPort, true, nullptr},
    {IDC_TXTSYSLOGPORT, Kind::Number, 1, IDC_FRASYSLOG, {250, 1125, 3392, kEditH},
     kNoText, false, SLOT(defaults.txtSyslogPort)},
    {IDC_LBLFACILITY, Kind::Label, 1, IDC_FRASYSLOG, {250, 1515, 2400, 240}, msg::kFacility, true, nullptr},
    {IDC_CBFACILITY, Kind::Combo, 1, IDC_FRASYSLOG, {250, 1755, 3392, kEditH},
     kNoText, false, SLOT(defaults.cbFacility)},
    {IDC_LBLPRIORITY, Kind::Label, 1, IDC_FRASYSLOG, {250, 2145, 2400, 240}, msg::kPriority, true, nullptr},
    {IDC_CBPRIORITY, Kind::Combo, 1, IDC_FRASYSLOG, {250, 2385, 3392, kEditH},
     kNoText, false, SLOT(defaults.cbPriority)},
    {IDC_FRANTEVEMTLOG, Kind::Frame, 1, IDC_FRADEFAULTS, {3962, 270, 3892, 2850},
     msg::kEventLogFrame, true, SLOT(defaults.fraNTEVemtLog)},
    {IDC_LBLEVENTLOGCOMPUTER, Kind::Label, 1, IDC_FRANTEVEMTLOG, {250, 255, 2400, 240},
     msg::kEventLogComputer, true, nullptr},
    {IDC_TXTEVENTLOGCOMPUTER, Kind::Edit, 1, IDC_FRANTEVEMTLOG, {250, 495, 3392, kEditH},
     kNoText, false, SLOT(defaults.txtEventLogComputer)},
    {IDC_LBLEVENTLOGSOURCE, Kind::Label, 1, IDC_FRANTEVEMTLOG, {250, 885, 2400, 240},
     msg::kEventLogSource, true, nullptr},
    {IDC_TXTEVENTLOGSOURCE, Kind::Edit, 1, IDC_FRANTEVEMTLOG, {250, 1125, 3392, kEditH},
     kNoText, false, SLOT(defaults.txtEventLogSource)},
    {IDC_LBLEVENTLOGTYPE, Kind::Label, 1, IDC_FRANTEVEMTLOG, {250, 1515, 2400, 240},
     msg::kEventLogType, true, nullptr},
    {IDC_CBEVENTLOGTYPE, Kind::Combo, 1, IDC_FRANTEVEMTLOG, {250, 1755, 3392, kEditH},
     kNoText, false, SLOT(defaults.cbEventLogType)},
    {IDC_LBLEVENTLOGID, Kind::Label, 1, IDC_FRANTEVEMTLOG, {250, 2145, 2400, 240}, msg::kEventLogId, true, nullptr},
    {IDC_TXTEVENTLOGID, Kind::Number, 1, IDC_FRANTEVEMTLOG, {250, 2385, 3392, kEditH},
     kNoText, false, SLOT(defaults.txtEventLogID)},
    // The window's own buttons; placed by the layout at every resize.
    {IDC_PBOK, Kind::Button, -1, kWindow, {5225, 4710, 675, 375}, msg::kOk, true, SLOT(pbOK)},
    {IDC_PBCANCEL, Kind::Button, -1, kWindow, {5990, 4710, 1125, 375}, msg::kCancel, true, SLOT(pbCancel)},
    {IDC_PBAPPLY, Kind::Button, -1, kWindow, {7240, 4710, 900, 375}, msg::kApply, true, SLOT(pbApply)},
};
#undef SLOT

}  // namespace

std::span<const ControlDef> MainControls() { return kControls; }

const ControlDef* FindControl(int id) {
  for (const auto& def : kControls) {
    if (def.id == id) return &def;
  }
  return nullptr;
}

HWND CreateControl(const ControlDef& def, HWND parent, HINSTANCE instance) {
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
    case Kind::Number:
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
  return CreateWindowExW(exStyle, cls, L"", style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id)), instance, nullptr);
}

}  // namespace pendrake::client::main_window
