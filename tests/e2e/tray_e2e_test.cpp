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
#include <commctrl.h>
#include <shellapi.h>

namespace quellnet::e2e {
namespace {

using platform::win32::kForm1ClassName;
using platform::win32::kIdChkmess;
using platform::win32::kIdChkStartup;
using platform::win32::kIdCommand1;
using platform::win32::kTrayIconId;

constexpr wchar_t kMenuClass[] = L"#32768";
constexpr int kPreferencesPage = 1;
constexpr int kInternetOptionsPage = 2;

// ---------------------------------------------------------------- the notification area

// An icon for (window, id 1) exists: a modify that changes nothing succeeds
// only for an icon that is there.
bool IconExists(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = window;
  data.uID = kTrayIconId;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool DeleteIcon(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = window;
  data.uID = kTrayIconId;
  return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

// An icon that the notification area shows: where it is on the screen and
// its tip.
struct ShownIcon {
  POINT centre;
  std::wstring tip;
};

// Every icon the notification area shows. Wine's notification area draws
// its icons into its own window and gives each one a tooltip of its own,
// whose tool covers the icon while it is shown and nothing once it is gone.
std::vector<ShownIcon> ShownIcons() {
  std::vector<ShownIcon> icons;
  HWND area = FindWindowW(L"Shell_TrayWnd", nullptr);
  if (area == nullptr) {
    return icons;
  }
  DWORD process_id = 0;
  GetWindowThreadProcessId(area, &process_id);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (process == nullptr) {
    return icons;
  }
  constexpr size_t kCapacity = 1024;  // the longest text a tooltip hands out
  const size_t size = sizeof(TTTOOLINFOW) + kCapacity * sizeof(wchar_t);
  char* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  HWND tooltip = nullptr;
  while (remote != nullptr &&
         (tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) != nullptr) {
    if (GetWindow(tooltip, GW_OWNER) != area) {
      continue;
    }
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof info);
    std::vector<wchar_t> text(kCapacity, L'\0');
    SIZE_T moved = 0;
    DWORD_PTR found = 0;
    if (!WriteProcessMemory(process, remote, &info, sizeof info, &moved) ||
        !WriteProcessMemory(process, remote + sizeof info, text.data(), kCapacity * sizeof(wchar_t),
                            &moved) ||
        !SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(remote),
                             SMTO_ABORTIFHUNG, 5000, &found) ||
        found == 0 || !ReadProcessMemory(process, remote, &info, sizeof info, &moved) ||
        IsRectEmpty(&info.rect)) {
      continue;
    }
    MapWindowPoints(area, nullptr, reinterpret_cast<POINT*>(&info.rect), 2);
    ShownIcon icon{{(info.rect.left + info.rect.right) / 2, (info.rect.top + info.rect.bottom) / 2},
                   {}};
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutW(tooltip, TTM_GETTEXTW, kCapacity, reinterpret_cast<LPARAM>(remote),
                            SMTO_ABORTIFHUNG, 5000, &ignored) &&
        ReadProcessMemory(process, remote + sizeof info, text.data(),
                          (kCapacity - 1) * sizeof(wchar_t), &moved)) {
      icon.tip = text.data();
    }
    icons.push_back(icon);
  }
  if (remote != nullptr) {
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return icons;
}

// ---------------------------------------------------------------- the real mouse

// Moves the pointer to `at` (screen coordinates) and presses and releases
// buttons there: `flags` are the MOUSEEVENTF_ button flags, one input each.
bool Mouse(POINT at, std::initializer_list<DWORD> flags) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  std::vector<INPUT> inputs(flags.size() + 1);
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, width - 1);
    input.mi.dy = MulDiv(at.y, 65535, height - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  size_t i = 1;
  for (DWORD flag : flags) {
    inputs[i++].mi.dwFlags |= flag;
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// A point of the bare desktop: nothing of the program or of the shell is
// there.
std::optional<POINT> BareDesktopPoint() {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  for (int y = 20; y < height - 60; y += 40) {
    for (int x = width - 20; x > 20; x -= 40) {
      const POINT point{x, y};
      HWND under = WindowFromPoint(point);
      if (under == nullptr || under == GetDesktopWindow() || ClassNameOf(under) == L"Progman" ||
          ClassNameOf(under) == L"#32769") {
        return point;
      }
    }
  }
  return std::nullopt;
}

// ---------------------------------------------------------------- the fixture

class TrayTest : public QuellnetTest {
 protected:
  bool Hidden() const { return !IsWindowVisible(Main()) && IsIconic(Main()); }
  bool Shown() const { return IsWindowVisible(Main()) && !IsIconic(Main()); }
  bool InFront() const { return ForegroundWindow() == Main(); }

  // The program's one icon; fails the test when there is not exactly one.
  std::optional<ShownIcon> TheIcon() {
    const std::vector<ShownIcon> icons = ShownIcons();
    EXPECT_EQ(icons.size(), 1u);
    EXPECT_TRUE(IconExists(Main()));
    if (icons.size() != 1) {
      return std::nullopt;
    }
    return icons[0];
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

  HWND OpenMenu() {
    const std::optional<ShownIcon> icon = TheIcon();
    if (!icon || !Mouse(icon->centre, {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP})) {
      return nullptr;
    }
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = Menu()) != nullptr; });
    EXPECT_NE(menu, nullptr) << "the tray menu did not open";
    return menu;
  }

  // The open pop-up menu of the program, if any.
  HWND Menu() const {
    for (HWND window : TopLevelWindowsOf(program_.Pid(), true)) {
      if (ClassNameOf(window) == kMenuClass) {
        return window;
      }
    }
    return nullptr;
  }

  // Clicks item 0 ("Expand Quellnet") or 1 ("Close Quellnet") of the menu.
  void Choose(HWND menu, int item) {
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(menu, &rect));
    const LONG height = rect.bottom - rect.top;
    const POINT at{(rect.left + rect.right) / 2, rect.top + height * (1 + 2 * item) / 4};
    ASSERT_TRUE(Mouse(at, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}));
  }

  // Nothing happens for a while: the window stays hidden, no menu opens.
  void ExpectStillHidden(const char* after) {
    Sleep(static_cast<DWORD>(kQuietPeriod.count()));
    EXPECT_TRUE(Hidden()) << after;
    EXPECT_EQ(Menu(), nullptr) << after;
  }
};

