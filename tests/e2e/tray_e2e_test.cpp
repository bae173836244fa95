// The notification-area icon, hiding to the tray, the tray menu and the
// single instance, driven the way a user drives them: real mouse clicks on
// the icon that Wine's notification area shows, and on the menu that opens
// from it. The prefix is the test's own, so every icon there is the program's.
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "fixture.h"
#include "app/app_info.h"

namespace quellnet::e2e {
namespace {

using namespace app;

class TrayTest : public QuellnetTest {
 protected:
  bool Hidden() const { return !IsWindowVisible(Main()) && IsIconic(Main()); }
  // The program's one icon, once the notification area has stopped moving
  // it: the area lays its icons out again as the window's taskbar button
  // comes and goes, which on a busy machine may come a while after. Fails
  // the test when there is not exactly one.
  POINT TheIcon() {
    std::vector<ShownIcon> icons = ShownIcons();
    const auto settled = [&] {
      Sleep(250);
      const std::vector<ShownIcon> before = std::exchange(icons, ShownIcons());
      return icons.size() == 1 && before.size() == 1 && icons[0].centre.x == before[0].centre.x &&
             icons[0].centre.y == before[0].centre.y;
    };
    EXPECT_TRUE(WaitUntil(settled)) << icons.size() << " icons, or one that kept moving";
    EXPECT_TRUE(NotifyIcon(NIM_MODIFY, Main()));
    return icons.empty() ? POINT{-1, -1} : icons[0].centre;
  }
  // The minimise box, as the user clicks it.
  void Minimise() {
    ASSERT_TRUE(PostMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0));
    ASSERT_TRUE(WaitUntil([&] { return Hidden(); })) << "the window did not go to the tray";
  }
  // The open pop-up menu of the program, if any.
  HWND Menu() const { return WindowOf(program_.Pid(), L"#32768", true); }
  // Right-clicks the icon and waits for the menu.
  HWND OpenMenu() {
    HWND menu = nullptr;
    EXPECT_TRUE(Mouse(TheIcon(), {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}) &&
                WaitUntil([&] { return (menu = Menu()) != nullptr; }))
        << "the tray menu did not open";
    return menu;
  }
  // Clicks item 0 ("Expand Quellnet") or 1 ("Close Quellnet") of the menu,
  // once the menu stands still, with the pointer moved onto the item first,
  // as a user's hand does: a busy menu loop may otherwise take the click
  // before it tracks the pointer, as a click outside the menu.
  void Choose(HWND menu, int item) {
    RECT rect{};
    ASSERT_TRUE(WaitUntil([&] {
      const RECT before = rect;
      Sleep(250);
      return GetWindowRect(menu, &rect) && EqualRect(&before, &rect);
    }));
    const POINT at{(rect.left + rect.right) / 2,
                   rect.top + (rect.bottom - rect.top) * (1 + 2 * item) / 4};
    ASSERT_TRUE(Mouse(at, {}));
    Sleep(static_cast<DWORD>(kQuietPeriod.count()));
    ASSERT_TRUE(Mouse(at, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}));
  }
};

// The menu belongs to the foreground window, or a click elsewhere leaves it
// open; that must hold every time, not only the first. On Windows the next
// opening closes on such a click only when the program took a message after
// the menu closed: it posts itself a WM_NULL then, and not before, which a
// hook on its thread sees (Wine's menus close without it).
TEST_F(TrayTest, TheMenuOpensAtThePointerClosesOnAClickElsewhereAndCloseEndsTheProgram) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_NO_FATAL_FAILURE(Minimise());
  const UniqueKernelHandle posted(CreateEventW(nullptr, FALSE, FALSE, L"QuellnetTestPostedNull"));
  ASSERT_TRUE(posted);
  const UniqueHook hook = HookThread("WatchPostedNull", GetWindowThreadProcessId(Main(), nullptr));
  // A point of the bare desktop, away from the notification area.
  const POINT elsewhere{GetSystemMetrics(SM_CXSCREEN) / 2, 20};
  ASSERT_TRUE(hook && WindowFromPoint(elsewhere) == GetDesktopWindow());
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    RECT rect{};
    POINT pointer{};
    ASSERT_TRUE(GetWindowRect(menu, &rect) && GetCursorPos(&pointer));
    InflateRect(&rect, 2, 2);
    EXPECT_TRUE(PtInRect(&rect, pointer)) << "the menu is not at the pointer";

    // The pointer moves there first: a busy menu loop may otherwise take the
    // click at the pointer's old place, on the menu.
    ASSERT_TRUE(Mouse(elsewhere, {}));
    Sleep(300);
    EXPECT_EQ(WaitForSingleObject(posted.Get(), 0), WAIT_TIMEOUT)
        << "posted while the menu was open";
    ASSERT_TRUE(Mouse(elsewhere, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}));
    EXPECT_TRUE(WaitUntil([&] { return Menu() == nullptr; })) << "the menu stayed open";
    EXPECT_EQ(WaitForSingleObject(posted.Get(), static_cast<DWORD>(kDefaultTimeout.count())),
              WAIT_OBJECT_0)
        << "nothing posted after the menu";
    Sleep(static_cast<DWORD>(kQuietPeriod.count()));
    EXPECT_TRUE(Hidden()) << "the menu's closing restored the window";
  }

  HWND window = Main();
  ASSERT_NO_FATAL_FAILURE(Choose(OpenMenu(), 1));
  ASSERT_TRUE(program_.WaitForExit()) << "\"Close Quellnet\" did not end the program cleanly";
  EXPECT_FALSE(NotifyIcon(NIM_MODIFY, window)) << "the icon stayed";
}

