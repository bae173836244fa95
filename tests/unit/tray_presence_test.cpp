#include "tray/tray_presence.h"

#include <gtest/gtest.h>

#include "fakes/fake_controls.h"
#include "fakes/fake_tray_icon.h"

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

  bool Hidden() const { return !window.visible && window.State() == WindowState::kMinimized; }

  fakes::FakeMainWindow window;
  fakes::FakeTrayIcon area;
  TrayPresence tray{window, area};
};

TEST_F(TrayPresenceTest, OnlyTheDoubleClickRestoresAndTheRightButtonReleaseOpensTheMenu) {
  tray.AddIcon();
  window.SetState(WindowState::kMinimized);
  ASSERT_TRUE(Hidden());
  // No message, mouse move, left down and up, right down, right double-click,
  // middle button down.
  for (std::uint32_t code : {0x000u, 0x200u, 0x201u, 0x202u, 0x204u, 0x206u, 0x209u}) {
    tray.OnNotify(code);
    EXPECT_TRUE(Hidden()) << "code " << code;
    EXPECT_EQ(window.foreground_requests, 0) << "code " << code;
    EXPECT_EQ(window.menu_popups, 0) << "code " << code;
  }

  // The menu must belong to the foreground window, or it stays open when the
  // user clicks elsewhere; it leaves the window where it is.
  tray.OnNotify(kRightButtonUp);
  EXPECT_EQ(window.menu_popups, 1);
  EXPECT_EQ(window.foreground_requests_before_popup, 1);
  EXPECT_TRUE(Hidden());

  window.foreground_granted = false;
  tray.OnNotify(kLeftButtonDoubleClick);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.State(), WindowState::kNormal);
  EXPECT_EQ(window.foreground_requests, 2);
  EXPECT_EQ(window.menu_popups, 1);
  EXPECT_TRUE(area.present);
}

TEST_F(TrayPresenceTest, MinimiseRestoreMinimiseKeepsOneIconAndNeverRemovesIt) {
  tray.AddIcon();
  window.SetState(WindowState::kMinimized);
  tray.Restore();
  EXPECT_TRUE(window.visible);
  // The resize that the restore itself raises must not send it back.
  EXPECT_EQ(window.State(), WindowState::kNormal);

  window.SetState(WindowState::kMinimized);
  EXPECT_TRUE(Hidden());
  EXPECT_TRUE(area.present);
  EXPECT_EQ(area.remove_requests, 0);
}

// Hiding is safe only while the icon is there: without one the user would
// have no way back, so the window stays minimised on the taskbar, also when
// the icon was added at start-up but is missing now (Explorer restarting).
TEST_F(TrayPresenceTest, MinimisingHidesOnlyWhileTheIconIsThere) {
  struct Case {
    bool area_at_start;
    bool area_at_minimise;
  };
  for (const Case& c : {Case{false, false}, Case{false, true}, Case{true, false}}) {
    SCOPED_TRACE(testing::Message() << c.area_at_start << c.area_at_minimise);
    fakes::FakeMainWindow fresh_window;
    fakes::FakeTrayIcon fresh_area;
    TrayPresence fresh(fresh_window, fresh_area);
    fresh_window.on_resize = [&] { fresh.OnResize(); };
    fresh_area.area_available = c.area_at_start;
    fresh.AddIcon();
    fresh_area.area_available = c.area_at_minimise;
    fresh_window.SetState(WindowState::kMinimized);
    EXPECT_EQ(fresh_window.visible, !c.area_at_minimise);
    EXPECT_EQ(fresh_window.State(), WindowState::kMinimized);
  }
}

}  // namespace
}  // namespace quellnet::tray
