// How the main window behaves for the user: tab pages, the Tab key, the web
// link, hiding to the tray and closing.
#include <map>
#include <string>

#include "fixture.h"
#include "window_expected.h"

namespace quellnet::e2e {
namespace {

using namespace window;

constexpr wchar_t kOpenedUrlFile[] = L"C:\\opened-url.txt";

class WindowBehaviourTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
  }

  // Every control's text, to see that something left them all alone.
  std::map<int, std::wstring> AllTexts() const {
    std::map<int, std::wstring> texts;
    for (const Expected& control : Controls()) {
      texts[control.id] = WindowText(Control(control.id));
    }
    return texts;
  }

  void ExpectOnlyPageVisible(int page) {
    SCOPED_TRACE("page " + std::to_string(page));
    EXPECT_EQ(program_.CurrentPage(), page);
    for (const Expected& control : Controls()) {
      const bool shown = control.page == kOnWindow || control.page == page;
      EXPECT_EQ(IsWindowVisible(Control(control.id)) != FALSE, shown) << control.name;
    }
  }

  // Presses Tab once on the focused control and waits for the focus to move.
  HWND PressTab() {
    HWND before = FocusOf(Main());
    EXPECT_TRUE(PressKey(before != nullptr ? before : Main(), VK_TAB));
    HWND after = before;
    WaitUntil([&] { return (after = FocusOf(Main())) != before; }, Millis(3000));
    return after;
  }

  std::string NameOf(HWND window) const {
    for (const Expected& control : Controls()) {
      if (Control(control.id) == window) {
        return control.name;
      }
    }
    return window == nullptr ? "nothing" : "an unknown window";
  }

  // A page's visible tab stops must come round in order, from wherever the
  // focus starts.
  void ExpectTabCycle(int page) {
    SCOPED_TRACE("page " + std::to_string(page));
    ASSERT_TRUE(program_.SelectPage(page));
    const std::vector<int> order = TabOrderOnPage(page);
    const HWND first = PressTab();
    int position = -1;
    for (size_t i = 0; i < order.size(); ++i) {
      if (Control(order[i]) == first) {
        position = static_cast<int>(i);
      }
    }
    ASSERT_GE(position, 0) << "Tab moved the focus to " << NameOf(first);
    for (size_t step = 1; step <= order.size(); ++step) {
      const HWND expected = Control(order[(position + step) % order.size()]);
      const HWND focused = PressTab();
      EXPECT_EQ(focused, expected)
          << "expected " << NameOf(expected) << ", got " << NameOf(focused);
    }
  }
};

TEST_F(WindowBehaviourTest, ShowsOnlyTheControlsOfTheSelectedPage) {
  ExpectOnlyPageVisible(kMainPage);
  for (int page : {kPreferencesPage, kInternetOptionsPage, kMainPage, kInternetOptionsPage}) {
    ASSERT_TRUE(program_.SelectPage(page));
    ExpectOnlyPageVisible(page);
  }
}

TEST_F(WindowBehaviourTest, SwitchingPagesKeepsEveryValueAndText) {
  ASSERT_TRUE(program_.SelectPage(kPreferencesPage));
  for (int id : {kIdChkStartup, kIdChkHideOnStart}) {
    ASSERT_TRUE(Click(Control(id)));
    ASSERT_TRUE(WaitUntil([&] { return CheckState(Control(id)) == BST_CHECKED; }));
  }
  const std::map<int, std::wstring> texts = AllTexts();
  for (int page : {kMainPage, kInternetOptionsPage, kPreferencesPage, kMainPage}) {
    ASSERT_TRUE(program_.SelectPage(page));
  }
  EXPECT_EQ(CheckState(Control(kIdChkStartup)), BST_CHECKED);
  EXPECT_EQ(CheckState(Control(kIdChkHideOnStart)), BST_CHECKED);
  EXPECT_EQ(CheckState(Control(kIdChkmess)), BST_UNCHECKED);
  EXPECT_EQ(AllTexts(), texts);
}