// Started minimised it waits in the tray. Each way back brings the window
// to the front on the page it showed, the keyboard focus on the control
// that had it (at first the tab strip, where the window starts it). Last,
// as the broadcast that ends it reaches every window of the prefix.
TEST_F(TrayTest, EveryWayBackBringsTheWindowToTheFrontWithTheFocusWhereItWas) {
  ASSERT_NO_FATAL_FAILURE(StartProgram(
      {.presets = {{kOptionsKey, L"HideOnStart", L"1"}, {kShellFolders, L"Cache", L"C:\\None"}}}));
  ASSERT_TRUE(WaitUntil([&] { return Hidden(); })) << "the program did not start in the tray";
  // The way back, the page, the control with the focus before and after.
  const std::tuple<const char*, int, int, std::function<void()>> rows[] = {
      {"second start", 0, kIdSSTab1,
       [&] {
         ProgramUnderTest second;
         ASSERT_TRUE(second.Start({.wait_for_window = false})) << second.LastError();
         ASSERT_TRUE(second.WaitForExit()) << "the second start kept running or failed";
       }},
      {"double-click", 2, kIdCommand2,
       [&] {
         ASSERT_NO_FATAL_FAILURE(Minimise());
         ASSERT_TRUE(Mouse(TheIcon(), {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP,
                                       MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}));
       }},
      {"Expand Quellnet", 0, kIdText1,
       [&] {
         ASSERT_NO_FATAL_FAILURE(Minimise());
         ASSERT_NO_FATAL_FAILURE(Choose(OpenMenu(), 0));
       }},
      {"message box", 2, kIdCommand1,
       [&] {
         ASSERT_TRUE(Click(Control(kIdCommand1)));
         const auto box = program_.WaitForMessageBox();
         ASSERT_TRUE(box.has_value() && ProgramUnderTest::Answer(*box));
       }},
  };
  for (const auto& [way, page, focus, leave_and_come_back] : rows) {
    SCOPED_TRACE(way);
    // The Tab key brings the focus to the row's control, unless the window
    // waits in the tray.
    ASSERT_TRUE(!IsWindowVisible(Main()) || program_.SelectPage(page));
    for (int press = 0; IsWindowVisible(Main()) && press < 4; ++press) {
      if (WaitUntil([&] { return FocusOf(Main()) == Control(focus); }, Millis(500))) {
        break;
      }
      PressKeys({VK_TAB});
    }
    ASSERT_NO_FATAL_FAILURE(leave_and_come_back());
    EXPECT_TRUE(WaitUntil([&] {
      return IsWindowVisible(Main()) && !IsIconic(Main()) && GetForegroundWindow() == Main();
    }));
    EXPECT_EQ(CurrentTab(Control(kIdSSTab1)), page);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(Main()) == Control(focus); }));
  }
  EXPECT_FALSE(ReadUserString(kOptionsKey, L"StartUp").has_value()) << "the second start stored";

  // A restarted shell forgets the icon and announces itself to every
  // top-level window: the icon comes back.
  ASSERT_TRUE(NotifyIcon(NIM_DELETE, Main()));
  ASSERT_TRUE(PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0));
  EXPECT_TRUE(WaitUntil([&] { return NotifyIcon(NIM_MODIFY, Main()); }))
      << "the icon did not come back";
}

// A start while the running copy closes, held up by its message about what
// it could not save (its key takes no lasting subkey), is not lost: it runs
// once that copy has ended, even when that copy answers nothing for longer
// than any limit (here it is frozen). The start says that it waits.
TEST_F(TrayTest, AStartWhileTheRunningCopyClosesRunsOnceThatCopyHasEnded) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Quellnet", 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(PostMessageW(Main(), WM_CLOSE, 0, 0));
  const auto box = program_.WaitForMessageBox();
  ASSERT_TRUE(box.has_value());

  const UniqueKernelHandle frozen(
      OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(Main(), nullptr)));
  ASSERT_TRUE(frozen && SuspendThread(frozen.Get()) != static_cast<DWORD>(-1));

  ProgramUnderTest second;
  ASSERT_TRUE(second.Start({.wait_for_window = false})) << second.LastError();
  EXPECT_TRUE(WaitUntil([&] { return WindowOf(second.Pid(), app::kWaitNoticeClassName, true); }))
      << "the wait is not shown";
  EXPECT_FALSE(second.WaitForExit(Millis{6000})) << "the second start ended";
  ASSERT_NE(ResumeThread(frozen.Get()), static_cast<DWORD>(-1));
  ASSERT_TRUE(ProgramUnderTest::Answer(*box));
  ASSERT_TRUE(program_.WaitForExit());
  EXPECT_TRUE(WaitUntil([&] { return WindowOf(second.Pid(), app::kForm1ClassName, true); }))
      << "no copy runs";
}

}  // namespace
}  // namespace quellnet::e2e
