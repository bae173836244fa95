// The notification-area icon, hiding to the tray and the tray menu, driven
// the way a user drives them: real mouse clicks on the icon that Wine's
// notification area shows, and on the menu that opens from it.
//
// The prefix is the test's own, so every icon in its notification area is
// the program's.
#include <optional>
#include <string>
#include <vector>

#include "fixture.h"

// After <windows.h>, which the harness brings in.
#include <shellapi.h>

namespace quellnet::e2e {
namespace {

using platform::kIdChkmess;
using platform::kIdCommand1;

constexpr int kInternetOptionsPage = 2;

class TrayTest : public QuellnetTest {
 protected:
  bool Hidden() const { return !IsWindowVisible(Main()) && IsIconic(Main()); }
  bool Shown() const { return IsWindowVisible(Main()) && !IsIconic(Main()); }
  bool ComesBackInFront() const {
    return WaitUntil([&] { return Shown() && GetForegroundWindow() == Main(); });
  }

  // The program's one icon; fails the test when there is not exactly one.
  std::optional<ShownIcon> TheIcon() {
    const std::vector<ShownIcon> icons = ShownIcons();
    EXPECT_EQ(icons.size(), 1u);
    EXPECT_TRUE(NotifyIcon(NIM_MODIFY, Main()));
    return icons.size() == 1 ? std::optional<ShownIcon>(icons[0]) : std::nullopt;
  }

  // The minimise box, as the user clicks it.
  void Minimise() {
    ASSERT_TRUE(PostMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0));
    ASSERT_TRUE(WaitUntil([&] { return Hidden(); })) << "the window did not go to the tray";
  }

  void DoubleClickIcon() {
    const std::optional<ShownIcon> icon = TheIcon();
    ASSERT_TRUE(icon.has_value());
    ASSERT_TRUE(Mouse(icon->centre, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                                     MOUSEEVENTF_LEFTUP}));
  }

  // The open pop-up menu of the program, if any.
  HWND Menu() const {
    for (HWND window : TopLevelWindowsOf(program_.Pid(), true)) {
      if (ClassNameOf(window) == L"#32768") {
        return window;
      }
    }
    return nullptr;
  }

  // Right-clicks the icon and waits for the menu.
  HWND OpenMenu() {
    const std::optional<ShownIcon> icon = TheIcon();
    HWND menu = nullptr;
    EXPECT_TRUE(icon && Mouse(icon->centre, {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}) &&
                WaitUntil([&] { return (menu = Menu()) != nullptr; }))
        << "the tray menu did not open";
    return menu;
  }

  // Clicks item 0 ("Expand Quellnet") or 1 ("Close Quellnet") of the menu.
  void Choose(HWND menu, int item) {
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(menu, &rect));
    const POINT at{(rect.left + rect.right) / 2,
                   rect.top + (rect.bottom - rect.top) * (1 + 2 * item) / 4};
    ASSERT_TRUE(Mouse(at, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}));
  }

  // Nothing happens for a while: the window stays hidden, no menu opens.
  void ExpectStillHidden(const char* after) {
    Sleep(static_cast<DWORD>(kQuietPeriod.count()));
    EXPECT_TRUE(Hidden()) << after;
    EXPECT_EQ(Menu(), nullptr) << after;
  }
};

TEST_F(TrayTest, MinimisingHidesToTheTrayAndADoubleClickBringsItBackOnItsPage) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(program_.SelectPage(kInternetOptionsPage));
  ASSERT_NO_FATAL_FAILURE(Minimise());

  ASSERT_NO_FATAL_FAILURE(DoubleClickIcon());
  EXPECT_TRUE(ComesBackInFront()) << "the double-click did not restore";
  EXPECT_EQ(program_.CurrentPage(), kInternetOptionsPage);
  EXPECT_TRUE(IsWindowVisible(Control(kIdCommand1)));
  EXPECT_FALSE(IsWindowVisible(Control(kIdChkmess)));
}

// The menu belongs to the foreground window, or a click elsewhere leaves it
// open; that must hold every time, not only the first.
TEST_F(TrayTest, TheMenuOpensAtThePointerClosesOnAClickElsewhereExpandsAndCloses) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_NO_FATAL_FAILURE(Minimise());
  // A point of the bare desktop, away from the notification area.
  const POINT elsewhere{GetSystemMetrics(SM_CXSCREEN) / 2, 20};
  ASSERT_EQ(WindowFromPoint(elsewhere), GetDesktopWindow());

  for (int round = 1; round <= 2; ++round) {
    HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr) << "round " << round;
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(menu, &rect));
    InflateRect(&rect, 2, 2);
    POINT pointer{};
    ASSERT_TRUE(GetCursorPos(&pointer));
    EXPECT_TRUE(PtInRect(&rect, pointer)) << "the menu is not at the pointer";

    ASSERT_TRUE(Mouse(elsewhere, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}));
    EXPECT_TRUE(WaitUntil([&] { return Menu() == nullptr; }))
        << "round " << round << ": the menu stayed open after a click elsewhere";
    ExpectStillHidden("after the menu closed");
  }

  ASSERT_NO_FATAL_FAILURE(Choose(OpenMenu(), 0));
  EXPECT_TRUE(ComesBackInFront()) << "\"Expand Quellnet\" did not restore";

  HWND window = Main();
  ASSERT_NO_FATAL_FAILURE(Minimise());
  ASSERT_NO_FATAL_FAILURE(Choose(OpenMenu(), 1));
  ASSERT_TRUE(program_.WaitForExit()) << "\"Close Quellnet\" did not end the program cleanly";
  EXPECT_TRUE(ShownIcons().empty());
  EXPECT_FALSE(NotifyIcon(NIM_MODIFY, window));
}

TEST_F(TrayTest, StartedMinimisedItWaitsInTheTrayAndASecondStartBringsItBack) {
  ASSERT_NO_FATAL_FAILURE(StartProgram({.options = {{L"HideOnStart", L"1"}}}));
  ASSERT_TRUE(WaitUntil([&] { return Hidden(); })) << "the program did not start in the tray";
  ASSERT_TRUE(TheIcon().has_value());

  ProgramUnderTest second;
  ASSERT_TRUE(second.Start({.wait_for_window = false})) << second.LastError();
  ASSERT_TRUE(second.WaitForExit()) << "the second start kept running or failed";
  EXPECT_TRUE(ComesBackInFront()) << "the running copy did not come back";
  EXPECT_TRUE(TheIcon().has_value());
  // The second start stored nothing.
  EXPECT_FALSE(UserValueExists(kOptionsKey, L"StartUp"));
}

TEST_F(TrayTest, ARecreatedNotificationAreaGetsTheIconBack) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  const std::optional<ShownIcon> icon = TheIcon();
  ASSERT_TRUE(icon.has_value());
  // The tip ends at its NUL: none of the blanks after it shows.
  EXPECT_EQ(icon->tip, L"Quellnet");
  // The area forgets the icon, as a restarted shell does, and announces
  // itself to every top-level window.
  ASSERT_TRUE(NotifyIcon(NIM_DELETE, Main()));
  ASSERT_TRUE(ShownIcons().empty());
  ASSERT_TRUE(PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0));

  EXPECT_TRUE(WaitUntil([&] { return NotifyIcon(NIM_MODIFY, Main()); }))
      << "the icon did not come back";
}

}  // namespace
}  // namespace quellnet::e2e
