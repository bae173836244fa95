#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_controls.h"
#include "fakes/fake_service_control.h"
#include "fakes/fake_shell.h"
#include "protection/protection_switch.h"

namespace quellnet::protection {
namespace {

using fakes::FakeServiceControl;
using platform::MessageIcon;
using platform::ServiceOutcome;
using platform::ServiceState;

constexpr wchar_t kGreen[] = L"C:\\Quellnet\\green.gif";
constexpr wchar_t kRed[] = L"C:\\Quellnet\\red.gif";

class ProtectionSwitchTest : public testing::Test {
 protected:
  ProtectionSwitchTest() {
    chkmess.on_click = [this] { protection.OnClick(); };
    Picture1.readable_files = {kGreen, kRed};
    services.states[L"Messenger"] = ServiceState::kRunning;
  }

  void Script(ServiceOutcome outcome, ServiceState state_after, std::wstring message = {}) {
    services.next = FakeServiceControl::Scripted{{outcome, std::move(message)}, state_after};
  }

  fakes::FakeCheckBox chkmess;
  fakes::FakeLabel Label2;
  fakes::FakePictureBox Picture1;
  fakes::FakeMainWindow window;
  FakeServiceControl services;
  fakes::FakeShell shell;
  ProtectionSwitch protection{chkmess, Label2, Picture1, window, services, shell};
};

TEST_F(ProtectionSwitchTest, TurningOnStopsMessengerUnderTheWaitCursorAndShowsGreen) {
  bool cursor_during_call = false;
  services.during_change = [&] { cursor_during_call = window.wait_cursor; };
  chkmess.UserClick();

  ASSERT_EQ(services.calls.size(), 1u);
  EXPECT_EQ(services.calls[0].op, FakeServiceControl::Op::kStop);
  EXPECT_EQ(services.calls[0].service_name, L"Messenger");
  EXPECT_TRUE(cursor_during_call);
  EXPECT_FALSE(window.wait_cursor);
  EXPECT_EQ(services.StateOf(L"Messenger"), ServiceState::kStopped);
  EXPECT_EQ(Picture1.picture(), kGreen);
  EXPECT_EQ(Label2.Caption(), L"PC Protected !");
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(ProtectionSwitchTest, TurningOffStartsMessengerAndShowsRed) {
  services.states[L"Messenger"] = ServiceState::kStopped;
  chkmess.UserClick();  // on: already stopped, counts as done
  EXPECT_EQ(Label2.Caption(), L"PC Protected !");
  chkmess.UserClick();  // off

  ASSERT_EQ(services.calls.size(), 2u);
  EXPECT_EQ(services.calls[1].op, FakeServiceControl::Op::kStart);
  EXPECT_EQ(services.calls[1].service_name, L"Messenger");
  EXPECT_EQ(services.StateOf(L"Messenger"), ServiceState::kRunning);
  EXPECT_EQ(Picture1.picture(), kRed);
  EXPECT_EQ(Label2.Caption(), L"PC Not Protected !");
  EXPECT_TRUE(window.messages.empty());
}

// A failed request shows the state the service is really in afterwards, with
// one warning captioned with the program's title; the box keeps the choice.
TEST_F(ProtectionSwitchTest, AFailedStopShowsTheServiceStillRunningAndWarns) {
  struct Case {
    ServiceOutcome outcome;
    ServiceState state_after;
    const wchar_t* expected_words;
  };
  for (const Case& c :
       {Case{ServiceOutcome::kAccessDenied, ServiceState::kRunning, L"administrator"},
        Case{ServiceOutcome::kTimedOut, ServiceState::kPending, L"30 seconds"},
        Case{ServiceOutcome::kOtherError, ServiceState::kRunning,
             L"The dependent services are running."}}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.expected_words)));
    chkmess.SetValue(0);
    services.calls.clear();
    window.messages.clear();
    Label2.SetCaption(L"");
    Picture1.Clear();
    Script(c.outcome, c.state_after,
           c.outcome == ServiceOutcome::kOtherError ? c.expected_words : L"");

    chkmess.UserClick();

    EXPECT_EQ(chkmess.Value(), 1);
    ASSERT_EQ(services.calls.size(), 2u);  // the stop, then the question where it is
    EXPECT_EQ(services.calls[1].op, FakeServiceControl::Op::kQuery);
    EXPECT_EQ(Picture1.picture(), kRed);
    EXPECT_EQ(Label2.Caption(), L"PC Not Protected !");
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].caption, L"Quellnet");
    EXPECT_EQ(window.messages[0].icon, MessageIcon::kWarning);
    EXPECT_NE(window.messages[0].text.find(c.expected_words), std::wstring::npos)
        << testing::PrintToString(window.messages[0].text);
  }
}

