// The main window as the real program shows it and as the user works it:
// every control with its kind, exact text and place, the tab pages, the Tab
// key, the web link and closing.
#include <cmath>
#include <cstdlib>
#include <cwctype>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/app_info.h"
#include "fixture.h"

// After <windows.h>, which fixture.h brings in.
#include <psapi.h>

namespace quellnet::e2e {
namespace {

using namespace platform;

constexpr int kMainPage = 0;
constexpr int kPreferencesPage = 1;
constexpr int kInternetOptionsPage = 2;
constexpr int kOnWindow = -1;  // not on a tab page

// What the window must hold, written down here on its own from the window's
// design rather than taken from the program's layout table, so that the
// test compares two independent statements of the same layout. Places are
// in twips of the client area: the page controls lie in the tab control,
// whose corner is at (120, 1440), the option boxes in Frame1 at (1080, 2520).
struct Expected {
  int id;
  const char* name;
  int page;
  const wchar_t* window_class;  // nullptr: drawn by the program itself
  bool centred;                 // for "Static": centred, else left-aligned
  int left, top, width, height;
  const wchar_t* text;  // nullptr where the layout fixes none
};

constexpr wchar_t kStatic[] = L"Static";
constexpr wchar_t kButton[] = L"Button";
constexpr wchar_t kOptionsNote[] =
    L"If you close the Quellnet with any of the options checked. They will become your default "
    L"settings !";

const std::vector<Expected> kControls = {
    {kIdImage1, "Image1", kOnWindow, nullptr, false, 0, 0, 5700, 900, nullptr},
    {kIdLine2, "Line2", kOnWindow, nullptr, false, 840, 960, 3960, 0, nullptr},
    {kIdSSTab1, "SSTab1", kOnWindow, L"SysTabControl32", false, 120, 1440, 5535, 3735, nullptr},
    {kIdLabel3, "Label3", kOnWindow, kStatic, true, 1680, 5280, 2415, 255,
     platform::kWebAddress.data()},
    // page "Main"
    {kIdLabel6, "Label6", kMainPage, kStatic, false, 720, 2040, 1815, 255,
     L"Your Current IP Address:"},
    {kIdText1, "Text1", kMainPage, L"Edit", false, 2760, 2040, 2175, 315, nullptr},
    {kIdLabel2, "Label2", kMainPage, kStatic, true, 1680, 2760, 2415, 255, L""},
    {kIdChkmess, "chkmess", kMainPage, kButton, false, 1440, 3120, 3135, 255,
     L"  Enable Protection Now !"},
    {kIdPicture1, "Picture1", kMainPage, nullptr, false, 2760, 3480, 375, 375, nullptr},
    {kIdLabel4, "Label4", kMainPage, kStatic, false, 1080, 4080, 3855, 615, kOptionsNote},
    // page "Preferences"
    {kIdFrame1, "Frame1", kPreferencesPage, kButton, false, 1080, 2520, 3735, 615, L""},
    {kIdChkStartup, "chkStartup", kPreferencesPage, kButton, false, 1200, 2760, 1935, 195,
     L"Run at Startup"},
    {kIdChkHideOnStart, "chkHideOnStart", kPreferencesPage, kButton, false, 3120, 2760, 1455, 195,
     L"Run Minimized"},
    {kIdLabel5, "Label5", kPreferencesPage, kStatic, false, 1080, 3720, 3855, 615, kOptionsNote},
    // page "Internet Options"
    {kIdLabel9, "Label9", kInternetOptionsPage, kStatic, true, 360, 1920, 1695, 255,
     L"Temp Internet Files"},
    {kIdLabel10, "Label10", kInternetOptionsPage, kStatic, true, 3480, 1920, 1575, 255,
     L"Internet Cookies"},
    {kIdLabel7, "Label7", kInternetOptionsPage, kStatic, false, 240, 2280, 2655, 975,
     L"Visiting web sites often stores unecessary internet files on your computer and takes up "
     L"extra space.  Use the feature below to clear these files and free hard drive space. "},
    {kIdLabel8, "Label8", kInternetOptionsPage, kStatic, false, 3120, 2280, 2415, 1095,
     L"Sometimes sites can add what is called a cookie to your computer. Cookies can be used by "
     L"a website for many reasons. Use this feature to clear all cookies."},
    {kIdCommand1, "Command1", kInternetOptionsPage, kButton, false, 600, 3480, 1335, 495,
     L"Clear Cache"},
    {kIdCommand2, "Command2", kInternetOptionsPage, kButton, false, 3480, 3480, 1355, 495,
     L"Clear Cookies"},
};

// The Tab key's order over all pages; a page's own order leaves out the
// controls of the other pages.
const std::vector<int> kTabOrder = {kIdSSTab1, kIdChkmess,  kIdChkHideOnStart, kIdChkStartup,
                                    kIdText1,  kIdCommand1, kIdCommand2};

// The expected rectangle in client pixels at 96 DPI (15 twips a pixel), each
// edge converted on its own, as the edges of a control that is not a whole
// number of pixels wide (Command2's 1355 twips) round.
RECT PixelRect(const Expected& control) {
  const auto pixels = [](int twips) { return static_cast<LONG>(std::lround(twips / 15.0)); };
  return RECT{pixels(control.left), pixels(control.top), pixels(control.left + control.width),
              pixels(control.top + control.height)};
}

std::string Describe(const RECT& rect) {
  char text[64];
  std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right,
                rect.bottom);
  return text;
}

class WindowTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
  }

  void ExpectOnlyPageVisible(int page) {
    SCOPED_TRACE("page " + std::to_string(page));
    EXPECT_EQ(program_.CurrentPage(), page);
    for (const Expected& control : kControls) {
      const bool shown = control.page == kOnWindow || control.page == page;
      EXPECT_EQ(IsWindowVisible(Control(control.id)) != FALSE, shown) << control.name;
    }
  }

  // Presses Tab on the focused control and waits for the focus to move.
  HWND PressTab() {
    HWND before = FocusOf(Main());
    EXPECT_TRUE(PressKey(before != nullptr ? before : Main(), VK_TAB));
    HWND after = before;
    WaitUntil([&] { return (after = FocusOf(Main())) != before; }, Millis(3000));
    return after;
  }
};

