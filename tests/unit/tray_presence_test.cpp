#include "tray/tray_presence.h"

#include <gtest/gtest.h>

#include "fakes/fake_controls.h"
#include "fakes/fake_system.h"

namespace quellnet::tray {
namespace {

using platform::WindowState;

// The window and notification area wired as the program wires them: a state
// change raises the resize notification, which the tray handles.
struct Rig {
  Rig() {
    window.on_resize = [this] { tray.OnResize(); };
  }
  bool Hidden() const { return !window.visible && window.State() == WindowState::kMinimized; }

  fakes::FakeMainWindow window;
  fakes::FakeTrayIcon area;
  TrayPresence tray{window, area};
};

TEST(TrayPresence, OnlyTheDoubleClickRestoresAndTheRightButtonReleaseOpensTheMenu) {
  Rig rig;
  rig.tray.AddIcon();
  rig.window.SetState(WindowState::kMinimized);
  ASSERT_TRUE(rig.Hidden());
  // No message, mouse move, left down and up, right down, right double-click,
  // middle button down.
  for (std::uint32_t code : {0x000u, 0x200u, 0x201u, 0x202u, 0x204u, 0x206u, 0x209u}) {
    rig.tray.OnNotify(code);
    EXPECT_TRUE(rig.Hidden()) << "code " << code;
    EXPECT_EQ(rig.window.foreground_requests, 0) << "code " << code;
    EXPECT_EQ(rig.window.foreground_requests_before_popup, -1) << "code " << code;
  }

  // The menu must belong to the foreground window, or it stays open when the
  // user clicks elsewhere; it leaves the window where it is.
  rig.tray.OnNotify(kRightButtonUp);
  EXPECT_EQ(rig.window.foreground_requests_before_popup, 1);
  EXPECT_TRUE(rig.Hidden());

  rig.window.foreground_granted = false;
  rig.tray.OnNotify(kLeftButtonDoubleClick);
  EXPECT_TRUE(rig.window.visible);
  EXPECT_EQ(rig.window.State(), WindowState::kNormal);
  EXPECT_EQ(rig.window.foreground_requests, 2);
  EXPECT_TRUE(rig.area.present);
}

// Hiding is safe only while the icon is there: without one the user would
// have no way back, so the window stays minimised on the taskbar, also when
// the icon was added at start-up but is missing now (Explorer restarting).
TEST(TrayPresence, MinimisingHidesOnlyWhileTheIconIsThere) {
  for (const auto& [area_at_start, area_at_minimise] :
       {std::pair{false, false}, {false, true}, {true, false}, {true, true}}) {
    SCOPED_TRACE(testing::Message() << area_at_start << area_at_minimise);
    Rig rig;
    rig.area.area_available = area_at_start;
    rig.tray.AddIcon();
    rig.area.area_available = area_at_minimise;
    rig.window.SetState(WindowState::kMinimized);
    EXPECT_EQ(rig.window.visible, !area_at_minimise);
    EXPECT_EQ(rig.window.State(), WindowState::kMinimized);
  }
}

}  // namespace
}  // namespace quellnet::tray
