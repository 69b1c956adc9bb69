// The main window's layout arithmetic: rectangles after resizes and tab switches.
#include <gtest/gtest.h>

#include <string>

#include "client/core/Layout.h"

namespace pendrake::client {
namespace {

std::string Show(const Rect& r) {
  return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width) + "," +
         std::to_string(r.height) + "}";
}
#define EXPECT_RECT(expected, actual) EXPECT_EQ(Show(expected), Show(actual)) << #actual

// Positions as the window is first built (twips, relative to each control's container).
MainLayout Initial() {
  MainLayout l;
  TestPageLayout& t = l.test;
  t.fratestSyslog = {120, 400, 8000, 2600};
  t.txtTestSyslogServer = {1500, 300, 2000, 300};
  t.txtTestSyslogPort = {1500, 700, 2000, 300};
  t.lblTestFacility = {3600, 300, 900, 250};
  t.lblTestPriority = {3600, 700, 900, 250};
  t.cbTestFacility = {4600, 300, 2500, 300};
  t.cbTestPriority = {4600, 700, 2500, 300};
  t.txtTestSyslogMSG = {1500, 1100, 5000, 300};
  t.cmdLogToSyslog = {6600, 1100, 1400, 350};
  t.cmdGenSyslogScript = {6600, 1550, 1400, 350};
  t.fraTestNTEventLog = {120, 3000, 8000, 2200};
  t.txtTestEventLogComputer = {1500, 300, 2000, 300};
  t.txtTestEventLogSource = {1500, 700, 2000, 300};
  t.lbltestEventLogType = {3600, 300, 1000, 250};
  t.lblTestEventLogID = {3600, 650, 1000, 250};
  t.cbTestEventLogType = {4700, 300, 2500, 300};
  t.txtTestEventLogID = {4700, 700, 2500, 300};
  t.txtTestEventLogMSG = {1500, 1100, 5000, 300};
  t.cmdLogToEventLog = {6600, 1100, 1400, 350};
  t.cmdGenEventScript = {6600, 1550, 1400, 350};
  DefaultsPageLayout& d = l.defaults;
  d.fraDefaults = {120, 800, 8000, 3400};
  d.fraSyslog = {120, 300, 3900, 2900};
  d.fraNTEVemtLog = {4000, 300, 3900, 2900};
  for (Rect* r : {&d.txtSyslogServer, &d.txtSyslogPort, &d.cbFacility, &d.cbPriority}) *r = {1800, 400, 2000, 300};
  for (Rect* r : {&d.txtEventLogComputer, &d.txtEventLogSource, &d.cbEventLogType, &d.txtEventLogID}) {
    *r = {1800, 400, 2000, 300};
  }
  l.pbOK = {5220, 4700, 700, 375};
  l.pbCancel = {5985, 4700, 1000, 375};
  l.pbApply = {7235, 4700, 900, 375};
  return l;
}

TEST(Round20, NearestTwentyWithHalvesToEven) {
  const std::pair<int32_t, int32_t> kCases[] = {
      {0, 0},       {9, 0},       {10, 0},      {11, 20},     {30, 40},     {50, 40},
      {8235, 8240}, {8230, 8240}, {8210, 8200}, {8250, 8240}, {8270, 8280}, {9000, 9000},
      {-10, 0},     {-30, -40},
  };
  for (auto [in, out] : kCases) EXPECT_EQ(out, Round20(in)) << in;
}

TEST(DivideRounded, HalvesGoToTheEvenNeighbour) {
  struct Case {
    int32_t n, d, q;
  };
  const Case kCases[] = {{8235, 4, 2059}, {8234, 4, 2058}, {8238, 4, 2060}, {8750, 2, 4375},
                         {8751, 2, 4376}, {8753, 2, 4376}, {-6, 4, -2},     {-10, 4, -2}, {7, -2, -4}};
  for (const Case& c : kCases) EXPECT_EQ(c.q, DivideRounded(c.n, c.d)) << c.n << "/" << c.d;
}

TEST(ArrangeControls, TestPageFollowsTheWidthAndLeavesTheDefaultsPageAlone) {
  MainLayout l = Initial();
  const MainLayout before = l;
  ArrangeControls({9000, 6000, 9120, 6690}, 0, l);
  const TestPageLayout& t = l.test;
  EXPECT_RECT((Rect{0, 0, 9000, 5190}), l.SSTab);
  EXPECT_RECT((Rect{120, 400, 8750, 2600}), t.fratestSyslog);
  EXPECT_RECT((Rect{1500, 300, 2100, 300}), t.txtTestSyslogServer);
  EXPECT_RECT((Rect{1500, 700, 2100, 300}), t.txtTestSyslogPort);
  EXPECT_RECT((Rect{3700, 300, 900, 250}), t.lblTestFacility);
  EXPECT_RECT((Rect{3700, 700, 900, 250}), t.lblTestPriority);
  EXPECT_RECT((Rect{4700, 300, 3900, 300}), t.cbTestFacility);  // 100 right of its label
  EXPECT_RECT((Rect{4700, 700, 3900, 300}), t.cbTestPriority);
  EXPECT_RECT((Rect{1500, 1100, 7000, 300}), t.txtTestSyslogMSG);
  EXPECT_RECT((Rect{8600, 1100, 1400, 350}), t.cmdLogToSyslog);
  EXPECT_RECT((Rect{8600, 1550, 1400, 350}), t.cmdGenSyslogScript);
  EXPECT_RECT((Rect{120, 3100, 8750, 2200}), t.fraTestNTEventLog);
  EXPECT_RECT((Rect{1500, 300, 2100, 300}), t.txtTestEventLogComputer);
  EXPECT_RECT((Rect{1500, 700, 2100, 300}), t.txtTestEventLogSource);
  EXPECT_RECT((Rect{3700, 300, 1000, 250}), t.lbltestEventLogType);
  EXPECT_RECT((Rect{3700, 700, 1000, 250}), t.lblTestEventLogID);  // top of the source field
  EXPECT_RECT((Rect{4700, 300, 3800, 300}), t.cbTestEventLogType);  // directly against its label
  EXPECT_RECT((Rect{4700, 700, 3800, 300}), t.txtTestEventLogID);
  EXPECT_RECT((Rect{1500, 1100, 7000, 300}), t.txtTestEventLogMSG);
  EXPECT_RECT((Rect{8600, 1100, 1400, 350}), t.cmdLogToEventLog);
  EXPECT_RECT((Rect{8600, 1550, 1400, 350}), t.cmdGenEventScript);
  EXPECT_RECT((Rect{5985, 5250, 700, 375}), l.pbOK);
  EXPECT_RECT((Rect{6750, 5250, 1000, 375}), l.pbCancel);
  EXPECT_RECT((Rect{8000, 5250, 900, 375}), l.pbApply);
  EXPECT_EQ(before.defaults, l.defaults) << "the hidden tab keeps its geometry";
}

TEST(ArrangeControls, DefaultsPageTakesTheNewWidthAtTheSwitch) {
  MainLayout l = Initial();
  ArrangeControls({9000, 6000, 9120, 6690}, 0, l);
  const TestPageLayout testAfterResize = l.test;
  ArrangeControls({9000, 6000, 9120, 6690}, 1, l);
  const DefaultsPageLayout& d = l.defaults;
  EXPECT_RECT((Rect{120, 800, 8750, 4000}), d.fraDefaults);
  EXPECT_RECT((Rect{120, 300, 4275, 2900}), d.fraSyslog);
  EXPECT_RECT((Rect{4345, 300, 4275, 2900}), d.fraNTEVemtLog);  // 50 left of the syslog frame's right edge
  for (const Rect* r : {&d.txtSyslogServer, &d.txtSyslogPort, &d.cbFacility, &d.cbPriority}) {
    EXPECT_RECT((Rect{1800, 400, 3775, 300}), *r);
  }
  for (const Rect* r : {&d.txtEventLogComputer, &d.txtEventLogSource, &d.cbEventLogType, &d.txtEventLogID}) {
    EXPECT_RECT((Rect{1800, 400, 3775, 300}), *r);
  }
  EXPECT_EQ(testAfterResize, l.test) << "the test page is not touched while hidden";
}

TEST(ArrangeControls, MinimumSizeWithRoundedQuartersAndTwenties) {
  MainLayout l = Initial();
  ArrangeControls({8235, 5460, 8355, 6150}, 0, l);
  EXPECT_RECT((Rect{0, 0, 8240, 4650}), l.SSTab);
  EXPECT_EQ(1909, l.test.txtTestSyslogServer.width) << "8235 / 4 = 2058.75 -> 2059, less 150";
  EXPECT_EQ(7985, l.test.fratestSyslog.width);
  EXPECT_EQ(8240 - 3015, l.pbOK.left);
  EXPECT_EQ(5460 - 750, l.pbOK.top) << "H20 of 5460 is 5460";
  ArrangeControls({8235, 5470, 8355, 6160}, 1, l);
  EXPECT_EQ(5480 - 750, l.pbApply.top) << "5470 / 20 = 273.5 -> 274";
  EXPECT_EQ(7985, l.defaults.fraDefaults.width);
  EXPECT_EQ(3892, l.defaults.fraSyslog.width) << "7985 / 2 = 3992.5 -> 3992, less 100";
}

TEST(ArrangeControls, NoNegativeSizesWhileTheWindowIsTiny) {
  MainLayout l = Initial();
  ArrangeControls({100, 100, 220, 790}, 0, l);
  ArrangeControls({100, 100, 220, 790}, 1, l);
  for (const Rect* r : {&l.SSTab, &l.test.fratestSyslog, &l.test.cbTestFacility, &l.test.txtTestEventLogID,
                        &l.test.txtTestSyslogMSG, &l.defaults.fraDefaults, &l.defaults.fraSyslog,
                        &l.defaults.txtEventLogID}) {
    EXPECT_GE(r->width, 0) << Show(*r);
    EXPECT_GE(r->height, 0) << Show(*r);
  }
}

TEST(MinimumSize, OneCorrectionPerResize) {
  struct Case {
    WindowSize size;
    MinSizeCorrection::Kind kind;
    int32_t outer;
  };
  const Case kCases[] = {
      {{8000, 6000, 8120, 6690}, MinSizeCorrection::Width, 8355},
      {{8000, 5000, 8120, 5690}, MinSizeCorrection::Width, 8355},  // width first, height later
      {{8234, 5460, 8354, 6150}, MinSizeCorrection::Width, 8355},
      {{8235, 5459, 8355, 6149}, MinSizeCorrection::Height, 6150},
      {{8235, 5460, 8355, 6150}, MinSizeCorrection::None, 0},
      {{12000, 9000, 12120, 9690}, MinSizeCorrection::None, 0},
      {{8000, 6000, 8300, 6900}, MinSizeCorrection::Width, 8535},   // thicker frame: client still reaches 8235
      {{9000, 5000, 9120, 5900}, MinSizeCorrection::Height, 6360},  // taller title and menu bar
      {{8000, 6000, 8060, 6300}, MinSizeCorrection::Width, 8355},   // thinner frame: the snap size stands
  };
  for (const Case& c : kCases) {
    const MinSizeCorrection got = CheckMinimumSize(c.size, 96);
    EXPECT_EQ(c.kind, got.kind) << c.size.innerWidth << "x" << c.size.innerHeight;
    if (c.kind != MinSizeCorrection::None) {
      EXPECT_EQ(c.outer, got.outer) << c.size.innerWidth;
    }
  }
}

// Away from 96 DPI the frame keeps its pixels, so the correction is the minimum plus the real
// frame, thinner or thicker than the classic one: the client area is then the minimum itself.
TEST(MinimumSize, AtOtherResolutionsTheClientAreaBecomesTheMinimum) {
  struct Case {
    int32_t dpi;
    WindowSize size;
    MinSizeCorrection::Kind kind;
    int32_t outer;
  };
  const Case kCases[] = {
      {144, {3000, 2000, 3090, 2460}, MinSizeCorrection::Width, 8325},    // 9 px of frame at 144 DPI
      {144, {8235, 2000, 8325, 2460}, MinSizeCorrection::Height, 5920},   // 46 px of caption, menu, frame
      {192, {8000, 6000, 8300, 6900}, MinSizeCorrection::Width, 8535},
      {120, {8235, 5460, 8355, 6150}, MinSizeCorrection::None, 0},
  };
  for (const Case& c : kCases) {
    const MinSizeCorrection got = CheckMinimumSize(c.size, c.dpi);
    EXPECT_EQ(c.kind, got.kind) << c.dpi << " DPI, " << c.size.innerWidth << "x" << c.size.innerHeight;
    EXPECT_EQ(c.outer, got.outer) << c.dpi << " DPI, " << c.size.innerWidth << "x" << c.size.innerHeight;
  }
}

TEST(MinimumSize, ShrunkWindowSnapsBackInTwoResizes) {
  for (const auto& [frameW, frameH] : {std::pair{120, 690}, std::pair{240, 1000}}) {
    WindowSize w{5000, 3000, 5000 + frameW, 3000 + frameH};
    int resizes = 0;
    for (;;) {
      const MinSizeCorrection c = CheckMinimumSize(w);
      if (c.kind == MinSizeCorrection::None) break;
      if (c.kind == MinSizeCorrection::Width) w = {c.outer - frameW, w.innerHeight, c.outer, w.outerHeight};
      if (c.kind == MinSizeCorrection::Height) w = {w.innerWidth, c.outer - frameH, w.outerWidth, c.outer};
      ASSERT_LT(++resizes, 5) << "corrections must settle";
    }
    EXPECT_EQ(2, resizes);
    EXPECT_GE(w.innerWidth, kMinInnerWidth);
    EXPECT_GE(w.innerHeight, kMinInnerHeight);
    if (frameW == 120) {
      EXPECT_EQ(8355, w.outerWidth);
      EXPECT_EQ(6150, w.outerHeight);
    }
  }
}

// The window checks its pixels. At every resolution a shrunk window settles in two resizes
// (width, then height) with a client area of at least 8235 x 5460 twips; 96 DPI keeps its snap
// sizes. Rounded to the nearest pixel, 120 and 216 DPI fell a fraction short of the width and
// corrected it on every resize, never reaching the height.
TEST(MinimumSize, PixelMinimumRoundsUpSoTheTwipsMinimumHoldsAtEveryResolution) {
  const int32_t frameW = 8, frameH = 46;  // pixels of border, caption and menu
  for (int32_t dpi : {96, 120, 144, 168, 192, 216}) {
    WindowSize w{300, 200, 300 + frameW, 200 + frameH};
    int resizes = 0;
    for (MinSizeCorrection c; (c = CheckMinimumPixels(w, dpi)).kind != MinSizeCorrection::None;) {
      if (c.kind == MinSizeCorrection::Width) w = {c.outer - frameW, w.innerHeight, c.outer, w.outerHeight};
      if (c.kind == MinSizeCorrection::Height) w = {w.innerWidth, c.outer - frameH, w.outerWidth, c.outer};
      ASSERT_LT(++resizes, 5) << dpi << " DPI: corrections must settle";
    }
    EXPECT_EQ(2, resizes) << dpi << " DPI";
    EXPECT_GE(int64_t{w.innerWidth} * 1440, int64_t{kMinInnerWidth} * dpi) << dpi << " DPI, " << w.innerWidth << " px";
    EXPECT_GE(int64_t{w.innerHeight} * 1440, int64_t{kMinInnerHeight} * dpi) << dpi << " DPI, " << w.innerHeight << " px";
    EXPECT_EQ(PixelsHolding(kMinInnerWidth, dpi) + frameW, w.outerWidth) << dpi << " DPI: no pixel more than needed";
  }
}

}  // namespace
}  // namespace pendrake::client
