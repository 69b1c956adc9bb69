#include "client/core/Layout.h"

#include <algorithm>

namespace pendrake::client {

int32_t DivideRounded(int32_t numerator, int32_t denominator) {
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  int32_t quotient = numerator / denominator;
  int32_t remainder = numerator % denominator;
  // Truncation went toward zero; move a negative remainder into [0, denominator).
  if (remainder < 0) {
    quotient -= 1;
    remainder += denominator;
  }
  const int32_t twice = 2 * remainder;
  if (twice > denominator || (twice == denominator && quotient % 2 != 0)) quotient += 1;
  return quotient;
}

int32_t Round20(int32_t twips) { return DivideRounded(twips, 20) * 20; }

namespace {

// A control cannot take a negative size; the window passes through such sizes only for the
// moment before its minimum size is restored.
int32_t Size(int32_t twips) { return std::max(twips, 0); }

void ArrangeTestPage(int32_t iw, TestPageLayout& t) {
  const int32_t quarter = Size(DivideRounded(iw, 4) - 150);

  t.fratestSyslog.width = Size(iw - 250);
  t.txtTestSyslogServer.width = quarter;
  t.txtTestSyslogPort.width = quarter;
  t.lblTestFacility.left = t.txtTestSyslogServer.Right() + 100;
  t.lblTestPriority.left = t.txtTestSyslogPort.Right() + 100;
  t.cbTestFacility.left = t.lblTestFacility.Right() + 100;
  t.cbTestFacility.width = Size(iw - t.lblTestFacility.Right() - 500);
  t.cbTestPriority.left = t.lblTestPriority.Right() + 100;
  t.cbTestPriority.width = Size(iw - t.lblTestPriority.Right() - 500);
  t.txtTestSyslogMSG.width = Size(iw - t.cmdLogToSyslog.width - 600);
  t.cmdLogToSyslog.left = t.txtTestSyslogMSG.Right() + 100;
  t.cmdGenSyslogScript.left = t.cmdLogToSyslog.left;

  t.fraTestNTEventLog.top = t.fratestSyslog.Bottom() + 100;
  t.fraTestNTEventLog.width = Size(iw - 250);
  t.txtTestEventLogComputer.width = quarter;
  t.txtTestEventLogSource.width = quarter;
  t.lbltestEventLogType.left = t.txtTestEventLogComputer.Right() + 100;
  t.lblTestEventLogID.left = t.txtTestEventLogSource.Right() + 100;
  t.lblTestEventLogID.top = t.txtTestEventLogSource.top;
  // The event type list and the event ID field sit directly against their labels.
  t.cbTestEventLogType.left = t.lbltestEventLogType.Right();
  t.cbTestEventLogType.width = Size(iw - t.lbltestEventLogType.Right() - 500);
  t.txtTestEventLogID.left = t.lblTestEventLogID.Right();
  t.txtTestEventLogID.width = Size(iw - t.lblTestEventLogID.Right() - 500);
  t.txtTestEventLogMSG.width = Size(iw - t.cmdLogToEventLog.width - 600);
  t.cmdLogToEventLog.left = t.txtTestEventLogMSG.Right() + 100;
  t.cmdGenEventScript.left = t.cmdLogToEventLog.left;
}

void ArrangeDefaultsPage(int32_t iw, int32_t ih, DefaultsPageLayout& d) {
  d.fraDefaults.width = Size(iw - 250);
  d.fraDefaults.height = Size(ih - 2000);
  const int32_t half = Size(DivideRounded(d.fraDefaults.width, 2) - 100);
  d.fraSyslog.width = half;
  d.fraNTEVemtLog.left = d.fraSyslog.Right() - 50;
  d.fraNTEVemtLog.width = half;
  for (Rect* field : {&d.txtSyslogServer, &d.txtSyslogPort, &d.cbFacility, &d.cbPriority}) {
    field->width = Size(d.fraSyslog.width - 500);
  }
  for (Rect* field : {&d.txtEventLogComputer, &d.txtEventLogSource, &d.cbEventLogType, &d.txtEventLogID}) {
    field->width = Size(d.fraNTEVemtLog.width - 500);
  }
}

}  // namespace

void ArrangeControls(const WindowSize& size, int shownTab, MainLayout& layout) {
  const int32_t w20 = Round20(size.innerWidth);
  const int32_t h20 = Round20(size.innerHeight);

  layout.SSTab = {0, 0, Size(w20), Size(size.outerHeight - 1500)};
  if (shownTab == 0) ArrangeTestPage(size.innerWidth, layout.test);
  if (shownTab == 1) ArrangeDefaultsPage(size.innerWidth, size.innerHeight, layout.defaults);

  layout.pbOK.top = layout.pbCancel.top = layout.pbApply.top = h20 - 750;
  layout.pbOK.left = w20 - 3015;
  layout.pbCancel.left = w20 - 2250;
  layout.pbApply.left = w20 - 1000;
}

namespace {

MinSizeCorrection Correct(const WindowSize& size, const WindowSize& minimum, bool snapSizes) {
  if (size.innerWidth < minimum.innerWidth) {
    const int32_t outer = minimum.innerWidth + size.outerWidth - size.innerWidth;
    return {MinSizeCorrection::Width, snapSizes ? std::max(minimum.outerWidth, outer) : outer};
  }
  if (size.innerHeight < minimum.innerHeight) {
    const int32_t outer = minimum.innerHeight + size.outerHeight - size.innerHeight;
    return {MinSizeCorrection::Height, snapSizes ? std::max(minimum.outerHeight, outer) : outer};
  }
  return {};
}

}  // namespace

MinSizeCorrection CheckMinimumSize(const WindowSize& size, int32_t dpi) {
  return Correct(size, {kMinInnerWidth, kMinInnerHeight, kSnapOuterWidth, kSnapOuterHeight}, dpi == kSnapDpi);
}

int32_t PixelsHolding(int32_t twips, int32_t dpi) {
  return static_cast<int32_t>((static_cast<int64_t>(twips) * dpi + 1439) / 1440);
}

MinSizeCorrection CheckMinimumPixels(const WindowSize& pixels, int32_t dpi) {
  const WindowSize minimum{PixelsHolding(kMinInnerWidth, dpi), PixelsHolding(kMinInnerHeight, dpi),
                           PixelsHolding(kSnapOuterWidth, dpi), PixelsHolding(kSnapOuterHeight, dpi)};
  return Correct(pixels, minimum, dpi == kSnapDpi);
}

}  // namespace pendrake::client
