// The layout's arithmetic at the screen densities Windows offers, with
// numbers worked out by hand. Where each control lies is the window test's
// business: it compares the real window with a description of the design.
#include <gtest/gtest.h>

#include "app/form1_layout.h"

namespace {

using namespace quellnet::platform::layout;
using namespace quellnet::app;

TEST(TwipsToPixels, RoundsEachEdgeToTheNearestPixelSoThatControlsThatTouchStillTouch) {
  // 8 twips at 96 DPI are 0.53 pixel, 7 are 0.47; 1355 twips at 120 DPI are
  // 112.9; 4835 at 144 are 483.5, which rounds up.
  EXPECT_EQ(TwipsToPixels(8, 96), 1);
  EXPECT_EQ(TwipsToPixels(7, 96), 0);
  EXPECT_EQ(TwipsToPixels(1355, 120), 113);
  EXPECT_EQ(TwipsToPixels(4835, 144), 484);
  const TwipsRect first{1355, 0, 1355, 100};
  const TwipsRect second{2710, 0, 500, 100};
  for (const int dpi : {96, 120, 144, 192}) {
    EXPECT_EQ(ToPixels(first, dpi).right(), ToPixels(second, dpi).left) << dpi;
  }
  // The client area, 5745 x 5670 twips.
  EXPECT_EQ(ClientPixels(96), (PixelRect{0, 0, 383, 378}));
  EXPECT_EQ(ClientPixels(144), (PixelRect{0, 0, 575, 567}));
}

// 8.25 pt is 11 pixels at 100 %, 14 at 125 %, 17 at 150 % and 22 at 200 %;
// 9.75 pt is 13 pixels at 100 %.
TEST(FontPixelHeight, IsThePointSizeAtTheScreensDensity) {
  EXPECT_EQ(FontPixelHeight(kPlain, 96), 11);
  EXPECT_EQ(FontPixelHeight(kPlain, 120), 14);
  EXPECT_EQ(FontPixelHeight(kPlain, 144), 17);
  EXPECT_EQ(FontPixelHeight(kPlain, 192), 22);
  EXPECT_EQ(FontPixelHeight(kBigBold, 96), 13);
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
