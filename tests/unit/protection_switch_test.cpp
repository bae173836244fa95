#include "protection/protection_switch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fakes/fake_controls.h"
#include "fakes/fake_service_control.h"
#include "fakes/fake_system.h"

namespace quellnet::protection {
namespace {

using fakes::FakeServiceControl;
using platform::MessageIcon;
using platform::ServiceOutcome;
using platform::ServiceState;

constexpr wchar_t kGreen[] = L"C:\\Quellnet\\green.gif";
constexpr wchar_t kRed[] = L"C:\\Quellnet\\red.gif";

// The switch with its controls, wired as the window wires them.
struct Rig {
  Rig() {
    chkmess.on_click = [this] { protection.OnClick(); };
    services.states[L"Messenger"] = ServiceState::kRunning;
  }
  fakes::FakeCheckBox chkmess;
  fakes::FakeLabel Label2;
  fakes::FakePictureBox Picture1;
  fakes::FakeMainWindow window;
  FakeServiceControl services;
  fakes::FakeShell shell;
  ProtectionSwitch protection{chkmess, Label2, Picture1, window, services, shell};
};

// For every outcome of a stop (switch on) and a start (switch off): the
// display shows the state the service is really in afterwards, and a request
// that did not reach its state says why, captioned with the program's title.
// The box keeps the user's choice either way.
TEST(ProtectionSwitch, ShowsTheStateTheServiceIsInAfterEveryOutcome) {
  struct Case {
    bool turn_on;
    ServiceOutcome outcome;
    ServiceState after;
    bool shows_protected;
    std::optional<MessageIcon> icon;  // nullopt: no message
    const wchar_t* words;             // in the message
  };
  using O = ServiceOutcome;
  using S = ServiceState;
  const auto kWarn = MessageIcon::kWarning;
  const auto kInfo = MessageIcon::kInformation;
  const Case cases[] = {
      {true, O::kDone, S::kStopped, true, std::nullopt, L""},
      {true, O::kAlreadyInState, S::kStopped, true, std::nullopt, L""},
      {true, O::kNotInstalled, S::kNotInstalled, true, kInfo, L"not installed"},
      // Marked for deletion yet still running: shown as it is, not as missing.
      {true, O::kMarkedForDeletion, S::kRunning, false, kWarn, L"removed from Windows"},
      {true, O::kAccessDenied, S::kRunning, false, kWarn, L"administrator"},
      {true, O::kTimedOut, S::kPending, false, kWarn, L"30 seconds"},
      {true, O::kOtherError, S::kRunning, false, kWarn, L"The dependent services are running."},
      // Refused the start-type change, but the service had stopped anyway.
      {true, O::kAccessDenied, S::kStopped, true, std::nullopt, L""},
      {false, O::kDone, S::kRunning, false, std::nullopt, L""},
      {false, O::kAlreadyInState, S::kRunning, false, std::nullopt, L""},
      {false, O::kNotInstalled, S::kNotInstalled, true, kInfo, L"not installed"},
      {false, O::kMarkedForDeletion, S::kStopped, true, kInfo, L"can't be started"},
      {false, O::kAccessDenied, S::kStopped, true, kWarn, L"could not start"},
      {false, O::kTimedOut, S::kPending, false, kWarn, L"did not start"},
      {false, O::kOtherError, S::kStopped, true, kWarn, L"The dependent services are running."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << (c.turn_on ? "on, outcome " : "off, outcome ") << static_cast<int>(c.outcome)
                 << ", state " << static_cast<int>(c.after));
    Rig rig;
    rig.chkmess.on_click = nullptr;
    rig.chkmess.SetValue(c.turn_on ? 0 : 1);
    rig.chkmess.on_click = [&] { rig.protection.OnClick(); };
    bool cursor_during_call = false;
    rig.services.during_change = [&] { cursor_during_call = rig.window.busy; };
    const std::wstring system_message =
        c.outcome == O::kOtherError ? L"The dependent services are running." : L"";
    rig.services.next = FakeServiceControl::Scripted{{c.outcome, system_message}, c.after};

    rig.chkmess.UserClick();

    EXPECT_EQ(rig.chkmess.Value(), c.turn_on ? 1 : 0);
    ASSERT_FALSE(rig.services.calls.empty());
    EXPECT_EQ(rig.services.calls[0], c.turn_on ? L"Stop Messenger" : L"Start Messenger");
    EXPECT_TRUE(cursor_during_call);
    EXPECT_FALSE(rig.window.busy);
    EXPECT_EQ(rig.Picture1.picture, c.shows_protected ? kGreen : kRed);
    EXPECT_EQ(rig.Label2.caption, c.shows_protected ? L"PC Protected !" : L"PC Not Protected !");
    if (!c.icon) {
      EXPECT_TRUE(rig.window.messages.empty());
      continue;
    }
    ASSERT_EQ(rig.window.messages.size(), 1u);
    EXPECT_EQ(rig.window.messages[0].caption, L"Quellnet");
    EXPECT_EQ(rig.window.messages[0].icon, *c.icon);
    EXPECT_NE(rig.window.messages[0].text.find(c.words), std::wstring::npos)
        << testing::PrintToString(rig.window.messages[0].text);
  }
}

// A missing picture clears the box but the caption is still set; with the
// program's folder unknown, no picture is loaded from the current folder.
TEST(ProtectionSwitch, AMissingPictureOrProgramFolderClearsTheBoxButStillSetsTheCaption) {
  Rig rig;
  rig.chkmess.UserClick();
  ASSERT_EQ(rig.Picture1.picture, kGreen);
  rig.Picture1.missing = {kRed};
  rig.chkmess.UserClick();
  EXPECT_EQ(rig.Picture1.last_load, kRed);
  EXPECT_TRUE(rig.Picture1.picture.empty());
  EXPECT_EQ(rig.Label2.caption, L"PC Not Protected !");

  Rig unknown;
  unknown.shell.program_folder.clear();
  unknown.chkmess.UserClick();
  EXPECT_TRUE(unknown.Picture1.last_load.empty());
  EXPECT_TRUE(unknown.Picture1.picture.empty());
  EXPECT_EQ(unknown.Label2.caption, L"PC Protected !");
}

}  // namespace
}  // namespace quellnet::protection
