// The main window as the real program shows it: caption, frame, every
// control with its kind, exact text and place, and the tab captions.
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "fixture.h"
#include "window_expected.h"

namespace quellnet::e2e {
namespace {

using namespace window;

std::string Describe(const RECT& rect) {
  char text[64];
  std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right,
                rect.bottom);
  return text;
}

class WindowLayoutTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
  }
};

TEST_F(WindowLayoutTest, HasItsCaptionClientSizeAndOnlyMinimiseAndCloseButtons) {
  EXPECT_EQ(WindowText(Main()), kCaption);

  RECT client{};
  ASSERT_TRUE(GetClientRect(Main(), &client));
  EXPECT_EQ(client.right, kClientWidth);
  EXPECT_EQ(client.bottom, kClientHeight);

  const LONG style = StyleOf(Main());
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU) << "no close box";
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the border must not resize the window";
  EXPECT_EQ(GetMenu(Main()), nullptr) << "the window has no menu bar";
}

TEST_F(WindowLayoutTest, OpensCentredOnTheScreen) {
  RECT frame{};
  ASSERT_TRUE(GetWindowRect(Main(), &frame));
  const int screen_width = GetSystemMetrics(SM_CXSCREEN);
  const int screen_height = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(frame.left + frame.right, screen_width, 2) << Describe(frame);
  EXPECT_NEAR(frame.top + frame.bottom, screen_height, 2) << Describe(frame);
}

TEST_F(WindowLayoutTest, EveryControlIsAChildOfTheWindowOfItsKindWithItsExactText) {
  for (const Expected& expected : Controls()) {
    SCOPED_TRACE(expected.name);
    HWND control = Control(expected.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), Main());

    const std::wstring class_name = ClassNameOf(control);
    const LONG style = StyleOf(control);
    switch (expected.kind) {
      case Kind::kTab:
        EXPECT_EQ(class_name, L"SysTabControl32");
        break;
      case Kind::kLabel:
        EXPECT_EQ(class_name, L"Static");
        EXPECT_EQ(style & SS_TYPEMASK, SS_LEFT) << "left-aligned";
        break;
      case Kind::kCentredLabel:
        EXPECT_EQ(class_name, L"Static");
        EXPECT_EQ(style & SS_TYPEMASK, SS_CENTER) << "centred";
        break;
      case Kind::kTextBox:
        EXPECT_EQ(class_name, L"Edit");
        break;
      case Kind::kCheckBox: {
        // Any kind of check box; a three-state one can also show the greyed value.
        const LONG type = style & BS_TYPEMASK;
        EXPECT_EQ(class_name, L"Button");
        EXPECT_TRUE(type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                    type == BS_AUTO3STATE)
            << "button type " << type;
        break;
      }
      case Kind::kFrame:
        EXPECT_EQ(class_name, L"Button");
        EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
        break;
      case Kind::kButton:
        EXPECT_EQ(class_name, L"Button");
        EXPECT_TRUE((style & BS_TYPEMASK) == BS_PUSHBUTTON ||
                    (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
        break;
      case Kind::kImage:
      case Kind::kLine:
      case Kind::kPicture:
        break;
    }
    if (expected.text != nullptr) {
      EXPECT_EQ(WindowText(control), expected.text);
    }
  }
}

TEST_F(WindowLayoutTest, EveryControlHasItsPlaceAndSizeWithinOnePixel) {
  for (const Expected& expected : Controls()) {
    SCOPED_TRACE(expected.name);
    HWND control = Control(expected.id);
    ASSERT_NE(control, nullptr);
    const RECT want = PixelRect(expected);
    const RECT got = RectIn(control, Main());
    const std::string both = "expected " + Describe(want) + ", got " + Describe(got);
    EXPECT_NEAR(got.left, want.left, 1) << both;
    EXPECT_NEAR(got.top, want.top, 1) << both;
    EXPECT_NEAR(got.right, want.right, 1) << both;
    EXPECT_NEAR(got.bottom, want.bottom, 1) << both;
  }
}

TEST_F(WindowLayoutTest, PageControlsLieBelowTheTabStripAndInsideTheTabControl) {
  HWND tab = Control(kIdSSTab1);
  const RECT tab_rect = RectIn(tab, Main());
  const std::optional<RECT> strip = TabItemRect(program_.Process(), tab, 0);
  ASSERT_TRUE(strip.has_value());
  for (const Expected& expected : Controls()) {
    if (expected.page == kOnWindow) {
      continue;
    }
    SCOPED_TRACE(expected.name);
    const RECT rect = RectIn(Control(expected.id), Main());
    EXPECT_GE(rect.top, tab_rect.top + strip->bottom) << "overlaps the tab strip";
    EXPECT_GE(rect.left, tab_rect.left);
    EXPECT_LE(rect.right, tab_rect.right);
    EXPECT_LE(rect.bottom, tab_rect.bottom);
  }
}

TEST_F(WindowLayoutTest, TabControlHasItsThreeTabsInOrderAndShowsMainFirst) {
  HWND tab = Control(kIdSSTab1);
  ASSERT_EQ(TabCount(tab), static_cast<int>(kTabCaptions.size()));
  for (int index = 0; index < static_cast<int>(kTabCaptions.size()); ++index) {
    EXPECT_EQ(TabCaption(program_.Process(), tab, index), kTabCaptions[index]);
  }
  EXPECT_EQ(program_.CurrentPage(), kMainPage);
}

TEST_F(WindowLayoutTest, StartsWithTheBoxesClearAndTheStatusEmpty) {
  // A first run: nothing stored.
  for (int id : {kIdChkmess, kIdChkStartup, kIdChkHideOnStart}) {
    EXPECT_EQ(CheckState(Control(id)), BST_UNCHECKED) << "control " << id;
  }
  EXPECT_EQ(WindowText(Control(kIdLabel2)), L"");
}

// The owner-drawn and coloured parts, read back from the screen.
class WindowDrawingTest : public WindowLayoutTest {
 protected:
  std::vector<COLORREF> Pixels(int id) {
    RedrawWindow(Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::vector<COLORREF> pixels = ScreenPixelsOf(Control(id));
    EXPECT_FALSE(pixels.empty()) << "could not read the screen";
    return pixels;
  }
  static size_t CountOf(const std::vector<COLORREF>& pixels, COLORREF colour) {
    return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), colour));
  }
  static size_t Distinct(const std::vector<COLORREF>& pixels) {
    return std::set<COLORREF>(pixels.begin(), pixels.end()).size();
  }
};