TEST_F(TrayTest, TheIconIsThereFromTheStartWithItsTipAndGoesWithTheProgram) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  const std::optional<ShownIcon> icon = TheIcon();
  ASSERT_TRUE(icon.has_value());
  // The tip ends at its NUL: none of the blanks after it shows.
  EXPECT_EQ(icon->tip, L"Quellnet");

  HWND window = Main();
  ASSERT_TRUE(program_.Close());
  EXPECT_TRUE(ShownIcons().empty());
  EXPECT_FALSE(IconExists(window));
}

TEST_F(TrayTest, MinimisingHidesToTheTrayAndOnlyADoubleClickBringsItBackOnItsPage) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(program_.SelectPage(kInternetOptionsPage));
  ASSERT_NO_FATAL_FAILURE(Minimise());
  const std::optional<ShownIcon> icon = TheIcon();
  ASSERT_TRUE(icon.has_value());

  // What the shell reports for pointer movement, single clicks and the
  // right button going down; and a code that no notification carries.
  for (UINT code : {UINT{WM_MOUSEMOVE}, UINT{WM_LBUTTONDOWN}, UINT{WM_LBUTTONUP},
                    UINT{WM_RBUTTONDOWN}, UINT{0}}) {
    ASSERT_TRUE(program_.SendTrayNotification(code));
  }
  ExpectStillHidden("after notifications other than the double-click");
  // A real single click on the icon, and the right button pressed there.
  ASSERT_TRUE(Mouse(icon->centre, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}));
  ASSERT_TRUE(Mouse(icon->centre, {MOUSEEVENTF_RIGHTDOWN}));
  ExpectStillHidden("after a single click and the right button going down");
  ASSERT_TRUE(Mouse(icon->centre, {}));
  ASSERT_TRUE(Mouse(icon->centre, {MOUSEEVENTF_RIGHTUP}));
  ASSERT_TRUE(WaitUntil([&] { return Menu() != nullptr; }));
  ASSERT_TRUE(PostMessageW(Menu(), WM_KEYDOWN, VK_ESCAPE, 0));
  ASSERT_TRUE(WaitUntil([&] { return Menu() == nullptr; }));
  // Pointer movement over the window itself, at the horizontal position of
  // the double-click's code, is no tray notification.
  ASSERT_TRUE(PostMessageW(Main(), WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDBLCLK, 5)));
  ExpectStillHidden("after pointer movement over the window");

  ASSERT_NO_FATAL_FAILURE(DoubleClickIcon());
  ASSERT_TRUE(WaitUntil([&] { return Shown(); })) << "the double-click did not restore";
  EXPECT_TRUE(WaitUntil([&] { return InFront(); }));
  EXPECT_EQ(program_.CurrentPage(), kInternetOptionsPage);
  EXPECT_TRUE(IsWindowVisible(Control(kIdCommand1)));
  EXPECT_FALSE(IsWindowVisible(Control(kIdChkmess)));

  // And again: one icon throughout.
  ASSERT_NO_FATAL_FAILURE(Minimise());
  EXPECT_TRUE(TheIcon().has_value());
  ASSERT_TRUE(program_.SendTrayNotification(WM_LBUTTONDBLCLK));
  ASSERT_TRUE(WaitUntil([&] { return Shown(); }));
  EXPECT_TRUE(TheIcon().has_value());
}

