// The main window as the real program shows it and as the user works it:
// every control with its kind, exact text and place (at 96 DPI and on a
// screen of 144 DPI, and again when moved to one of another DPI), the tab
// pages, the Tab key, the web link and closing.
#include <cwctype>
#include <cstdio>
#include <string>
#include <vector>

#include "fixture.h"
#include "platform/app_info.h"
#include "platform/form1_layout.h"

// After <windows.h>, which fixture.h brings in.
#include <commctrl.h>
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
// test compares two independent statements of the same texts. The places
// come from the layout's arithmetic, which the unit tests check against the
// design at every DPI; here the real window must put each control there.
struct Expected {
  int id;
  const char* name;
  int page;
  const wchar_t* window_class;  // nullptr: drawn by the program itself
  bool centred;                 // for "Static": centred, else left-aligned
  const wchar_t* text;          // nullptr where the layout fixes none
};

constexpr wchar_t kStatic[] = L"Static";
constexpr wchar_t kButton[] = L"Button";
constexpr wchar_t kOptionsNote[] =
    L"If you close the Quellnet with any of the options checked. They will become your default "
    L"settings !";

const std::vector<Expected> kControls = {
    {kIdImage1, "Image1", kOnWindow, nullptr, false, nullptr},
    {kIdLine2, "Line2", kOnWindow, nullptr, false, nullptr},
    {kIdSSTab1, "SSTab1", kOnWindow, L"SysTabControl32", false, nullptr},
    {kIdLabel3, "Label3", kOnWindow, kStatic, true, platform::kWebAddress.data()},
    // page "Main"
    {kIdLabel6, "Label6", kMainPage, kStatic, false, L"Your Current IP Address:"},
    {kIdText1, "Text1", kMainPage, L"Edit", false, nullptr},
    {kIdLabel2, "Label2", kMainPage, kStatic, true, L""},
    {kIdChkmess, "chkmess", kMainPage, kButton, false, L"  Enable Protection Now !"},
    {kIdPicture1, "Picture1", kMainPage, nullptr, false, nullptr},
    {kIdLabel4, "Label4", kMainPage, kStatic, false, kOptionsNote},
    // page "Preferences"
    {kIdFrame1, "Frame1", kPreferencesPage, kButton, false, L""},
    {kIdChkStartup, "chkStartup", kPreferencesPage, kButton, false, L"Run at Startup"},
    {kIdChkHideOnStart, "chkHideOnStart", kPreferencesPage, kButton, false, L"Run Minimized"},
    {kIdLabel5, "Label5", kPreferencesPage, kStatic, false, kOptionsNote},
    // page "Internet Options"
    {kIdLabel9, "Label9", kInternetOptionsPage, kStatic, true, L"Temp Internet Files"},
    {kIdLabel10, "Label10", kInternetOptionsPage, kStatic, true, L"Internet Cookies"},
    {kIdLabel7, "Label7", kInternetOptionsPage, kStatic, false,
     L"Visiting web sites often stores unecessary internet files on your computer and takes up "
     L"extra space.  Use the feature below to clear these files and free hard drive space. "},
    {kIdLabel8, "Label8", kInternetOptionsPage, kStatic, false,
     L"Sometimes sites can add what is called a cookie to your computer. Cookies can be used by "
     L"a website for many reasons. Use this feature to clear all cookies."},
    {kIdCommand1, "Command1", kInternetOptionsPage, kButton, false, L"Clear Cache"},
    {kIdCommand2, "Command2", kInternetOptionsPage, kButton, false, L"Clear Cookies"},
};

// The Tab key's order over all pages; a page's own order leaves out the
// controls of the other pages.
const std::vector<int> kTabOrder = {kIdSSTab1, kIdChkmess,  kIdChkHideOnStart, kIdChkStartup,
                                    kIdText1,  kIdCommand1, kIdCommand2};

std::string Describe(const RECT& rect) {
  char text[64];
  std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right,
                rect.bottom);
  return text;
}