TEST_F(ProtectionSwitchTest, AFailedStartShowsTheServiceStillStoppedAndWarns) {
  services.states[L"Messenger"] = ServiceState::kStopped;
  chkmess.SetValue(1);
  Script(ServiceOutcome::kAccessDenied, ServiceState::kStopped);
  chkmess.UserClick();

  EXPECT_EQ(chkmess.Value(), 0);
  EXPECT_EQ(Picture1.picture(), kGreen);
  EXPECT_EQ(Label2.Caption(), L"PC Protected !");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].icon, MessageIcon::kWarning);
  EXPECT_NE(window.messages[0].text.find(L"start"), std::wstring::npos);
}

TEST_F(ProtectionSwitchTest, AFailureThatStillReachedTheStateShowsNoMessage) {
  // Refused the start-type change, but the service had stopped anyway.
  Script(ServiceOutcome::kAccessDenied, ServiceState::kStopped);
  chkmess.UserClick();
  EXPECT_EQ(Label2.Caption(), L"PC Protected !");
  EXPECT_EQ(Picture1.picture(), kGreen);
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(ProtectionSwitchTest, NoMessengerInstalledCountsAsProtected) {
  services.states.clear();
  chkmess.UserClick();  // on
  EXPECT_EQ(Picture1.picture(), kGreen);
  EXPECT_EQ(Label2.Caption(), L"PC Protected !");
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(window.messages[0].caption, L"Quellnet");
  EXPECT_NE(window.messages[0].text.find(L"not installed"), std::wstring::npos);

  chkmess.UserClick();  // off: it can't be started
  EXPECT_EQ(Picture1.picture(), kGreen);
  EXPECT_EQ(Label2.Caption(), L"PC Protected !");
  ASSERT_EQ(window.messages.size(), 2u);
  EXPECT_EQ(window.messages[1].icon, MessageIcon::kWarning);
}

TEST_F(ProtectionSwitchTest, DuringTheRestoreFailuresShowOnlyTheTruthfulStatus) {
  Script(ServiceOutcome::kAccessDenied, ServiceState::kRunning);
  {
    ProtectionSwitch::RestoreScope restoring(protection);
    chkmess.SetValue(1);
  }
  EXPECT_EQ(Label2.Caption(), L"PC Not Protected !");
  EXPECT_EQ(Picture1.picture(), kRed);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_FALSE(protection.IsProtected());

  // After the restore the user's own clicks report again.
  chkmess.UserClick();
  Script(ServiceOutcome::kTimedOut, ServiceState::kPending);
  chkmess.UserClick();
  EXPECT_EQ(window.messages.size(), 1u);
}

TEST_F(ProtectionSwitchTest, AMissingPictureClearsTheBoxButStillSetsTheCaption) {
  chkmess.UserClick();
  ASSERT_EQ(Picture1.picture(), kGreen);
  Picture1.readable_files = {kGreen};  // red.gif is gone
  chkmess.UserClick();
  EXPECT_EQ(Picture1.load_attempts.back(), kRed);
  EXPECT_FALSE(Picture1.HasPicture());
  EXPECT_EQ(Label2.Caption(), L"PC Not Protected !");
}

TEST_F(ProtectionSwitchTest, AnUnknownProgramFolderLoadsNoPictureFromTheCurrentFolder) {
  shell.program_folder.clear();
  Picture1.readable_files = {L"green.gif", L"\\green.gif"};
  chkmess.UserClick();
  EXPECT_TRUE(Picture1.load_attempts.empty());
  EXPECT_FALSE(Picture1.HasPicture());
  EXPECT_EQ(Label2.Caption(), L"PC Protected !");
}

TEST_F(ProtectionSwitchTest, IsProtectedAsksTheServiceUntilTheSwitchHasRun) {
  services.states[L"Messenger"] = ServiceState::kStopped;
  EXPECT_TRUE(protection.IsProtected());
  services.states[L"Messenger"] = ServiceState::kPending;
  EXPECT_FALSE(protection.IsProtected());
  services.states.clear();
  EXPECT_TRUE(protection.IsProtected());
}

TEST(StatusPicturePath, JoinsWithExactlyOneSeparator) {
  EXPECT_EQ(StatusPicturePath(L"C:\\Program Files\\Quellnet", L"green.gif"),
            L"C:\\Program Files\\Quellnet\\green.gif");
  EXPECT_EQ(StatusPicturePath(L"C:\\", L"red.gif"), L"C:\\red.gif");
  EXPECT_EQ(StatusPicturePath(L"\\\\server\\share\\", L"red.gif"), L"\\\\server\\share\\red.gif");
}

}  // namespace
}  // namespace quellnet::protection
