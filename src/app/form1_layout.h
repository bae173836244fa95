// The layout of the main window `Form1`: every control with its place and
// size in twips, its text, font, colour and alignment. No Windows header
// here, so the unit tests and the end-to-end tests can use the same table.
#pragma once

#include <array>
#include <string_view>

#include "app/form1_ids.h"
#include "app/app_info.h"
#include "app/web_address.h"
#include "platform/window_layout.h"
#include "protection/protection_switch.h"

namespace quellnet::app {

using platform::layout::Alignment;
using platform::layout::Colour;
using platform::layout::ControlKind;
using platform::layout::ControlLayout;
using platform::layout::FontStyle;
using platform::layout::PixelRect;

// Client area of the window, in twips (383 x 378 pixels at 96 DPI).
inline constexpr int kClientWidthTwips = 5745;
inline constexpr int kClientHeightTwips = 5670;

// What a control's place is measured from.
enum Container : int {
  kForm = platform::layout::kOnWindow,  // the window's client area
  kSSTab1 = kIdSSTab1,                  // the tab control's top-left corner, tab strip included
  kFrame1 = kIdFrame1,                  // the frame's top-left corner
};

// The tab page a control lies on; kNone for controls on the window itself.
enum TabPage : int {
  kNone = platform::layout::kNoPage,
  kMain = 0,
  kPreferences = 1,
  kInternetOptions = 2
};

inline constexpr FontStyle kPlain{825, false, false};
inline constexpr FontStyle kBold{825, true, false};
inline constexpr FontStyle kBigBold{975, true, false};
inline constexpr FontStyle kUnderline{825, false, true};
inline constexpr std::wstring_view kFontFace = L"MS Sans Serif";

inline constexpr Colour kSystemColour = std::nullopt;
inline constexpr Colour kLinkBlue = 0x0000FF;

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
    // The banner is drawn, not written: its text is its name for screen readers.
    {kIdImage1,         kImage,         kForm,    kNone,            {0, 0, 5700, 900},        kApplicationTitle,            kLeft,   kPlain,     kSystemColour, false},
    {kIdLine2,          kLine,          kForm,    kNone,            {840, 960, 3960, 0},      L"",                          kLeft,   kPlain,     kSystemColour, false},
    {kIdLabel3,         kLink,          kForm,    kNone,            {1680, 5280, 2415, 255},  kWebAddress,        kCenter, kUnderline, kLinkBlue,     false},
    // Lowest of all, so that every page control paints above it.
    {kIdSSTab1,         kTabControl,    kForm,    kNone,            {120, 1440, 5535, 3735},  L"",                          kLeft,   kPlain,     kSystemColour, true},
}};
// clang-format on

constexpr const ControlLayout* FindControl(Form1ControlId id) {
  return platform::layout::FindControl(kControls, id);
}

// The menu items that report their clicks, and the banner as drawn for
// screens of 100, 125, 150 and 200 %, each a bitmap resource named BANNER
// and its DPI.
inline constexpr std::array<int, 2> kTrayMenuItems = {kIdMnuopen, kIdMnuclose};
inline constexpr std::array<platform::layout::BannerResource, 4> kBanners = {
    {{96, L"BANNER96"}, {120, L"BANNER120"}, {144, L"BANNER144"}, {192, L"BANNER192"}}};

// The status pictures are named by the state they show, in the words of the
// caption beside them.
inline constexpr std::array<platform::layout::PictureName, 2> kPictureNames = {
    {{protection::kProtectedPicture, protection::kProtectedCaption},
     {protection::kNotProtectedPicture, protection::kNotProtectedCaption}}};

// The whole window, as the Win32 side builds it.
inline constexpr platform::layout::WindowLayout kForm1Layout{
    kForm1ClassName,   kWindowCaption,
    kApplicationTitle, {0, 0, kClientWidthTwips, kClientHeightTwips},
    kFontFace,         kControls,
    kTabCaptions,      {kIdIconQuellnet, kIdMenuTray, kTrayMenuItems, kBanners},
    kPictureNames};

// The client area at `dpi`.
constexpr PixelRect ClientPixels(int dpi) {
  return platform::layout::ToPixels(kForm1Layout.client, dpi);
}

}  // namespace quellnet::app
