// The layout of the main window: every control with its place and size in
// twips, its text, font, colour and alignment, and the arithmetic that turns
// twips into pixels on a screen of a given DPI. No Windows header here, so
// the unit tests and the end-to-end tests can use the same table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "app/app_info.h"
#include "platform/win32/form1_ids.h"

namespace quellnet::platform::layout {

using win32::Form1ControlId;

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

struct FontSpec {
  int centipoints;  // 825 for 8.25 pt
  bool bold;
  bool underline;
};

inline constexpr FontSpec kDefaultFont{825, false, false};
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

struct ControlLayout {
  Form1ControlId id;
  std::wstring_view name;
  ControlKind kind;
  Container container;
  TabPage page;
  TwipsRect twips;  // relative to the container
  std::wstring_view text;
  Alignment alignment;
  FontSpec font;
  Colour colour;
  bool tab_stop;
};

inline constexpr std::array<std::wstring_view, 3> kTabCaptions = {L"Main", L"Preferences",
                                                                  L"Internet Options"};

inline constexpr std::wstring_view kOptionsNotice =
    L"If you close the Quellnet with any of the options checked. They will become your default "
    L"settings !";

// Every control of the window, in the order of the windows' stacking, top
// first. The page controls lie above the tab control so that they paint over
// it, which puts the tab control last; the keyboard's Tab key walks the
// stops in this order and wraps around, so starting at `SSTab1` it visits
// the others in the order of the table.
inline constexpr std::array<ControlLayout, 20> kControls = {{
    // Stops for the Tab key, in their order after `SSTab1`.
    {win32::kIdChkmess,
     L"chkmess",
     ControlKind::kCheckBox,
     Container::kSSTab1,
     TabPage::kMain,
     {1320, 1680, 3135, 255},
     L"  Enable Protection Now !",
     Alignment::kLeft,
     {975, true, false},
     std::nullopt,
     true},
    {win32::kIdChkHideOnStart,
     L"chkHideOnStart",
     ControlKind::kCheckBox,
     Container::kFrame1,
     TabPage::kPreferences,
     {2040, 240, 1455, 195},
     L"Run Minimized",
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     true},
    {win32::kIdChkStartup,
     L"chkStartup",
     ControlKind::kCheckBox,
     Container::kFrame1,
     TabPage::kPreferences,
     {120, 240, 1935, 195},
     L"Run at Startup",
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     true},
    {win32::kIdText1,
     L"Text1",
     ControlKind::kTextBox,
     Container::kSSTab1,
     TabPage::kMain,
     {2640, 600, 2175, 315},
     L"",
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     true},
    {win32::kIdCommand1,
     L"Command1",
     ControlKind::kCommandButton,
     Container::kSSTab1,
     TabPage::kInternetOptions,
     {480, 2040, 1335, 495},
     L"Clear Cache",
     Alignment::kCenter,
     kDefaultFont,
     std::nullopt,
     true},
    {win32::kIdCommand2,
     L"Command2",
     ControlKind::kCommandButton,
     Container::kSSTab1,
     TabPage::kInternetOptions,
     {3360, 2040, 1355, 495},
     L"Clear Cookies",
     Alignment::kCenter,
     kDefaultFont,
     std::nullopt,
     true},
    // Page "Main".
    {win32::kIdLabel6,
     L"Label6",
     ControlKind::kLabel,
     Container::kSSTab1,
     TabPage::kMain,
     {600, 600, 1815, 255},
     L"Your Current IP Address:",
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     false},
    {win32::kIdLabel2,
     L"Label2",
     ControlKind::kLabel,
     Container::kSSTab1,
     TabPage::kMain,
     {1560, 1320, 2415, 255},
     L"",
     Alignment::kCenter,
     kDefaultFont,
     std::nullopt,
     false},
    {win32::kIdPicture1,
     L"Picture1",
     ControlKind::kPictureBox,
     Container::kSSTab1,
     TabPage::kMain,
     {2640, 2040, 375, 375},
     L"",
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     false},
    {win32::kIdLabel4,
     L"Label4",
     ControlKind::kLabel,
     Container::kSSTab1,
     TabPage::kMain,
     {960, 2640, 3855, 615},
     kOptionsNotice,
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     false},
    // Page "Preferences". The frame lies below the two check boxes it holds.
    {win32::kIdFrame1,
     L"Frame1",
     ControlKind::kFrame,
     Container::kSSTab1,
     TabPage::kPreferences,
     {960, 1080, 3735, 615},
     L"",
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     false},
    {win32::kIdLabel5,
     L"Label5",
     ControlKind::kLabel,
     Container::kSSTab1,
     TabPage::kPreferences,
     {960, 2280, 3855, 615},
     kOptionsNotice,
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     false},
    // Page "Internet Options".
    {win32::kIdLabel9,
     L"Label9",
     ControlKind::kLabel,
     Container::kSSTab1,
     TabPage::kInternetOptions,
     {240, 480, 1695, 255},
     L"Temp Internet Files",
     Alignment::kCenter,
     {825, true, false},
     std::nullopt,
     false},
    {win32::kIdLabel10,
     L"Label10",
     ControlKind::kLabel,
     Container::kSSTab1,
     TabPage::kInternetOptions,
     {3360, 480, 1575, 255},
     L"Internet Cookies",
     Alignment::kCenter,
     {825, true, false},
     std::nullopt,
     false},
    {win32::kIdLabel7,
     L"Label7",
     ControlKind::kLabel,
     Container::kSSTab1,
     TabPage::kInternetOptions,
     {120, 840, 2655, 975},
     L"Visiting web sites often stores unecessary internet files on your computer and takes up "
     L"extra space.  Use the feature below to clear these files and free hard drive space. ",
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     false},
    {win32::kIdLabel8,
     L"Label8",
     ControlKind::kLabel,
     Container::kSSTab1,
     TabPage::kInternetOptions,
     {3000, 840, 2415, 1095},
     L"Sometimes sites can add what is called a cookie to your computer. Cookies can be used by a "
     L"website for many reasons. Use this feature to clear all cookies.",
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     false},
    // On the window itself.
    {win32::kIdImage1,
     L"Image1",
     ControlKind::kImage,
     Container::kForm,
     TabPage::kNone,
     {0, 0, 5700, 900},
     L"",
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     false},
    // From (840, 960) to (4800, 960), one pixel thick.
    {win32::kIdLine2,
     L"Line2",
     ControlKind::kLine,
     Container::kForm,
     TabPage::kNone,
     {840, 960, 3960, 0},
     L"",
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     false},
    {win32::kIdLabel3,
     L"Label3",
     ControlKind::kLabel,
     Container::kForm,
     TabPage::kNone,
     {1680, 5280, 2415, 255},
     app::kWebAddress,
     Alignment::kCenter,
     {825, false, true},
     0x0000FF,
     false},
    // Lowest of all, so that every page control paints above it.
    {win32::kIdSSTab1,
     L"SSTab1",
     ControlKind::kTabControl,
     Container::kForm,
     TabPage::kNone,
     {120, 1440, 5535, 3735},
     L"",
     Alignment::kLeft,
     kDefaultFont,
     std::nullopt,
     true},
}};

// A table entry left out would be value-initialised without a word from the
// compiler; every entry has a name.
static_assert([] {
  for (const ControlLayout& layout : kControls) {
    if (layout.name.empty()) {
      return false;
    }
  }
  return true;
}());

// The order in which the Tab key visits the controls, skipping those on
// pages that are not shown.
inline constexpr std::array<Form1ControlId, 7> kTabOrder = {
    win32::kIdSSTab1, win32::kIdChkmess,  win32::kIdChkHideOnStart, win32::kIdChkStartup,
    win32::kIdText1,  win32::kIdCommand1, win32::kIdCommand2,
};

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
      return FindControl(win32::kIdSSTab1)->twips;
    case Container::kFrame1: {
      const TwipsRect tab = FindControl(win32::kIdSSTab1)->twips;
      const TwipsRect frame = FindControl(win32::kIdFrame1)->twips;
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
constexpr int FontPixelHeight(const FontSpec& font, int dpi) {
  return (font.centipoints * dpi + 3600) / 7200;
}

}  // namespace quellnet::platform::layout
