// Layout arithmetic of the main window, in twips. The window code converts at its edge.
#pragma once

#include <cstdint>

namespace pendrake::client {

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t Right() const { return left + width; }
  int32_t Bottom() const { return top + height; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Controls of the test tab that ArrangeControls moves or sizes (positions relative to their
// container, as the window keeps them).
struct TestPageLayout {
  Rect fratestSyslog, txtTestSyslogServer, txtTestSyslogPort, lblTestFacility, lblTestPriority,
      cbTestFacility, cbTestPriority, txtTestSyslogMSG, cmdLogToSyslog, cmdGenSyslogScript;
  Rect fraTestNTEventLog, txtTestEventLogComputer, txtTestEventLogSource, lbltestEventLogType,
      lblTestEventLogID, cbTestEventLogType, txtTestEventLogID, txtTestEventLogMSG,
      cmdLogToEventLog, cmdGenEventScript;
  friend bool operator==(const TestPageLayout&, const TestPageLayout&) = default;
};

// Controls of the defaults tab that ArrangeControls sizes.
struct DefaultsPageLayout {
  Rect fraDefaults, fraSyslog, fraNTEVemtLog;
  Rect txtSyslogServer, txtSyslogPort, cbFacility, cbPriority;
  Rect txtEventLogComputer, txtEventLogSource, cbEventLogType, txtEventLogID;
  friend bool operator==(const DefaultsPageLayout&, const DefaultsPageLayout&) = default;
};

struct MainLayout {
  Rect SSTab;
  TestPageLayout test;
  DefaultsPageLayout defaults;
  Rect pbOK, pbCancel, pbApply;
  friend bool operator==(const MainLayout&, const MainLayout&) = default;
};

struct WindowSize {
  int32_t innerWidth = 0;   // client area
  int32_t innerHeight = 0;
  int32_t outerWidth = 0;   // whole window, frame and title bar included
  int32_t outerHeight = 0;
};

// Twips to the nearest multiple of 20, halves to the even multiple (W20 / H20).
int32_t Round20(int32_t twips);

// `numerator / denominator` to the nearest whole number, halves to even.
int32_t DivideRounded(int32_t numerator, int32_t denominator);

// ArrangeControls: the tab control, the rules of the tab that is showing (0: test page,
// 1: defaults page; the other tab is left untouched), then the three buttons. Each rule
// reads what the earlier ones have just set. Controls and properties not named keep theirs.
void ArrangeControls(const WindowSize& size, int shownTab, MainLayout& layout);

// The minimum client area and the outer sizes the window snaps to.
inline constexpr int32_t kMinInnerWidth = 8235;
inline constexpr int32_t kMinInnerHeight = 5460;
inline constexpr int32_t kSnapOuterWidth = 8355;
inline constexpr int32_t kSnapOuterHeight = 6150;

struct MinSizeCorrection {
  enum Kind { None, Width, Height } kind = None;
  int32_t outer = 0;  // the new outer width or height
};

// One correction per resize (not minimised): a client area narrower than 8235 gives a new
// outer width, else one lower than 5460 gives a new outer height. At 96 DPI, the resolution the
// snap sizes are given for, the new outer size is the snap size (8355 / 6150), or larger where
// the window's frame is thicker than the classic 120 x 690 twips, so that the client area does
// reach the minimum after the correction. At any other resolution a frame keeps its pixels
// rather than its twips, so the snap sizes' allowance for it does not hold there: the new outer
// size is the minimum plus the window's real frame, and the client area is the minimum.
inline constexpr int32_t kSnapDpi = 96;
MinSizeCorrection CheckMinimumSize(const WindowSize& size, int32_t dpi = kSnapDpi);

// The fewest whole pixels at `dpi` that hold `twips`: rounded up, so that they convert back to
// at least `twips`. 8235 twips at 120 DPI are 687 pixels; the nearest 686 are 8232 twips.
int32_t PixelsHolding(int32_t twips, int32_t dpi);

// CheckMinimumSize on the window's sizes in pixels at `dpi`, with the minimum and the snap
// sizes held in whole pixels (PixelsHolding); the new outer size is in pixels too. A minimum
// rounded to the nearest pixel can fall short of the twips by a fraction, and then every
// resize corrects the width again and the height is never reached.
MinSizeCorrection CheckMinimumPixels(const WindowSize& pixels, int32_t dpi);

}  // namespace pendrake::client