TEST_F(WindowTest, HoldsEveryControlOfItsKindWithItsExactTextAndPlaceWithinOnePixel) {
  EXPECT_EQ(WindowText(Main()), L"Corvane Quellnet 2.1");
  RECT client{};
  ASSERT_TRUE(GetClientRect(Main(), &client));
  EXPECT_EQ(client.right, 383);
  EXPECT_EQ(client.bottom, 378);
  const LONG style = GetWindowLongW(Main(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));

  for (const Expected& expected : kControls) {
    SCOPED_TRACE(expected.name);
    HWND control = Control(expected.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), Main());
    if (expected.window_class != nullptr) {
      EXPECT_EQ(ClassNameOf(control), expected.window_class);
    }
    if (expected.window_class == kStatic) {
      EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK,
                expected.centred ? SS_CENTER : SS_LEFT);
    }
    if (expected.text != nullptr) {
      EXPECT_EQ(WindowText(control), expected.text);
    }
    const RECT want = PixelRect(expected);
    const RECT got = RectIn(control, Main());
    EXPECT_TRUE(std::abs(got.left - want.left) <= 1 && std::abs(got.top - want.top) <= 1 &&
                std::abs(got.right - want.right) <= 1 && std::abs(got.bottom - want.bottom) <= 1)
        << "expected " << Describe(want) << ", got " << Describe(got);
  }

  HWND tab = Control(kIdSSTab1);
  ASSERT_EQ(TabCount(tab), 3);
  EXPECT_EQ(TabCaption(program_.Process(), tab, 0), L"Main");
  EXPECT_EQ(TabCaption(program_.Process(), tab, 1), L"Preferences");
  EXPECT_EQ(TabCaption(program_.Process(), tab, 2), L"Internet Options");
}

TEST_F(WindowTest, ShowsOnlyTheSelectedPageAndKeepsEveryValueAcrossPages) {
  ExpectOnlyPageVisible(kMainPage);
  ASSERT_TRUE(program_.SelectPage(kPreferencesPage));
  for (int id : {kIdChkStartup, kIdChkHideOnStart}) {
    ASSERT_TRUE(Click(Control(id)));
    ASSERT_TRUE(WaitUntil([&] { return CheckState(Control(id)) == BST_CHECKED; }));
  }
  for (int page : {kInternetOptionsPage, kMainPage, kPreferencesPage}) {
    ASSERT_TRUE(program_.SelectPage(page));
    ExpectOnlyPageVisible(page);
  }
  EXPECT_EQ(CheckState(Control(kIdChkStartup)), BST_CHECKED);
  EXPECT_EQ(CheckState(Control(kIdChkHideOnStart)), BST_CHECKED);
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_UNCHECKED);
}

