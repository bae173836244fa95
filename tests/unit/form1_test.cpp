// The main window's handlers, with the window wired as the program wires it:
// start-up, first paint and shutdown, the protection switch and the tray icon.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/run_at_startup.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_service_control.h"
#include "fakes/fake_system.h"

namespace quellnet::app {
namespace {

using fakes::FakeServiceControl;
using platform::MessageIcon;
using platform::ServiceOutcome;
using platform::ServiceState;
using platform::UnloadReason;
using platform::WindowState;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kOptionsKey[] = L"Software\\Quellnet\\Options";
constexpr wchar_t kGreen[] = L"C:\\Quellnet\\green.gif";
constexpr wchar_t kRed[] = L"C:\\Quellnet\\red.gif";

class Form1Test : public testing::Test {
 protected:
  Form1Test() {
    chkmess.on_click = [this] { form.chkmess_Click(); };
    window.on_resize = [this] { form.Form_Resize(); };
    services.states[L"Messenger"] = ServiceState::kRunning;
    registry.AddKey(kRunKey);
  }

  void Store(const std::wstring& key, const std::wstring& text) {
    registry.Put(kOptionsKey, key, text);
  }
  std::optional<std::wstring> Stored(const std::wstring& key) const {
    const auto* value = registry.Find(kOptionsKey, key);
    return value ? std::optional(value->text) : std::nullopt;
  }
  const fakes::FakeRegistry::Value* RunEntry() const { return registry.Find(kRunKey, L"Quellnet"); }
  bool Hidden() const { return !window.visible && window.State() == WindowState::kMinimized; }

