// What the main window must hold: every control with its page, kind, text
// and place. Written down here on its own from the window's design, not taken
// from the program's layout code, so that the tests compare two independent
// statements of the same layout.
#pragma once

#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/app_info.h"
#include "platform/win32/form1_ids.h"

namespace quellnet::e2e::window {

using namespace platform::win32;

inline constexpr wchar_t kCaption[] = L"Corvane Quellnet 2.1";
inline constexpr int kClientWidth = 383;
inline constexpr int kClientHeight = 378;

inline constexpr int kMainPage = 0;
inline constexpr int kPreferencesPage = 1;
inline constexpr int kInternetOptionsPage = 2;
inline constexpr int kOnWindow = -1;  // not on a tab page
inline const std::vector<std::wstring> kTabCaptions = {L"Main", L"Preferences",
                                                       L"Internet Options"};

enum class Kind {
  kImage,
  kLine,
  kTab,
  kLabel,
  kCentredLabel,
  kTextBox,
  kCheckBox,
  kPicture,
  kFrame,
  kButton
};

// What the places are measured from, in twips: the client area, the tab
// control's corner (120, 1440) or Frame1's corner (SSTab1 + (960, 1080)).
enum class From { kClient, kTab, kFrame };

struct Expected {
  int id;
  const char* name;
  int page;
  Kind kind;
  From from;
  int left, top, width, height;  // twips
  // Exact text; nullptr where the text is not fixed by the layout (Text1).
  const wchar_t* text;
};

inline constexpr wchar_t kOptionsNote[] =
    L"If you close the Quellnet with any of the options checked. They will become your default "
    L"settings !";

inline const std::vector<Expected>& Controls() {
  static const std::wstring web_address(app::kWebAddress);
  static const std::vector<Expected> controls = {
      {kIdImage1, "Image1", kOnWindow, Kind::kImage, From::kClient, 0, 0, 5700, 900, nullptr},
      {kIdLine2, "Line2", kOnWindow, Kind::kLine, From::kClient, 840, 960, 3960, 0, nullptr},
      {kIdSSTab1, "SSTab1", kOnWindow, Kind::kTab, From::kClient, 120, 1440, 5535, 3735, nullptr},
      {kIdLabel3, "Label3", kOnWindow, Kind::kCentredLabel, From::kClient, 1680, 5280, 2415, 255,
       web_address.c_str()},
      // page "Main"
      {kIdLabel6, "Label6", kMainPage, Kind::kLabel, From::kTab, 600, 600, 1815, 255,
       L"Your Current IP Address:"},
      {kIdText1, "Text1", kMainPage, Kind::kTextBox, From::kTab, 2640, 600, 2175, 315, nullptr},
      {kIdLabel2, "Label2", kMainPage, Kind::kCentredLabel, From::kTab, 1560, 1320, 2415, 255, L""},
      {kIdChkmess, "chkmess", kMainPage, Kind::kCheckBox, From::kTab, 1320, 1680, 3135, 255,
       L"  Enable Protection Now !"},
      {kIdPicture1, "Picture1", kMainPage, Kind::kPicture, From::kTab, 2640, 2040, 375, 375,
       nullptr},
      {kIdLabel4, "Label4", kMainPage, Kind::kLabel, From::kTab, 960, 2640, 3855, 615,
       kOptionsNote},
      // page "Preferences"
      {kIdFrame1, "Frame1", kPreferencesPage, Kind::kFrame, From::kTab, 960, 1080, 3735, 615, L""},
      {kIdChkStartup, "chkStartup", kPreferencesPage, Kind::kCheckBox, From::kFrame, 120, 240, 1935,
       195, L"Run at Startup"},
      {kIdChkHideOnStart, "chkHideOnStart", kPreferencesPage, Kind::kCheckBox, From::kFrame, 2040,
       240, 1455, 195, L"Run Minimized"},
      {kIdLabel5, "Label5", kPreferencesPage, Kind::kLabel, From::kTab, 960, 2280, 3855, 615,
       kOptionsNote},
      // page "Internet Options"
      {kIdLabel9, "Label9", kInternetOptionsPage, Kind::kCentredLabel, From::kTab, 240, 480, 1695,
       255, L"Temp Internet Files"},
      {kIdLabel10, "Label10", kInternetOptionsPage, Kind::kCentredLabel, From::kTab, 3360, 480,
       1575, 255, L"Internet Cookies"},
      {kIdLabel7, "Label7", kInternetOptionsPage, Kind::kLabel, From::kTab, 120, 840, 2655, 975,
       L"Visiting web sites often stores unecessary internet files on your computer and takes up "
       L"extra space.  Use the feature below to clear these files and free hard drive space. "},
      {kIdLabel8, "Label8", kInternetOptionsPage, Kind::kLabel, From::kTab, 3000, 840, 2415, 1095,
       L"Sometimes sites can add what is called a cookie to your computer. Cookies can be used by "
       L"a website for many reasons. Use this feature to clear all cookies."},
      {kIdCommand1, "Command1", kInternetOptionsPage, Kind::kButton, From::kTab, 480, 2040, 1335,
       495, L"Clear Cache"},
      {kIdCommand2, "Command2", kInternetOptionsPage, Kind::kButton, From::kTab, 3360, 2040, 1355,
       495, L"Clear Cookies"},
  };
  return controls;
}

// The expected rectangle in Form1 client pixels at 96 DPI (15 twips a pixel):
// each edge converted on its own, so that sizes that are not whole pixels
// (Command2's 1355 twips) round the way the edges do.
inline RECT PixelRect(const Expected& control) {
  int left = control.left;
  int top = control.top;
  if (control.from != From::kClient) {
    left += 120;
    top += 1440;
  }
  if (control.from == From::kFrame) {
    left += 960;
    top += 1080;
  }
  const auto pixels = [](int twips) { return static_cast<LONG>(std::lround(twips / 15.0)); };
  return RECT{pixels(left), pixels(top), pixels(left + control.width),
              pixels(top + control.height)};
}

// The Tab key's order over all pages; a page's own order leaves out the
// controls of the other pages.
inline const std::vector<int> kTabOrder = {kIdSSTab1, kIdChkmess,  kIdChkHideOnStart, kIdChkStartup,
                                           kIdText1,  kIdCommand1, kIdCommand2};

inline int PageOf(int id) {
  for (const Expected& control : Controls()) {
    if (control.id == id) {
      return control.page;
    }
  }
  return kOnWindow;
}

inline std::vector<int> TabOrderOnPage(int page) {
  std::vector<int> order;
  for (int id : kTabOrder) {
    if (PageOf(id) == kOnWindow || PageOf(id) == page) {
      order.push_back(id);
    }
  }
  return order;
}

}  // namespace quellnet::e2e::window