TEST_F(TrayTest, TheMenuOpensAtThePointerClosesOnAClickElsewhereEveryTimeAndExpands) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_NO_FATAL_FAILURE(Minimise());
  const std::optional<POINT> elsewhere = BareDesktopPoint();
  ASSERT_TRUE(elsewhere.has_value());

  for (int round = 1; round <= 3; ++round) {
    HWND menu = OpenMenu();
    ASSERT_NE(menu, nullptr) << "round " << round;
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(menu, &rect));
    InflateRect(&rect, 2, 2);
    POINT pointer{};
    ASSERT_TRUE(GetCursorPos(&pointer));
    EXPECT_TRUE(PtInRect(&rect, pointer)) << "the menu is not at the pointer";
    EXPECT_TRUE(Hidden());

    ASSERT_TRUE(Mouse(*elsewhere, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}));
    EXPECT_TRUE(WaitUntil([&] { return Menu() == nullptr; }))
        << "round " << round << ": the menu stayed open after a click elsewhere";
    ExpectStillHidden("after the menu closed");
  }

  HWND menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_NO_FATAL_FAILURE(Choose(menu, 0));
  ASSERT_TRUE(WaitUntil([&] { return Shown(); })) << "\"Expand Quellnet\" did not restore";
  EXPECT_TRUE(WaitUntil([&] { return InFront(); }));
  EXPECT_TRUE(program_.IsRunning());

  // Chosen while the window is shown, it keeps it shown and in front.
  menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_NO_FATAL_FAILURE(Choose(menu, 0));
  ASSERT_TRUE(WaitUntil([&] { return Menu() == nullptr; }));
  EXPECT_TRUE(Shown());
  EXPECT_TRUE(WaitUntil([&] { return InFront(); }));
}

