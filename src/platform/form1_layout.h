// The layout of the main window: every control with its place and size in
// twips, its text, font, colour and alignment, and the arithmetic that turns
// twips into pixels on a screen of a given DPI. No Windows header here, so
// the unit tests and the end-to-end tests can use the same table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/app_info.h"
#include "platform/form1_ids.h"

namespace quellnet::platform::layout {

// 1440 twips to the inch.
inline constexpr int kTwipsPerInch = 1440;

// Client area of the window, in twips (383 x 378 pixels at 96 DPI).
inline constexpr int kClientWidthTwips = 5745;
inline constexpr int kClientHeightTwips = 5670;

enum class ControlKind {
  kImage,
  kLine,
  kTabControl,
  kLabel,
  kTextBox,
  kCheckBox,
  kPictureBox,
  kFrame,
  kCommandButton,
};

// What a control's place is measured from.
enum class Container {
  kForm,    // the window's client area
  kSSTab1,  // the tab control's top-left corner, tab strip included
  kFrame1,  // the frame's top-left corner
};

// The tab page a control lies on; kNone for controls on the window itself.
enum class TabPage { kNone = -1, kMain = 0, kPreferences = 1, kInternetOptions = 2 };

enum class Alignment { kLeft, kCenter };

struct FontStyle {
  int centipoints;  // 825 for 8.25 pt
  bool bold;
  bool underline;
};

inline constexpr FontStyle kPlain{825, false, false};
inline constexpr FontStyle kBold{825, true, false};
inline constexpr FontStyle kBigBold{975, true, false};
inline constexpr FontStyle kUnderline{825, false, true};
inline constexpr std::wstring_view kFontFace = L"MS Sans Serif";

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct PixelRect {
  int left;
  int top;
  int width;
  int height;
  constexpr int right() const { return left + width; }
  constexpr int bottom() const { return top + height; }
  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A text colour as 0xRRGGBB; nullopt for the system's text colour.
using Colour = std::optional<std::uint32_t>;
inline constexpr Colour kSystemColour = std::nullopt;
inline constexpr Colour kLinkBlue = 0x0000FF;

struct ControlLayout {
  Form1ControlId id;
  ControlKind kind;
  Container container;
  TabPage page;
  TwipsRect twips;  // relative to the container
  std::wstring_view text;
  Alignment alignment;
  FontStyle font;
  Colour colour;
  bool tab_stop;
};

inline constexpr std::array<std::wstring_view, 3> kTabCaptions = {L"Main", L"Preferences",
                                                                  L"Internet Options"};

inline constexpr std::wstring_view kOptionsNotice =
    L"If you close the Quellnet with any of the options checked. They will become your default "
    L"settings !";
inline constexpr std::wstring_view kCacheNotice =
    L"Visiting web sites often stores unecessary internet files on your computer and takes up "
    L"extra space.  Use the feature below to clear these files and free hard drive space. ";
inline constexpr std::wstring_view kCookieNotice =
    L"Sometimes sites can add what is called a cookie to your computer. Cookies can be used by a "
    L"website for many reasons. Use this feature to clear all cookies.";

// The table below names its columns' values without their enum prefixes.
using enum ControlKind;
using enum Container;
using enum TabPage;
using enum Alignment;

// Every control of the window, in the order of the windows' stacking, top
// first. The page controls lie above the tab control so that they paint over
// it, which puts the tab control last; the keyboard's Tab key walks the
// stops in this order and wraps around, so starting at `SSTab1` it visits
// the others in the order of the table.
// clang-format off
inline constexpr std::array<ControlLayout, 20> kControls = {{
//  id                 kind            container page              place in twips           text                         align    font        colour         tab stop
    // Stops for the Tab key, in their order after `SSTab1`.
    {kIdChkmess,        kCheckBox,      kSSTab1,  kMain,            {1320, 1680, 3135, 255},  L"  Enable Protection Now !", kLeft,   kBigBold,   kSystemColour, true},
    {kIdChkHideOnStart, kCheckBox,      kFrame1,  kPreferences,     {2040, 240, 1455, 195},   L"Run Minimized",             kLeft,   kPlain,     kSystemColour, true},
    {kIdChkStartup,     kCheckBox,      kFrame1,  kPreferences,     {120, 240, 1935, 195},    L"Run at Startup",            kLeft,   kPlain,     kSystemColour, true},
    // A field's label lies just above it: screen readers name a field that has
    // no caption of its own from the static text before it in this order.
    {kIdLabel6,         kLabel,         kSSTab1,  kMain,            {600, 600, 1815, 255},    L"Your Current IP Address:",  kLeft,   kPlain,     kSystemColour, false},
    {kIdText1,          kTextBox,       kSSTab1,  kMain,            {2640, 600, 2175, 315},   L"",                          kLeft,   kPlain,     kSystemColour, true},
    {kIdCommand1,       kCommandButton, kSSTab1,  kInternetOptions, {480, 2040, 1335, 495},   L"Clear Cache",               kCenter, kPlain,     kSystemColour, true},
    {kIdCommand2,       kCommandButton, kSSTab1,  kInternetOptions, {3360, 2040, 1355, 495},  L"Clear Cookies",             kCenter, kPlain,     kSystemColour, true},
    // Page "Main".
    {kIdLabel2,         kLabel,         kSSTab1,  kMain,            {1560, 1320, 2415, 255},  L"",                          kCenter, kPlain,     kSystemColour, false},
    {kIdPicture1,       kPictureBox,    kSSTab1,  kMain,            {2640, 2040, 375, 375},   L"",                          kLeft,   kPlain,     kSystemColour, false},
    {kIdLabel4,         kLabel,         kSSTab1,  kMain,            {960, 2640, 3855, 615},   kOptionsNotice,               kLeft,   kPlain,     kSystemColour, false},
    // Page "Preferences". The frame lies below the two check boxes it holds.
    {kIdFrame1,         kFrame,         kSSTab1,  kPreferences,     {960, 1080, 3735, 615},   L"",                          kLeft,   kPlain,     kSystemColour, false},
    {kIdLabel5,         kLabel,         kSSTab1,  kPreferences,     {960, 2280, 3855, 615},   kOptionsNotice,               kLeft,   kPlain,     kSystemColour, false},
    // Page "Internet Options".
    {kIdLabel9,         kLabel,         kSSTab1,  kInternetOptions, {240, 480, 1695, 255},    L"Temp Internet Files",       kCenter, kBold,      kSystemColour, false},
    {kIdLabel10,        kLabel,         kSSTab1,  kInternetOptions, {3360, 480, 1575, 255},   L"Internet Cookies",          kCenter, kBold,      kSystemColour, false},
    {kIdLabel7,         kLabel,         kSSTab1,  kInternetOptions, {120, 840, 2655, 975},    kCacheNotice,                 kLeft,   kPlain,     kSystemColour, false},
    {kIdLabel8,         kLabel,         kSSTab1,  kInternetOptions, {3000, 840, 2415, 1095},  kCookieNotice,                kLeft,   kPlain,     kSystemColour, false},
    // On the window itself; the rule runs from (840, 960) to (4800, 960), one pixel thick.
    {kIdImage1,         kImage,         kForm,    kNone,            {0, 0, 5700, 900},        L"",                          kLeft,   kPlain,     kSystemColour, false},
    {kIdLine2,          kLine,          kForm,    kNone,            {840, 960, 3960, 0},      L"",                          kLeft,   kPlain,     kSystemColour, false},
    {kIdLabel3,         kLabel,         kForm,    kNone,            {1680, 5280, 2415, 255},  kWebAddress,                  kCenter, kUnderline, kLinkBlue,     false},
    // Lowest of all, so that every page control paints above it.
    {kIdSSTab1,         kTabControl,    kForm,    kNone,            {120, 1440, 5535, 3735},  L"",                          kLeft,   kPlain,     kSystemColour, true},
}};
// clang-format on

constexpr const ControlLayout* FindControl(Form1ControlId id) {
  for (const ControlLayout& layout : kControls) {
    if (layout.id == id) {
      return &layout;
    }
  }
  return nullptr;
}

// The place of a control's container measured from the client area.
constexpr TwipsRect ContainerOrigin(Container container) {
  switch (container) {
    case Container::kForm:
      return {0, 0, kClientWidthTwips, kClientHeightTwips};
    case Container::kSSTab1:
      return FindControl(kIdSSTab1)->twips;
    case Container::kFrame1: {
      const TwipsRect tab = FindControl(kIdSSTab1)->twips;
      const TwipsRect frame = FindControl(kIdFrame1)->twips;
      return {tab.left + frame.left, tab.top + frame.top, frame.width, frame.height};
    }
  }
  return {0, 0, 0, 0};
}

// The control's place measured from the client area.
constexpr TwipsRect AbsoluteTwips(const ControlLayout& layout) {
  const TwipsRect origin = ContainerOrigin(layout.container);
  return {origin.left + layout.twips.left, origin.top + layout.twips.top, layout.twips.width,
          layout.twips.height};
}

// Twips to pixels at `dpi` dots per inch, to the nearest pixel.
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  const long long half = kTwipsPerInch / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                      : -((-scaled + half) / kTwipsPerInch));
}

// A rectangle in pixels. Its edges are converted, not its size, so that
// controls that touch in twips touch in pixels too.
constexpr PixelRect ToPixels(const TwipsRect& twips, int dpi_x, int dpi_y) {
  const int left = TwipsToPixels(twips.left, dpi_x);
  const int top = TwipsToPixels(twips.top, dpi_y);
  return {left, top, TwipsToPixels(twips.left + twips.width, dpi_x) - left,
          TwipsToPixels(twips.top + twips.height, dpi_y) - top};
}

// Where the control's window goes in the client area. A line is one pixel
// thick whatever the DPI.
constexpr PixelRect ControlPixels(const ControlLayout& layout, int dpi_x, int dpi_y) {
  PixelRect rect = ToPixels(AbsoluteTwips(layout), dpi_x, dpi_y);
  if (layout.kind == ControlKind::kLine) {
    rect.height = 1;
  }
  return rect;
}

// The height of a font's characters in pixels (as a negative LOGFONT height
// asks for), at `dpi` dots per inch.
constexpr int FontPixelHeight(const FontStyle& font, int dpi) {
  return (font.centipoints * dpi + 3600) / 7200;
}

}  // namespace quellnet::platform::layout
