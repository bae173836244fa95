// The layout's arithmetic at screens of other DPIs than the 96 of the
// end-to-end tests, which check every control's place on the real window.
#include <gtest/gtest.h>

#include "platform/form1_layout.h"

namespace {

using namespace quellnet::platform::layout;
using namespace quellnet::platform;

// Each edge is rounded to the nearest pixel, so that controls that touch
// still touch; the layout scales with the screen but the rule stays one
// pixel thick.
TEST(Form1Layout, RoundsEachEdgeAndScalesWithTheScreen) {
  // To the nearest pixel: 8 twips at 96 DPI are 0.53 pixel, 7 are 0.47;
  // 1355 twips at 120 DPI are 112.9.
  EXPECT_EQ(TwipsToPixels(8, 96), 1);
  EXPECT_EQ(TwipsToPixels(7, 96), 0);
  EXPECT_EQ(TwipsToPixels(1355, 120), 113);
  EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 144), 575);
  const TwipsRect first{1355, 0, 1355, 100};
  const TwipsRect second{2710, 0, 500, 100};
  for (int dpi : {96, 120, 144, 168}) {
    EXPECT_EQ(ToPixels(first, dpi, dpi).right(), ToPixels(second, dpi, dpi).left) << dpi;
  }
  EXPECT_EQ(ControlPixels(*FindControl(kIdSSTab1), 120, 120), (PixelRect{10, 120, 461, 311}));
  for (int dpi : {96, 120, 144}) {
    const PixelRect rule = ControlPixels(*FindControl(kIdLine2), dpi, dpi);
    EXPECT_EQ(rule.height, 1) << dpi;
    EXPECT_EQ(rule.left, TwipsToPixels(840, dpi));
    EXPECT_EQ(rule.right(), TwipsToPixels(4800, dpi));
  }
  EXPECT_EQ(FontPixelHeight(FindControl(kIdChkmess)->font, 96), 13);
  EXPECT_EQ(FontPixelHeight(kPlain, 144), 17);
}

// Controls are stacked in table order, top first: every page control must
// lie above the tab control, or the tab control paints over it, and the
// frame below the boxes it holds.
TEST(Form1Layout, PageControlsAreStackedAboveTheTabControlAndTheBoxesAboveTheirFrame) {
  const auto index_of = [](Form1ControlId id) { return FindControl(id) - kControls.data(); };
  for (const ControlLayout& layout : kControls) {
    if (layout.page != TabPage::kNone) {
      EXPECT_LT(&layout - kControls.data(), index_of(kIdSSTab1)) << layout.id;
    }
  }
  EXPECT_LT(index_of(kIdChkStartup), index_of(kIdFrame1));
  EXPECT_LT(index_of(kIdChkHideOnStart), index_of(kIdFrame1));
}

}  // namespace