  fakes::FakeMainWindow window;
  fakes::FakeCheckBox chkmess;
  fakes::FakeCheckBox chkStartup;
  fakes::FakeCheckBox chkHideOnStart;
  fakes::FakeLabel Label2;
  fakes::FakeTextBox Text1;
  fakes::FakePictureBox Picture1;
  fakes::FakeRegistry registry;
  FakeServiceControl services;
  fakes::FakeFileSystem files;
  fakes::FakeShell shell;
  fakes::FakeNetwork network;
  fakes::FakeTrayIcon tray_icon;
  Form1 form{{window, chkmess, chkStartup, chkHideOnStart, Label2, Text1, Picture1},
             {registry, services, files, shell, network, tray_icon}};
};

// Each stored option goes to its box (the forms the text may take are
// ParseOptionText's); the protection switch runs once for a value it takes,
// and the caption tells what it found.
TEST_F(Form1Test, RestoreSetsEachBoxFromItsStoredOption) {
  struct Case {
    const wchar_t* text;  // nullptr: absent; L"\x1234": not text
    int expected;
  };
  const wchar_t* const kCaptions[] = {L"", L"PC Protected !", L"PC Not Protected !"};
  for (const Case& c :
       {Case{nullptr, 0}, Case{L"1", 1}, Case{L"2", 2}, Case{L"7", 0}, Case{L"\x1234", 0}}) {
    SCOPED_TRACE(c.text == nullptr ? "absent" : testing::PrintToString(std::wstring(c.text)));
    registry.keys.clear();
    for (const wchar_t* key : {L"StartUp", L"HideOnStart", L"mess"}) {
      if (c.text != nullptr) {
        registry.Put(kOptionsKey, key, c.text, c.text != std::wstring(L"\x1234"));
      }
    }
    chkStartup.value = chkHideOnStart.value = chkmess.value = 0;
    Label2.caption.clear();
    Text1.text.clear();
    services.calls.clear();
    form.Form_Load();

    EXPECT_EQ(chkStartup.Value(), c.expected);
    EXPECT_EQ(chkHideOnStart.Value(), c.expected);
    EXPECT_EQ(chkmess.Value(), c.expected);
    EXPECT_EQ(services.calls.size(), c.expected == 0 ? 0u : 1u);
    EXPECT_EQ(Label2.caption, kCaptions[c.expected]);
    EXPECT_EQ(Text1.text, L"192.168.1.20");  // the later steps still ran
  }
}

TEST_F(Form1Test, AStopThatFailsAtStartUpShowsNotProtectedSilentlyAndGoesOn) {
  Store(L"mess", L"1");
  services.next =
      FakeServiceControl::Scripted{{ServiceOutcome::kAccessDenied, {}}, ServiceState::kRunning};
  form.Form_Load();
  EXPECT_EQ(chkmess.Value(), 1);  // the choice is kept and saved again
  EXPECT_EQ(Label2.caption, L"PC Not Protected !");
  EXPECT_EQ(Picture1.picture, kRed);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(Text1.text, L"192.168.1.20");

  // A later click of the user's own does report.
  chkmess.UserClick();
  services.next =
      FakeServiceControl::Scripted{{ServiceOutcome::kAccessDenied, {}}, ServiceState::kRunning};
  chkmess.UserClick();
  EXPECT_EQ(window.messages.size(), 1u);
}

TEST_F(Form1Test, StoredRunMinimisedMinimisesAtTheFirstPaintOnly) {
  Store(L"HideOnStart", L"01");
  form.Form_Load();
  EXPECT_EQ(window.State(), WindowState::kNormal);
  form.Form_Paint();
  EXPECT_TRUE(Hidden());  // minimised, and so hidden to the tray

  window.SetState(WindowState::kNormal);  // restored from the tray
  form.Form_Paint();
  EXPECT_EQ(window.State(), WindowState::kNormal);
}

// Each option is saved as its box shows it; "Run at Startup" 1 or 2 writes
// the Run entry, 0 removes it.
TEST_F(Form1Test, UnloadSavesEveryOptionAndWritesOrRemovesTheRunEntry) {
  for (const wchar_t* text : {L"0", L"1", L"2"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
    registry.Put(kRunKey, L"Quellnet", L"\"C:\\old\\quellnet.exe\"");
    for (const wchar_t* key : {L"StartUp", L"HideOnStart", L"mess"}) {
      Store(key, text);
    }
    form.Form_Load();
    form.Form_Unload(UnloadReason::kClose);
    for (const wchar_t* key : {L"StartUp", L"HideOnStart", L"mess"}) {
      EXPECT_EQ(Stored(key), text);
    }
    EXPECT_EQ(RunEntry() ? RunEntry()->text : L"",
              text == std::wstring(L"0") ? L"" : L"\"C:\\Quellnet\\quellnet.exe\"");
  }
}

// Each write stands on its own and a failed one does not stop the shutdown;
// whatever was not saved is told once, in one box at close that names it,
// and not at all while the session ends.
TEST_F(Form1Test, AFailedSaveIsToldOnceAtCloseOnlyAndTheShutdownGoesOn) {
  form.Form_Load();
  chkStartup.SetValue(1);
  registry.FailOn(fakes::FakeRegistry::Op::kCreateKey, kOptionsKey,
                  platform::RegStatus::kAccessDenied);
  form.Form_Unload(UnloadReason::kSessionEnd);
  EXPECT_EQ(Stored(L"StartUp"), std::nullopt);
  EXPECT_NE(RunEntry(), nullptr);
  EXPECT_TRUE(window.messages.empty());

  registry.FailOn(fakes::FakeRegistry::Op::kSet, kRunKey, platform::RegStatus::kAccessDenied);
  registry.FailOn(fakes::FakeRegistry::Op::kDeleteValue, kRunKey,
                  platform::RegStatus::kAccessDenied);
  form.Form_Unload(UnloadReason::kClose);
  ASSERT_EQ(window.messages.size(), 1u);
  const std::wstring& text = window.messages[0].text;
  EXPECT_EQ(window.messages[0].caption, L"Quellnet");
  EXPECT_EQ(window.messages[0].icon, platform::MessageIcon::kWarning);
  for (const wchar_t* named :
       {L"\"Run at Startup\"", L"\"Run Minimized\"", L"\"Enable Protection Now !\"", L"log on"}) {
    EXPECT_NE(text.find(named), std::wstring::npos) << testing::PrintToString(text);
  }

  // An entry that stays because it could not be removed is told as such.
  chkStartup.SetValue(0);
  form.Form_Unload(UnloadReason::kClose);
  ASSERT_EQ(window.messages.size(), 2u);
  EXPECT_NE(window.messages[1].text.find(L"will still start"), std::wstring::npos);
}

// Only the program's own Run entry is written or removed, and only under a
// Run key that is there.
TEST_F(Form1Test, SetRunAtStartupTouchesOnlyTheProgramsOwnEntry) {
  registry.Put(kRunKey, L"Other", L"\"C:\\other.exe\"");
  registry.Put(kRunKey, L"Quellnet", L"\"C:\\old\\quellnet.exe\"");
  // An unknown path would make a broken entry: the old one stays, and the
  // caller hears that the entry was not written.
  shell.executable_path.clear();
  EXPECT_FALSE(SetRunAtStartup(true, registry, shell));
  EXPECT_EQ(RunEntry()->text, L"\"C:\\old\\quellnet.exe\"");

  // Removing an entry that is not there is no failure.
  EXPECT_TRUE(SetRunAtStartup(false, registry, shell));
  EXPECT_TRUE(SetRunAtStartup(false, registry, shell));
  EXPECT_EQ(RunEntry(), nullptr);
  EXPECT_NE(registry.Find(kRunKey, L"Other"), nullptr);

  registry.keys.clear();
  shell.executable_path = L"C:\\Quellnet\\quellnet.exe";
  EXPECT_FALSE(SetRunAtStartup(true, registry, shell));
  EXPECT_FALSE(registry.KeyExists(kRunKey));
}

// The web link opens the page that the build names, not one fixed in code.
TEST_F(Form1Test, TheWebLinkOpensThePageTheBuildNames) {
  const std::string expected = QUELLNET_EXPECTED_WEB_ADDRESS;
  form.Label3_Click();
  EXPECT_EQ(shell.opened,
            std::vector<std::wstring>{std::wstring(expected.begin(), expected.end())});
}

// For every outcome of a stop (switch on) and a start (switch off): the
// display shows the state the service is really in afterwards, and a request
// that did not reach its state says why, captioned with the program's title.
// The box keeps the user's choice either way.
TEST_F(Form1Test, TheSwitchShowsTheStateTheServiceIsInAfterEveryOutcome) {
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
      {false, O::kNotInstalled, S::kNotInstalled, true, kInfo, L"not installed"},
      {false, O::kMarkedForDeletion, S::kStopped, true, kInfo, L"can't be started"},
      {false, O::kAccessDenied, S::kStopped, true, kWarn, L"could not start"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << (c.turn_on ? "on, outcome " : "off, outcome ") << static_cast<int>(c.outcome)
                 << ", state " << static_cast<int>(c.after));
    chkmess.value = c.turn_on ? 0 : 1;  // set without a click
    window.messages.clear();
    services.calls.clear();
    bool busy_during_call = false;
    services.during_change = [&] { busy_during_call = window.busy; };
    const std::wstring system_message =
        c.outcome == O::kOtherError ? L"The dependent services are running." : L"";
    services.next = FakeServiceControl::Scripted{{c.outcome, system_message}, c.after};

    chkmess.UserClick();

    EXPECT_EQ(chkmess.Value(), c.turn_on ? 1 : 0);
    EXPECT_EQ(services.calls.at(0), c.turn_on ? L"Stop Messenger" : L"Start Messenger");
    EXPECT_TRUE(busy_during_call);
    EXPECT_FALSE(window.busy);
    EXPECT_EQ(Picture1.picture, c.shows_protected ? kGreen : kRed);
    EXPECT_EQ(Label2.caption, c.shows_protected ? L"PC Protected !" : L"PC Not Protected !");
    ASSERT_EQ(window.messages.size(), c.icon ? 1u : 0u);
    if (c.icon) {
      EXPECT_EQ(window.messages[0].caption, L"Quellnet");
      EXPECT_EQ(window.messages[0].icon, *c.icon);
      EXPECT_NE(window.messages[0].text.find(c.words), std::wstring::npos)
          << testing::PrintToString(window.messages[0].text);
    }
  }
}

// Without its picture the box shows nothing rather than a stale status, and
// with the program's folder unknown no picture is loaded from the current
// folder; the caption is set all the same.
TEST_F(Form1Test, AMissingPictureOrProgramFolderClearsTheBoxButStillSetsTheCaption) {
  chkmess.UserClick();
  ASSERT_EQ(Picture1.picture, kGreen);
  Picture1.missing = {kRed};
  chkmess.UserClick();
  EXPECT_TRUE(Picture1.picture.empty());
  EXPECT_EQ(Label2.caption, L"PC Not Protected !");

  Picture1.missing.clear();
  chkmess.UserClick();
  ASSERT_EQ(Picture1.picture, kGreen);
  shell.program_folder.clear();
  chkmess.UserClick();
  EXPECT_TRUE(Picture1.picture.empty());
  EXPECT_EQ(Label2.caption, L"PC Not Protected !");
}

TEST_F(Form1Test, OnlyTheDoubleClickRestoresFromTheTrayAndTheRightButtonReleaseOpensTheMenu) {
  form.Form_Load();
  window.SetState(WindowState::kMinimized);
  ASSERT_TRUE(Hidden());
  // No message, mouse move, left down and up, right down, right double-click,
  // middle button down.
  for (std::uint32_t code : {0x000u, 0x200u, 0x201u, 0x202u, 0x204u, 0x206u, 0x209u}) {
    form.TrayIcon_Notify(code);
    EXPECT_TRUE(Hidden()) << "code " << code;
    EXPECT_EQ(window.foreground_requests_before_popup, -1) << "code " << code;
  }

  // The menu must belong to the foreground window, or it stays open when the
  // user clicks elsewhere; it leaves the window where it is.
  form.TrayIcon_Notify(tray::kRightButtonUp);
  EXPECT_EQ(window.foreground_requests_before_popup, 1);
  EXPECT_TRUE(Hidden());

  // The fake window is always refused the foreground: it comes back anyway.
  form.TrayIcon_Notify(tray::kLeftButtonDoubleClick);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.State(), WindowState::kNormal);
  EXPECT_EQ(window.foreground_requests, 2);
  EXPECT_TRUE(tray_icon.present);
}

// Hiding is safe only while the icon is there: without one the user would
// have no way back, so the window stays minimised on the taskbar, also when
// the icon was added at start-up but is missing now (Explorer restarting).
TEST_F(Form1Test, MinimisingHidesToTheTrayOnlyWhileTheIconIsThere) {
  for (const bool area_at_minimise : {false, true}) {
    SCOPED_TRACE(area_at_minimise);
    tray_icon.area_available = !area_at_minimise;
    form.Form_Load();
    tray_icon.area_available = area_at_minimise;
    window.SetState(WindowState::kMinimized);
    EXPECT_EQ(window.visible, !area_at_minimise);
    EXPECT_EQ(window.State(), WindowState::kMinimized);
    window.SetState(WindowState::kNormal);
  }
}

}  // namespace
}  // namespace quellnet::app
