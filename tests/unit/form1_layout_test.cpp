// The layout's arithmetic at the screen densities Windows offers. The
// end-to-end tests check that the real window puts each control where this
// arithmetic says, at the DPI it runs at.
#include <gtest/gtest.h>

#include <iterator>

#include "platform/form1_layout.h"

namespace {

using namespace quellnet::platform::layout;
using namespace quellnet::platform;

// Every control's place in twips of the client area, written down here on
// its own from the window's design rather than taken from the layout table
// (which measures page controls from the tab control and the option boxes
// from their frame), so that the test compares two statements of the same
// layout.
struct Place {
  Form1ControlId id;
  int left, top, width, height;
};
constexpr Place kPlaces[] = {
    {kIdImage1, 0, 0, 5700, 900},
    {kIdLine2, 840, 960, 3960, 0},
    {kIdSSTab1, 120, 1440, 5535, 3735},
    {kIdLabel3, 1680, 5280, 2415, 255},
    {kIdLabel6, 720, 2040, 1815, 255},
    {kIdText1, 2760, 2040, 2175, 315},
    {kIdLabel2, 1680, 2760, 2415, 255},
    {kIdChkmess, 1440, 3120, 3135, 255},
    {kIdPicture1, 2760, 3480, 375, 375},
    {kIdLabel4, 1080, 4080, 3855, 615},
    {kIdFrame1, 1080, 2520, 3735, 615},
    {kIdChkStartup, 1200, 2760, 1935, 195},
    {kIdChkHideOnStart, 3120, 2760, 1455, 195},
    {kIdLabel5, 1080, 3720, 3855, 615},
    {kIdLabel9, 360, 1920, 1695, 255},
    {kIdLabel10, 3480, 1920, 1575, 255},
    {kIdLabel7, 240, 2280, 2655, 975},
    {kIdLabel8, 3120, 2280, 2415, 1095},
    {kIdCommand1, 600, 3480, 1335, 495},
    {kIdCommand2, 3480, 3480, 1355, 495},
};

// 100 %, 125 %, 150 % and 200 %, with the height of the 8.25 pt font there.
struct Density {
  int dpi;
  int font_pixels;
};
constexpr Density kDensities[] = {{96, 11}, {120, 14}, {144, 17}, {192, 22}};

double ExactPixels(int twips, int dpi) {
  return twips * dpi / static_cast<double>(kTwipsPerInch);
}

TEST(Form1Layout, PutsTheClientAreaAndEveryControlWithinOnePixelOfItsTwipsAtEachDpi) {
  ASSERT_EQ(std::size(kPlaces), kControls.size()) << "a control without a place to check";
  EXPECT_EQ(ClientPixels(96), (PixelRect{0, 0, 383, 378}));
  for (const Density& density : kDensities) {
    const int dpi = density.dpi;
    SCOPED_TRACE(testing::Message() << dpi << " DPI");
    const PixelRect client = ClientPixels(dpi);
    EXPECT_NEAR(client.width, ExactPixels(kClientWidthTwips, dpi), 1.0);
    EXPECT_NEAR(client.height, ExactPixels(kClientHeightTwips, dpi), 1.0);
    for (const Place& place : kPlaces) {
      SCOPED_TRACE(testing::Message() << "control " << place.id);
      const ControlLayout* layout = FindControl(place.id);
      ASSERT_NE(layout, nullptr);
      const PixelRect got = ControlPixels(*layout, dpi);
      EXPECT_NEAR(got.left, ExactPixels(place.left, dpi), 1.0);
      EXPECT_NEAR(got.top, ExactPixels(place.top, dpi), 1.0);
      EXPECT_NEAR(got.right(), ExactPixels(place.left + place.width, dpi), 1.0);
      if (place.height == 0) {
        EXPECT_EQ(got.height, 1) << "a rule stays one pixel thick";
      } else {
        EXPECT_NEAR(got.bottom(), ExactPixels(place.top + place.height, dpi), 1.0);
      }
      EXPECT_LE(got.right(), client.right());
      EXPECT_LE(got.bottom(), client.bottom());
    }
    EXPECT_EQ(FontPixelHeight(kPlain, dpi), density.font_pixels);
  }
  EXPECT_EQ(FontPixelHeight(FindControl(kIdChkmess)->font, 96), 13);
}

TEST(TwipsToPixels, RoundsEachEdgeToTheNearestPixelSoThatControlsThatTouchStillTouch) {
  // 8 twips at 96 DPI are 0.53 pixel, 7 are 0.47; 1355 twips at 120 DPI
  // are 112.9.
  EXPECT_EQ(TwipsToPixels(8, 96), 1);
  EXPECT_EQ(TwipsToPixels(7, 96), 0);
  EXPECT_EQ(TwipsToPixels(1355, 120), 113);
  const TwipsRect first{1355, 0, 1355, 100};
  const TwipsRect second{2710, 0, 500, 100};
  for (const Density& density : kDensities) {
    EXPECT_EQ(ToPixels(first, density.dpi).right(), ToPixels(second, density.dpi).left)
        << density.dpi;
  }
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