TEST_F(TrayTest, CloseFromTheMenuWhileHiddenSavesTheOptionsAndLeavesNoIcon) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(program_.SelectPage(kPreferencesPage));
  ASSERT_TRUE(Click(Control(kIdChkStartup)));
  ASSERT_TRUE(WaitUntil([&] { return CheckState(Control(kIdChkStartup)) == BST_CHECKED; }));
  ASSERT_NO_FATAL_FAILURE(Minimise());
  HWND window = Main();

  HWND menu = OpenMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_NO_FATAL_FAILURE(Choose(menu, 1));
  DWORD exit_code = 1;
  ASSERT_TRUE(program_.WaitForExit(kDefaultTimeout, &exit_code))
      << "\"Close Quellnet\" did not end";
  EXPECT_EQ(exit_code, 0u);

  EXPECT_EQ(ReadOption(L"StartUp"), L"1");
  EXPECT_EQ(ReadOption(L"HideOnStart"), L"0");
  EXPECT_EQ(ReadOption(L"mess"), L"0");
  EXPECT_TRUE(UserValueExists(kRunKey, kRunValueName));
  EXPECT_TRUE(ShownIcons().empty());
  EXPECT_FALSE(IconExists(window));
}

TEST_F(TrayTest, StartedMinimisedItWaitsInTheTrayAndComesBackForGood) {
  StartOptions start;
  start.presets.push_back({kOptionsKey, L"HideOnStart", L"1"});
  ASSERT_NO_FATAL_FAILURE(StartProgram(start));
  ASSERT_TRUE(WaitUntil([&] { return Hidden(); })) << "the program did not start in the tray";
  ASSERT_TRUE(TheIcon().has_value());

  ASSERT_NO_FATAL_FAILURE(DoubleClickIcon());
  ASSERT_TRUE(WaitUntil([&] { return Shown(); }));
  // Repaints after the restore must not send it back.
  for (int i = 0; i < 3; ++i) {
    RedrawWindow(Main(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  Sleep(static_cast<DWORD>(kQuietPeriod.count()));
  EXPECT_TRUE(Shown());
}

TEST_F(TrayTest, ASecondStartBringsTheRunningOneBackAndEnds) {
  StartOptions start;
  start.presets.push_back({kOptionsKey, L"HideOnStart", L"1"});
  ASSERT_NO_FATAL_FAILURE(StartProgram(start));
  ASSERT_TRUE(WaitUntil([&] { return Hidden(); }));

  ProgramUnderTest second;
  StartOptions no_wait;
  no_wait.wait_for_window = false;
  ASSERT_TRUE(second.Start(no_wait)) << second.LastError();
  DWORD exit_code = 1;
  ASSERT_TRUE(second.WaitForExit(kDefaultTimeout, &exit_code)) << "the second start kept running";
  EXPECT_EQ(exit_code, 0u);

  ASSERT_TRUE(WaitUntil([&] { return Shown(); })) << "the running copy did not come back";
  EXPECT_TRUE(WaitUntil([&] { return InFront(); }));
  EXPECT_EQ(FindWindowExW(nullptr, Main(), kForm1ClassName, nullptr), nullptr);
  EXPECT_EQ(FindWindowW(kForm1ClassName, nullptr), Main());
  EXPECT_TRUE(TheIcon().has_value());
  // The second start stored nothing.
  EXPECT_EQ(ReadOption(L"HideOnStart"), L"1");
  EXPECT_FALSE(UserValueExists(kOptionsKey, L"StartUp"));
  EXPECT_FALSE(UserValueExists(kOptionsKey, L"mess"));
}

TEST_F(TrayTest, ARecreatedNotificationAreaGetsTheIconBack) {
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(TheIcon().has_value());
  // The area forgets the icon, as a restarted shell does, and announces
  // itself to every top-level window.
  ASSERT_TRUE(DeleteIcon(Main()));
  ASSERT_TRUE(ShownIcons().empty());
  const UINT taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
  ASSERT_NE(taskbar_created, 0u);
  ASSERT_TRUE(PostMessageW(HWND_BROADCAST, taskbar_created, 0, 0));

  ASSERT_TRUE(WaitUntil([&] { return IconExists(Main()); })) << "the icon did not come back";
  EXPECT_TRUE(TheIcon().has_value());
  ASSERT_NO_FATAL_FAILURE(Minimise());
  ASSERT_NO_FATAL_FAILURE(DoubleClickIcon());
  EXPECT_TRUE(WaitUntil([&] { return Shown(); }));
}

}  // namespace
}  // namespace quellnet::e2e