TEST_F(WindowDrawingTest, TheWebLinkIsDrawnInBlue) {
  const std::vector<COLORREF> pixels = Pixels(kIdLabel3);
  ASSERT_FALSE(pixels.empty());
  const COLORREF background = pixels.front();
  const size_t blue = CountOf(pixels, RGB(0, 0, 255));
  const size_t ink = pixels.size() - CountOf(pixels, background);
  EXPECT_GT(blue, 50u) << "hardly any blue in the link";
  EXPECT_GT(blue * 2, ink) << "the link is mostly not blue";
}

TEST_F(WindowDrawingTest, TheBannerShowsItsPictureAndTheRuleIsDrawn) {
  // The banner is a 256-colour picture; a blank or failed one has one colour.
  EXPECT_GT(Distinct(Pixels(kIdImage1)), 16u);
  const std::vector<COLORREF> rule = Pixels(kIdLine2);
  EXPECT_GT(CountOf(rule, GetSysColor(COLOR_WINDOWTEXT)), rule.size() / 2)
      << "the rule is not drawn in the window-text colour";
}

TEST_F(WindowDrawingTest, TheStatusPictureIsBlankAtAFirstStart) {
  EXPECT_EQ(Distinct(Pixels(kIdPicture1)), 1u);
}

// With protection stored on, the start-up runs the switch, which (with no
// Messenger service to stop in the test prefix) shows the green picture.
class WindowDrawingProtectedTest : public WindowDrawingTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartProgram({.presets = {{kOptionsKey, L"mess", L"1"}}}));
  }
};

TEST_F(WindowDrawingProtectedTest, TheStatusPictureShowsGreen) {
  ASSERT_EQ(WindowText(Control(kIdLabel2)), L"PC Protected !");
  const std::vector<COLORREF> pixels = Pixels(kIdPicture1);
  const auto greenish = [](COLORREF pixel) {
    return GetGValue(pixel) > GetRValue(pixel) + 40 && GetGValue(pixel) > GetBValue(pixel) + 40;
  };
  const size_t green = static_cast<size_t>(std::count_if(pixels.begin(), pixels.end(), greenish));
  EXPECT_GT(green, pixels.size() / 3) << "the status picture is not the green one";
}

}  // namespace
}  // namespace quellnet::e2e
