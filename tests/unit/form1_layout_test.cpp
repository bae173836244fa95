#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "platform/form1_layout.h"

namespace {

using namespace quellnet::platform::layout;
namespace win32 = quellnet::platform::win32;

const ControlLayout& LayoutOf(Form1ControlId id) {
  const ControlLayout* layout = FindControl(id);
  EXPECT_NE(layout, nullptr) << "control " << id;
  return *layout;
}

bool Contains(const TwipsRect& outer, const TwipsRect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top &&
         inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

TEST(TwipsToPixels, FifteenTwipsAPixelAtNinetySixDpiAndNearestPixelElsewhere) {
  EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 96), 383);
  EXPECT_EQ(TwipsToPixels(kClientHeightTwips, 96), 378);
  // 1355 twips are 90.33 pixels, 195 are 13; at 120 DPI 1355 are 112.9.
  EXPECT_EQ(TwipsToPixels(1355, 96), 90);
  EXPECT_EQ(TwipsToPixels(195, 96), 13);
  EXPECT_EQ(TwipsToPixels(1355, 120), 113);
  // To the nearest pixel: 8 twips at 96 DPI are 0.53 pixel, 7 are 0.47.
  EXPECT_EQ(TwipsToPixels(8, 96), 1);
  EXPECT_EQ(TwipsToPixels(7, 96), 0);
  EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 144), 575);
  EXPECT_EQ(TwipsToPixels(0, 192), 0);
}

TEST(TwipsToPixels, ConvertsEdgesSoThatControlsThatTouchStillTouch) {
  // Two controls side by side at odd twips: the right edge of the first is
  // the left edge of the second at every DPI.
  const TwipsRect first{1355, 0, 1355, 100};
  const TwipsRect second{2710, 0, 500, 100};
  for (int dpi : {96, 120, 144, 168}) {
    EXPECT_EQ(ToPixels(first, dpi, dpi).right(), ToPixels(second, dpi, dpi).left) << dpi;
  }
}

TEST(FontPixelHeight, PointsBecomePixelsOfTheScreen) {
  EXPECT_EQ(FontPixelHeight(kDefaultFont, 96), 11);
  EXPECT_EQ(FontPixelHeight(LayoutOf(win32::kIdChkmess).font, 96), 13);
  EXPECT_EQ(FontPixelHeight(kDefaultFont, 120), 14);
  EXPECT_EQ(FontPixelHeight(kDefaultFont, 144), 17);
}

TEST(Form1Layout, EveryControlHasItsOwnIdAndName) {
  std::set<int> ids;
  std::set<std::wstring_view> names;
  for (const ControlLayout& layout : kControls) {
    EXPECT_TRUE(ids.insert(layout.id).second) << layout.id;
    EXPECT_TRUE(names.insert(layout.name).second);
  }
}

TEST(Form1Layout, PageControlsSitWithinTheTabControlBelowTheTabStrip) {
  const TwipsRect tab = LayoutOf(win32::kIdSSTab1).twips;
  for (const ControlLayout& layout : kControls) {
    const bool on_page = layout.page != TabPage::kNone;
    EXPECT_EQ(on_page, layout.container != Container::kForm) << layout.id;
    if (!on_page) {
      continue;
    }
    const TwipsRect place = AbsoluteTwips(layout);
    EXPECT_TRUE(Contains(tab, place)) << layout.id;
    EXPECT_GE(place.top - tab.top, 480) << layout.id;
  }
}

TEST(Form1Layout, FrameBoxesAreOnTheFramesPageAndInsideIt) {
  const ControlLayout& frame = LayoutOf(win32::kIdFrame1);
  for (Form1ControlId id : {win32::kIdChkStartup, win32::kIdChkHideOnStart}) {
    const ControlLayout& box = LayoutOf(id);
    EXPECT_EQ(box.container, Container::kFrame1);
    EXPECT_EQ(box.page, frame.page);
    EXPECT_TRUE(Contains(AbsoluteTwips(frame), AbsoluteTwips(box))) << id;
  }
}

TEST(Form1Layout, ControlsOfTheWindowFitTheClientArea) {
  const TwipsRect client{0, 0, kClientWidthTwips, kClientHeightTwips};
  for (const ControlLayout& layout : kControls) {
    EXPECT_TRUE(Contains(client, AbsoluteTwips(layout))) << layout.id;
    const PixelRect pixels = ControlPixels(layout, 96, 96);
    EXPECT_LE(pixels.right(), 383) << layout.id;
    EXPECT_LE(pixels.bottom(), 378) << layout.id;
  }
}

