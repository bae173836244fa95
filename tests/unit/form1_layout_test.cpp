// The layout's arithmetic at the screen densities Windows offers. The
// end-to-end tests check that the real window puts each control where this
// arithmetic says, at the DPI it runs at.
#include <gtest/gtest.h>

#include "platform/form1_layout.h"

namespace {

using namespace quellnet::platform::layout;
using namespace quellnet::platform;

// 100 %, 125 %, 150 % and 200 %, with the height of the 8.25 pt font there.
struct Density {
  int dpi;
  int font_pixels;
};
constexpr Density kDensities[] = {{96, 11}, {120, 14}, {144, 17}, {192, 22}};

PixelRect At96(Form1ControlId id) {
  return ControlPixels(*FindControl(id), 96);
}

// Places worked out by hand at 96 DPI (15 twips to the pixel): one control
// of each container, so that a control measured from the wrong corner shows.
TEST(Form1Layout, MeasuresEachControlFromItsContainerAndKeepsItInTheClientArea) {
  EXPECT_EQ(ClientPixels(96), (PixelRect{0, 0, 383, 378}));
  EXPECT_EQ(At96(kIdLabel3), (PixelRect{112, 352, 161, 17}));     // on the window
  EXPECT_EQ(At96(kIdChkmess), (PixelRect{96, 208, 209, 17}));     // on a tab page
  EXPECT_EQ(At96(kIdChkStartup), (PixelRect{80, 184, 129, 13}));  // in the frame
  EXPECT_EQ(At96(kIdLine2), (PixelRect{56, 64, 264, 1}));         // a rule: one pixel
  for (const Density& density : kDensities) {
    SCOPED_TRACE(testing::Message() << density.dpi << " DPI");
    const PixelRect client = ClientPixels(density.dpi);
    for (const ControlLayout& layout : kControls) {
      const PixelRect got = ControlPixels(layout, density.dpi);
      EXPECT_TRUE(got.left >= 0 && got.top >= 0 && got.right() <= client.right() &&
                  got.bottom() <= client.bottom())
          << "control " << layout.id;
      EXPECT_EQ(got.height == 1, layout.kind == ControlKind::kLine) << "control " << layout.id;
    }
    EXPECT_EQ(FontPixelHeight(kPlain, density.dpi), density.font_pixels);
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