TEST_F(WindowBehaviourTest, TabKeyVisitsTheShownPagesControlsInOrder) {
  // SSTab1, chkmess, chkHideOnStart, chkStartup, Text1, Command1, Command2,
  // each page leaving out the others' controls.
  ExpectTabCycle(kMainPage);
  ExpectTabCycle(kPreferencesPage);
  ExpectTabCycle(kInternetOptionsPage);
}

TEST_F(WindowBehaviourTest, OpensOnTheMainPageWhateverPageWasShownAtClose) {
  ASSERT_TRUE(program_.SelectPage(kInternetOptionsPage));
  ASSERT_TRUE(program_.Close());
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ExpectOnlyPageVisible(kMainPage);
}

TEST_F(WindowBehaviourTest, HidingToTheTrayAndRestoringKeepsThePage) {
  ASSERT_TRUE(program_.SelectPage(kPreferencesPage));
  ASSERT_TRUE(PostMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Main()); })) << "not hidden to the tray";
  ASSERT_TRUE(program_.SendTrayNotification(WM_LBUTTONDBLCLK));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Main()) && !IsIconic(Main()); }))
      << "not restored from the tray";
  ExpectOnlyPageVisible(kPreferencesPage);
}

TEST_F(WindowBehaviourTest, ClickOnTheWebLinkOpensTheMakersPage) {
  // Stand in for the browser: the driver writes what it was asked to open.
  const std::wstring handler =
      L"\"C:\\run\\quellnet_driver.exe\" record-args " + std::wstring(kOpenedUrlFile) + L" \"%1\"";
  ASSERT_TRUE(WriteMachineString(L"Software\\Classes\\http", L"URL Protocol", L""));
  ASSERT_TRUE(WriteMachineString(L"Software\\Classes\\http\\shell\\open\\command", L"", handler));
  DeleteFileW(kOpenedUrlFile);
  const std::map<int, std::wstring> texts = AllTexts();

  HWND link = Control(kIdLabel3);
  RECT rect{};
  ASSERT_TRUE(GetClientRect(link, &rect));
  ASSERT_TRUE(MouseClickAt(link, POINT{rect.right / 2, rect.bottom / 2}));

  std::optional<std::string> opened;
  ASSERT_TRUE(WaitUntil([&] {
    opened = ReadTextFile(kOpenedUrlFile);
    return opened.has_value() && !opened->empty();
  })) << "the link opened nothing";
  EXPECT_EQ(*opened, Narrow(std::wstring(app::kWebAddress)) + "\n");
  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod).has_value());
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_EQ(AllTexts(), texts);
}

TEST_F(WindowBehaviourTest, ClickOnTheWebLinkWithNoBrowserShowsNoMessage) {
  // The test prefix has no handler for http links and no browser.
  const std::map<int, std::wstring> texts = AllTexts();
  HWND link = Control(kIdLabel3);
  RECT rect{};
  ASSERT_TRUE(GetClientRect(link, &rect));
  ASSERT_TRUE(MouseClickAt(link, POINT{rect.right / 2, rect.bottom / 2}));
  EXPECT_FALSE(program_.WaitForMessageBox(kQuietPeriod * 2).has_value());
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_TRUE(IsWindowVisible(Main()));
  EXPECT_EQ(AllTexts(), texts);
  EXPECT_EQ(TopLevelWindowsOf(program_.Pid(), true).size(), 1u) << "a window other than Form1";
}

TEST_F(WindowBehaviourTest, TheCloseBoxEndsTheProgram) {
  ASSERT_TRUE(PostMessageW(Main(), WM_SYSCOMMAND, SC_CLOSE, 0));
  DWORD exit_code = 1;
  ASSERT_TRUE(program_.WaitForExit(kDefaultTimeout, &exit_code)) << "still running";
  EXPECT_EQ(exit_code, 0u);
}

TEST_F(WindowBehaviourTest, WmCloseEndsTheProgram) {
  ASSERT_TRUE(program_.Close());
  DWORD exit_code = 1;
  ASSERT_TRUE(program_.WaitForExit(Millis(0), &exit_code));
  EXPECT_EQ(exit_code, 0u);
  EXPECT_TRUE(TopLevelWindowsOf(program_.Pid()).empty());
}

}  // namespace
}  // namespace quellnet::e2e