TEST(Form1Layout, ContainersOffsetTheirControls) {
  // chkStartup: SSTab1 (120, 1440) + Frame1 (960, 1080) + (120, 240).
  EXPECT_EQ(ControlPixels(LayoutOf(win32::kIdChkStartup), 96, 96), (PixelRect{80, 184, 129, 13}));
  // Text1 on page "Main": (120 + 2640, 1440 + 600), 2175 x 315.
  EXPECT_EQ(ControlPixels(LayoutOf(win32::kIdText1), 96, 96), (PixelRect{184, 136, 145, 21}));
  // Label3 lies on the window itself.
  EXPECT_EQ(ControlPixels(LayoutOf(win32::kIdLabel3), 96, 96), (PixelRect{112, 352, 161, 17}));
  EXPECT_EQ(ControlPixels(LayoutOf(win32::kIdSSTab1), 120, 120), (PixelRect{10, 120, 461, 311}));
}

TEST(Form1Layout, TheRuleIsOnePixelThickAtEveryDpi) {
  for (int dpi : {96, 120, 144}) {
    const PixelRect rule = ControlPixels(LayoutOf(win32::kIdLine2), dpi, dpi);
    EXPECT_EQ(rule.height, 1) << dpi;
    EXPECT_EQ(rule.left, TwipsToPixels(840, dpi));
    EXPECT_EQ(rule.right(), TwipsToPixels(4800, dpi));
  }
}

// The window's Tab key walks the stops in stacking order and wraps around;
// starting at the tab control, that must give the order the window wants,
// and the tab control must lie below every page control so they paint over
// it.
TEST(Form1Layout, StackingGivesTheTabOrderAndPutsTheTabControlUnderThePages) {
  std::vector<Form1ControlId> stops;
  for (const ControlLayout& layout : kControls) {
    if (layout.tab_stop) {
      stops.push_back(layout.id);
    }
  }
  const auto tab = std::find(stops.begin(), stops.end(), win32::kIdSSTab1);
  ASSERT_NE(tab, stops.end());
  std::rotate(stops.begin(), tab, stops.end());
  EXPECT_EQ(stops, std::vector<Form1ControlId>(kTabOrder.begin(), kTabOrder.end()));

  std::size_t tab_index = 0;
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    if (kControls[i].id == win32::kIdSSTab1) {
      tab_index = i;
    }
  }
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    if (kControls[i].page != TabPage::kNone) {
      EXPECT_LT(i, tab_index) << kControls[i].id;
    }
  }
  // The frame lies under the boxes it holds.
  const auto index_of = [](Form1ControlId id) {
    return std::find_if(kControls.begin(), kControls.end(),
                        [id](const ControlLayout& s) { return s.id == id; }) -
           kControls.begin();
  };
  EXPECT_LT(index_of(win32::kIdChkStartup), index_of(win32::kIdFrame1));
  EXPECT_LT(index_of(win32::kIdChkHideOnStart), index_of(win32::kIdFrame1));
}

TEST(Form1Layout, PageControlsDoNotOverlapButForTheOptionBoxesSharedPixel) {
  // "Run at Startup" reaches 15 twips (one pixel at 96 DPI) under "Run
  // Minimized"; the latter lies above it, so its box is never covered.
  const auto overlap = [](const TwipsRect& a, const TwipsRect& b) {
    return !(a.left + a.width <= b.left || b.left + b.width <= a.left ||
             a.top + a.height <= b.top || b.top + b.height <= a.top);
  };
  std::vector<std::pair<Form1ControlId, Form1ControlId>> overlapping;
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    for (std::size_t j = i + 1; j < kControls.size(); ++j) {
      const ControlLayout& a = kControls[i];
      const ControlLayout& b = kControls[j];
      if (a.page == TabPage::kNone || a.page != b.page || a.id == win32::kIdFrame1 ||
          b.id == win32::kIdFrame1) {
        continue;
      }
      if (overlap(AbsoluteTwips(a), AbsoluteTwips(b))) {
        overlapping.emplace_back(a.id, b.id);  // a is stacked above b
      }
    }
  }
  using Pair = std::pair<Form1ControlId, Form1ControlId>;
  EXPECT_EQ(overlapping, (std::vector<Pair>{{win32::kIdChkHideOnStart, win32::kIdChkStartup}}));
  const TwipsRect startup = AbsoluteTwips(LayoutOf(win32::kIdChkStartup));
  const TwipsRect hide = AbsoluteTwips(LayoutOf(win32::kIdChkHideOnStart));
  EXPECT_EQ(startup.left + startup.width - hide.left, 15);
}

}  // namespace