// A page's visible tab stops must come round in order, from wherever the
// focus starts.
TEST_F(WindowTest, TabKeyVisitsTheShownPagesControlsInOrder) {
  for (int page : {kMainPage, kPreferencesPage, kInternetOptionsPage}) {
    SCOPED_TRACE("page " + std::to_string(page));
    ASSERT_TRUE(program_.SelectPage(page));
    std::vector<HWND> order;
    for (int id : kTabOrder) {
      if (IsWindowVisible(Control(id))) {
        order.push_back(Control(id));
      }
    }
    ASSERT_EQ(order.size(), 3u);
    HWND focused = PressTab();
    size_t position = 0;
    while (position < order.size() && order[position] != focused) {
      ++position;
    }
    ASSERT_LT(position, order.size()) << "Tab moved the focus off the page's stops";
    for (size_t step = 1; step <= order.size(); ++step) {
      EXPECT_EQ(PressTab(), order[(position + step) % order.size()]) << "step " << step;
    }
  }
}

// Screen readers name a field that has no caption of its own from the
// static text just before it in the z-order.
TEST_F(WindowTest, TheAddressBoxIsNamedByItsLabelForScreenReaders) {
  EXPECT_EQ(GetWindow(Control(kIdText1), GW_HWNDPREV), Control(kIdLabel6));
}

TEST_F(WindowTest, ClickOnTheWebLinkOpensTheMakersPage) {
  // Stand in for the browser: the driver writes what it was asked to open.
  // The build may name an http or an https page.
  constexpr wchar_t kOpened[] = L"C:\\opened-url.txt";
  for (const std::wstring scheme : {L"http", L"https"}) {
    const std::wstring classes = L"Software\\Classes\\" + scheme;
    ASSERT_TRUE(WriteString(classes, L"URL Protocol", L"", HKEY_LOCAL_MACHINE));
    ASSERT_TRUE(WriteString(
        classes + L"\\shell\\open\\command", L"",
        L"\"C:\\run\\quellnet_driver.exe\" record-args " + std::wstring(kOpened) + L" \"%1\"",
        HKEY_LOCAL_MACHINE));
  }
  RECT link{};
  ASSERT_TRUE(GetWindowRect(Control(kIdLabel3), &link));
  ASSERT_TRUE(Mouse({(link.left + link.right) / 2, (link.top + link.bottom) / 2},
                    {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}));

  std::optional<std::string> opened;
  ASSERT_TRUE(WaitUntil([&] {
    opened = ReadTextFile(kOpened);
    return opened.has_value() && !opened->empty();
  })) << "the link opened nothing";
  EXPECT_EQ(*opened, Narrow(std::wstring(platform::kWebAddress)) + "\n");
  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());
  EXPECT_TRUE(program_.IsRunning());
}

// The controls come from version 6 of the common controls, of the program's
// own architecture, from the side-by-side store. A manifest dependency that
// names another architecture is silently not met, and the program then gets
// the old version 5 from the system folder.
TEST_F(WindowTest, RunsOnVersion6CommonControlsOfItsOwnArchitecture) {
  std::vector<HMODULE> modules(1024);
  DWORD needed = 0;
  ASSERT_TRUE(EnumProcessModules(program_.Process(), modules.data(),
                                 static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed));
  std::wstring comctl;
  for (std::size_t i = 0; i < needed / sizeof(HMODULE) && i < modules.size(); ++i) {
    wchar_t path[MAX_PATH] = {};
    if (GetModuleFileNameExW(program_.Process(), modules[i], path, MAX_PATH) == 0) {
      continue;
    }
    std::wstring lower(path);
    for (wchar_t& c : lower) {
      c = static_cast<wchar_t>(std::towlower(c));
    }
    if (lower.size() >= 13 && lower.ends_with(L"\\comctl32.dll")) {
      comctl = lower;
    }
  }
  const wchar_t* own = sizeof(void*) == 8
                           ? L"\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6."
                           : L"\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.";
  EXPECT_NE(comctl.find(own), std::wstring::npos) << Narrow(comctl);
}

TEST_F(WindowTest, TheCloseBoxEndsTheProgram) {
  ASSERT_TRUE(PostMessageW(Main(), WM_SYSCOMMAND, SC_CLOSE, 0));
  EXPECT_TRUE(program_.WaitForExit()) << "still running, or ended with an error";
}

}  // namespace
}  // namespace quellnet::e2e