// The client area and every control where the layout puts them at `dpi`,
// to the pixel: the window makes them from that very arithmetic.
void ExpectLaidOutAt(HWND main, int dpi) {
  SCOPED_TRACE(std::to_string(dpi) + " DPI");
  RECT client{};
  ASSERT_TRUE(GetClientRect(main, &client));
  EXPECT_EQ(client.right, layout::ClientPixels(dpi).width);
  EXPECT_EQ(client.bottom, layout::ClientPixels(dpi).height);
  for (const Expected& expected : kControls) {
    const layout::PixelRect place =
        layout::ControlPixels(*layout::FindControl(static_cast<Form1ControlId>(expected.id)), dpi);
    const RECT want{place.left, place.top, place.right(), place.bottom()};
    const RECT got = RectIn(GetDlgItem(main, expected.id), main);
    EXPECT_TRUE(EqualRect(&got, &want))
        << expected.name << ": expected " << Describe(want) << ", got " << Describe(got);
  }
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

TEST_F(WindowTest, HoldsEveryControlOfItsKindWithItsExactTextAndPlace) {
  EXPECT_EQ(WindowText(Main()), L"Corvane Quellnet 2.1");
  ExpectLaidOutAt(Main(), 96);
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

// A screen of 144 DPI (150 %). The session's DPI is the user's "LogPixels",
// which Wine reads as each program starts.
class HighDpiWindowTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    SeeUnscaledPixels();
    ASSERT_TRUE(SetLogPixels(144));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
  }
  void TearDown() override {
    QuellnetTest::TearDown();
    SetLogPixels(96);  // the other tests of this program run at 96 DPI
  }
  static bool SetLogPixels(DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    const bool written =
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof dpi) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
  }
  // The height of the tab strip, which the tab control takes from its font.
  int TabStripHeight() {
    RemoteMemory remote(program_.Process(), sizeof(RECT));
    DWORD_PTR ok = 0;
    RECT item{};
    if (!SendMessageTimeoutW(Control(kIdSSTab1), TCM_GETITEMRECT, 0,
                             reinterpret_cast<LPARAM>(remote.address()), SMTO_ABORTIFHUNG, 5000,
                             &ok) ||
        ok == 0 || !remote.Read(0, &item, sizeof item)) {
      return 0;
    }
    return item.bottom - item.top;
  }
};

// Moved to a monitor of 120 DPI, the window takes the rectangle the system
// suggests and lays itself out again, fonts too. Wine has one DPI for all
// monitors and never sends WM_DPICHANGED, so the test sends what Windows
// would, the rectangle in the program's own memory.
TEST_F(HighDpiWindowTest, LaysItselfOutAtTheScreensDpiAndAgainOnAMonitorOfAnother) {
  ExpectLaidOutAt(Main(), 144);
  const int tabs_at_144 = TabStripHeight();

  RECT window{};
  RECT client{};
  ASSERT_TRUE(GetWindowRect(Main(), &window) && GetClientRect(Main(), &client));
  const layout::PixelRect client_at_120 = layout::ClientPixels(120);
  const RECT suggested{40, 30, 40 + window.right - window.left - client.right + client_at_120.width,
                       30 + window.bottom - window.top - client.bottom + client_at_120.height};
  RemoteMemory remote(program_.Process(), sizeof suggested);
  ASSERT_TRUE(remote.Write(0, &suggested, sizeof suggested));
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(Main(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(120, 120),
                                  reinterpret_cast<LPARAM>(remote.address()), SMTO_ABORTIFHUNG,
                                  5000, &answer));

  ASSERT_TRUE(GetWindowRect(Main(), &window));
  EXPECT_TRUE(EqualRect(&window, &suggested)) << Describe(window);
  ExpectLaidOutAt(Main(), 120);
  const int tabs_at_120 = TabStripHeight();
  EXPECT_GT(tabs_at_120, 0);
  EXPECT_LT(tabs_at_120, tabs_at_144) << "the tabs kept the font of 144 DPI";
}

}  // namespace
}  // namespace quellnet::e2e
