#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_controls.h"
#include "fakes/fake_tray_icon.h"
#include "tray/tray_presence.h"

namespace quellnet::tray {
namespace {

using platform::WindowState;

// The window and notification area wired as the program wires them: a state
// change raises the resize notification, which the tray handles.
class TrayPresenceTest : public ::testing::Test {
 protected:
  TrayPresenceTest() {
    window.on_resize = [this] { tray.OnResize(); };
  }

  void StartAndMinimise() {
    tray.AddIcon();
    window.SetState(WindowState::kMinimized);
  }

  fakes::FakeMainWindow window;
  fakes::FakeTrayIcon area;
  TrayPresence tray{window, area};
};

TEST_F(TrayPresenceTest, MinimisingHidesTheWindowAndKeepsTheIcon) {
  StartAndMinimise();
  EXPECT_FALSE(window.IsVisible());
  EXPECT_EQ(window.State(), WindowState::kMinimized);
  EXPECT_TRUE(area.present());
}

TEST_F(TrayPresenceTest, OnlyTheDoubleClickRestoresAHiddenWindow) {
  StartAndMinimise();
  for (std::uint32_t code : {0u, kMouseMove, kLeftButtonDown, kLeftButtonUp, kRightButtonDown,
                             0x206u, 0x207u, 0x208u, 0x209u, 0x20Au, 0x1234u}) {
    tray.OnNotify(code);
    EXPECT_FALSE(window.IsVisible()) << "code " << code;
    EXPECT_EQ(window.State(), WindowState::kMinimized) << "code " << code;
    EXPECT_EQ(window.foreground_requests, 0) << "code " << code;
    EXPECT_EQ(window.menu_popups, 0) << "code " << code;
  }

  tray.OnNotify(kLeftButtonDoubleClick);
  EXPECT_TRUE(window.IsVisible());
  EXPECT_EQ(window.State(), WindowState::kNormal);
  EXPECT_EQ(window.foreground_requests, 1);
  EXPECT_EQ(window.menu_popups, 0);
  EXPECT_TRUE(area.present());
}

TEST_F(TrayPresenceTest, RightButtonReleaseOpensTheMenuInBothStatesWithoutRestoring) {
  tray.AddIcon();
  tray.OnNotify(kRightButtonUp);
  EXPECT_EQ(window.menu_popups, 1);
  EXPECT_EQ(window.foreground_requests, 1);

  window.SetState(WindowState::kMinimized);
  tray.OnNotify(kRightButtonUp);
  EXPECT_EQ(window.menu_popups, 2);
  EXPECT_EQ(window.foreground_requests, 2);
  EXPECT_FALSE(window.IsVisible());
  EXPECT_EQ(window.State(), WindowState::kMinimized);
}

TEST_F(TrayPresenceTest, MinimiseRestoreMinimiseKeepsOneIconAndNeverRemovesIt) {
  StartAndMinimise();
  tray.Restore();
  EXPECT_TRUE(window.IsVisible());
  EXPECT_EQ(window.State(), WindowState::kNormal);
  // The resize that the restore itself raises must not send it back.
  EXPECT_EQ(area.add_requests, 2);

  window.SetState(WindowState::kMinimized);
  EXPECT_FALSE(window.IsVisible());
  EXPECT_TRUE(area.present());
  EXPECT_EQ(area.add_requests, 3);
  EXPECT_EQ(area.remove_requests, 0);
}

TEST_F(TrayPresenceTest, WithoutAnyIconEverMinimisingLeavesTheWindowOnTheTaskbar) {
  area.area_available = false;
  StartAndMinimise();
  EXPECT_FALSE(tray.IconEverAdded());
  EXPECT_EQ(area.add_requests, 2);  // start-up and the retry at minimise
  EXPECT_TRUE(window.IsVisible());
  EXPECT_EQ(window.State(), WindowState::kMinimized);
}

TEST_F(TrayPresenceTest, AFailedStartUpAddIsRetriedAtMinimise) {
  area.area_available = false;
  tray.AddIcon();
  area.area_available = true;
  window.SetState(WindowState::kMinimized);
  EXPECT_TRUE(area.present());
  EXPECT_FALSE(window.IsVisible());
}

TEST_F(TrayPresenceTest, AFailedAddAtMinimiseStillHidesOnceAnIconWasShown) {
  tray.AddIcon();
  area.area_available = false;
  window.SetState(WindowState::kMinimized);
  EXPECT_FALSE(window.IsVisible());
}

TEST_F(TrayPresenceTest, ARecreatedAreaGetsTheIconBack) {
  area.area_available = false;
  tray.AddIcon();
  area.Recreate();
  tray.OnAreaRecreated();
  EXPECT_TRUE(area.present());
  EXPECT_TRUE(tray.IconEverAdded());
  window.SetState(WindowState::kMinimized);
  EXPECT_FALSE(window.IsVisible());

  // The shell restarts again while the window is hidden: the icon, the only
  // way back, returns.
  area.Recreate();
  EXPECT_FALSE(area.present());
  tray.OnAreaRecreated();
  EXPECT_TRUE(area.present());
  EXPECT_FALSE(window.IsVisible());
}

// The order matters on Windows: a menu opened before its window is in the
// foreground does not close when the user clicks elsewhere.
class CallLogWindow final : public platform::MainWindow {
 public:
  WindowState State() const override { return state_; }
  void SetState(WindowState state) override {
    state_ = state;
    calls.push_back(state == WindowState::kNormal ? "SetState(normal)" : "SetState(minimised)");
  }
  bool IsVisible() const override { return true; }
  void Show() override { calls.push_back("Show"); }
  void Hide() override { calls.push_back("Hide"); }
  void Unload() override { calls.push_back("Unload"); }
  bool SetForeground() override {
    calls.push_back("SetForeground");
    return false;  // Windows may refuse; nothing may depend on it
  }
  void PopupTrayMenu() override { calls.push_back("PopupTrayMenu"); }
  void SetWaitCursor(bool) override {}
  void ShowMessage(std::wstring_view, std::wstring_view, platform::MessageIcon) override {}

  std::vector<std::string> calls;

 private:
  WindowState state_ = WindowState::kMinimized;
};

TEST(TrayPresenceOrder, MenuOpensAfterForegroundAndRestoreShowsEvenWhenForegroundIsRefused) {
  CallLogWindow window;
  fakes::FakeTrayIcon area;
  TrayPresence tray(window, area);

  tray.OnNotify(kRightButtonUp);
  EXPECT_EQ(window.calls, (std::vector<std::string>{"SetForeground", "PopupTrayMenu"}));

  window.calls.clear();
  tray.OnNotify(kLeftButtonDoubleClick);
  EXPECT_EQ(window.calls, (std::vector<std::string>{"SetState(normal)", "SetForeground", "Show"}));
}

}  // namespace
}  // namespace quellnet::tray
