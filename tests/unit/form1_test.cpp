// The main window's handlers, with the window wired as the program wires it:
// start-up, first paint and shutdown, the protection switch and the tray icon.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_service_control.h"
#include "fakes/fake_system.h"
#include "tools/table.h"

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
    registry.AddKey(kRunKey);
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

// Each stored option goes to its box (data/restored_options.tsv; the forms
// the text may take are ParseOptionText's, and a number that a user or a
// tool stored is read as its number); the protection switch runs once for a
// value it takes, and the caption tells what it found. An absent option reads as 0, and clears the
// caption the switch set before; so does one behind a registry link, which
// is never followed. A stored option that can't be used leaves its box off
// and is told once, at start-up, not again at the paint that reads "Run
// Minimized" once more. The icon is in the notification area before the
// options are restored: a stored protection that runs the switch finds it.
TEST_F(Form1Test, RestoreSetsEachBoxFromItsStoredOption) {
  const wchar_t* const kCaptions[] = {L"", L"PC Protected !", L"PC Not Protected !"};
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/restored_options.tsv")) {
    SCOPED_TRACE(row[0] + " " + row[1]);
    const std::string& as = row[0];
    registry.keys.clear();
    registry.links = {as == "linked" ? L"Software\\Quellnet" : L""};
    registry.failing.clear();
    for (const wchar_t* key : {L"StartUp", L"HideOnStart", L"mess"}) {
      as == "number"   ? registry.PutNumber(kOptionsKey, key, std::stoull(row[1]))
      : as != "absent" ? registry.Put(kOptionsKey, key, tools::Wide(row[1]), as != "other")
                       : void();
    }
    if (as == "denied") {
      registry.failing[kOptionsKey] = {platform::RegStatus::kAccessDenied, 5};
    }
    const int expected = row[2] == "told" ? -1 : std::stoi(row[2]);
    chkStartup.value = chkHideOnStart.value = chkmess.value = 0;
    services.calls.clear();
    window.messages.clear();
    tray_icon.present = false;
    services.during_change = [&] { EXPECT_TRUE(tray_icon.present) << "icon after the switch"; };
    form.Form_Load();

    const int shown = std::max(expected, 0);  // -1: can't be used, and told
    EXPECT_EQ(chkStartup.Value(), shown);
    EXPECT_EQ(chkHideOnStart.Value(), shown);
    EXPECT_EQ(chkmess.Value(), shown);
    // The first paint goes by the stored "Run Minimized" (1 only), not by the
    // box, which the user may have changed by then; later paints leave the
    // window where the user put it.
    chkHideOnStart.value = 1 - std::min(shown, 1);
    form.Form_Paint();
    EXPECT_EQ(Hidden(), expected == 1);
    window.SetState(WindowState::kNormal);
    form.Form_Paint();
    EXPECT_EQ(window.State(), WindowState::kNormal);
    EXPECT_EQ(services.calls.size(), shown == 0 ? 0u : 1u);
    EXPECT_EQ(Label2.caption, kCaptions[shown]);
    EXPECT_EQ(window.messages.size(), expected < 0 ? 1u : 0u);  // naming each: see below
  }
}

// A user's click on the switch does report it, and may offer Retry: see
// the switch's outcomes.
TEST_F(Form1Test, AStopThatFailsAtStartUpIsSilent) {
  registry.Put(kOptionsKey, L"mess", L"1");
  services.next = {{ServiceOutcome::kAccessDenied, {}}, ServiceState::kRunning};
  form.Form_Load();
  EXPECT_EQ(chkmess.Value(), 1);  // the choice is kept and saved again
  EXPECT_EQ(Label2.caption, L"PC Not Protected !");
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(Text1.text, L"192.168.1.20");  // the later steps still ran
}

// Each option is saved as its box shows it; "Run at Startup" 1 or 2 writes
// the program's own Run entry over an old one, 0 removes it (a second time
// too: a missing entry is no failure), and other entries stay.
TEST_F(Form1Test, UnloadSavesEveryOptionAndWritesOrRemovesOnlyItsOwnRunEntry) {
  registry.Put(kRunKey, L"Other", L"\"C:\\other.exe\"");
  registry.Put(kRunKey, L"Quellnet", L"\"C:\\old\\quellnet.exe\"");
  for (const platform::CheckValue value : {2, 0, 0, 1}) {
    SCOPED_TRACE(value);
    chkStartup.value = chkHideOnStart.value = chkmess.value = value;
    form.Form_Unload(UnloadReason::kClose);
    for (const wchar_t* key : {L"StartUp", L"HideOnStart", L"mess"}) {
      EXPECT_EQ(Stored(key), std::to_wstring(value));
    }
    EXPECT_EQ(RunEntry() ? RunEntry()->text : L"",
              value == 0 ? L"" : L"\"C:\\Quellnet\\quellnet.exe\"");
  }
  EXPECT_TRUE(window.messages.empty());
  EXPECT_NE(registry.Find(kRunKey, L"Other"), nullptr);

  // Without a Run key the entry is not written, nor the key made, and the
  // user hears of it.
  registry.keys.clear();
  form.Form_Unload(UnloadReason::kClose);
  EXPECT_FALSE(registry.KeyExists(kRunKey));
  EXPECT_EQ(window.messages.size(), 1u);
}

// Each write stands on its own and a failed one does not stop the shutdown;
// whatever was not saved is told once, in one box at close that names it,
// and not at all while the session ends. The options key is never written
// through a registry link.
TEST_F(Form1Test, AFailedSaveIsToldOnceAtCloseOnlyAndTheShutdownGoesOn) {
  chkStartup.value = 1;
  registry.links = {kOptionsKey};
  form.Form_Unload(UnloadReason::kSessionEnd);
  EXPECT_EQ(Stored(L"StartUp"), std::nullopt);
  EXPECT_NE(RunEntry(), nullptr);
  EXPECT_TRUE(window.messages.empty());

  // An unknown program path would make a broken entry: the one there stays.
  shell.executable_path.clear();
  form.Form_Unload(UnloadReason::kClose);
  EXPECT_EQ(RunEntry()->text, L"\"C:\\Quellnet\\quellnet.exe\"");
  ASSERT_EQ(window.messages.size(), 1u);
  const std::wstring& text = window.messages[0].text;
  EXPECT_EQ(window.messages[0].icon, platform::MessageIcon::kWarning);
  EXPECT_NE(text.find(L"log on"), std::wstring::npos) << testing::PrintToString(text);
}

// Where a message says that a setting could not be read or saved, or the
// switch could not start the service, the system's reason follows in its
// own words; none where the system gave none: data/failed_messages.tsv.
TEST_F(Form1Test, AMessageThatSaysSomethingFailedSaysWhy) {
  const std::map<std::string, platform::RegStatus> statuses = {
      {"failed", platform::RegStatus::kFailed},
      {"denied", platform::RegStatus::kAccessDenied},
      {"nottext", platform::RegStatus::kNotText}};
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/failed_messages.tsv")) {
    const std::wstring key = row[0] == "options" ? kOptionsKey : row[0] == "run" ? kRunKey : L"";
    registry.failing = {{key, {statuses.at(row[1]), platform::SystemError(std::stoul(row[2]))}}};
    services.next = FakeServiceControl::Scripted{{ServiceOutcome::kOtherError, 1066, 42},
                                                 ServiceState::kStopped};
    window.messages.clear();
    chkmess.value = 1;
    key.empty() ? chkmess.UserClick() : form.Form_Load();  // the click asks for a start
    chkStartup.value = std::stoi(row[3]);
    key.empty() ? void() : form.Form_Unload(UnloadReason::kClose);
    EXPECT_EQ(window.messages.at(std::stoul(row[4])).text, tools::Lines(row, 5));
  }
}

// The web link opens the page that the build names, not one fixed in code.
TEST_F(Form1Test, TheWebLinkOpensThePageTheBuildNames) {
  form.Label3_Click();
  EXPECT_EQ(shell.opened, std::vector<std::wstring>{tools::Wide(QUELLNET_EXPECTED_WEB_ADDRESS)});
}

// For every outcome of a stop (switch on) and a start (switch off): the
// display shows the state the service is really in afterwards, and a request
// that did not reach its state says why, captioned with the program's title.
// Where trying again may help the box offers Retry. Its Cancel, like the OK
// of the others, leaves the switch showing the service's state as well, so
// that the click the advice asks for makes the same request again: the state
// it is in by the answer, which may differ from that when the box appeared.
TEST_F(Form1Test, TheSwitchShowsTheStateTheServiceIsInAfterEveryOutcome) {
  using S = ServiceState;
  const std::map<std::string, ServiceOutcome> outcomes = {
      {"done", ServiceOutcome::kDone},
      {"notinstalled", ServiceOutcome::kNotInstalled},
      {"marked", ServiceOutcome::kMarkedForDeletion},
      {"denied", ServiceOutcome::kAccessDenied},
      {"timedout", ServiceOutcome::kTimedOut},
      {"other", ServiceOutcome::kOtherError}};
  const std::map<std::string, ServiceState> states = {{"stopped", S::kStopped},
                                                      {"running", S::kRunning},
                                                      {"pending", S::kPending},
                                                      {"notinstalled", S::kNotInstalled}};
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/switch_outcomes.tsv")) {
    SCOPED_TRACE(row[0] + " " + row[1] + " " + row[2]);
    const bool turn_on = row[0] == "stop";
    const ServiceState after = states.at(row[2]);
    chkmess.value = turn_on ? 0 : 1;  // set without a click
    window.messages.clear();
    services.calls.clear();
    const int retries = row.size() > 7 ? std::stoi(row[7]) : 0;
    window.retries = retries;
    // What the system says is told only where no better words are known.
    services.next = FakeServiceControl::Scripted{{outcomes.at(row[1]), 1051}, after};
    window.on_message = [&] {
      services.state = row[6] == "-" ? services.state : states.at(row[6]);
    };

    chkmess.UserClick();  // and Retry, then Cancel or OK, on any box

    EXPECT_EQ(chkmess.Value(), row[3] == "protected" ? 1 : 0);
    EXPECT_EQ(services.calls.at(0), turn_on ? L"Stop Messenger" : L"Start Messenger");
    // Nothing but that request, once more for each Retry, and questions:
    // neither Cancel nor the box set to the service's state asks for another
    // change.
    EXPECT_EQ(std::count_if(services.calls.begin() + 1, services.calls.end(),
                            [](const std::wstring& call) { return call != L"Query Messenger"; }),
              retries);
    EXPECT_FALSE(window.busy);  // busy while it waits: see WorkDoneInsideOtherWork...
    EXPECT_EQ(Picture1.picture, row[3] == "protected" ? kGreen : kRed);
    EXPECT_EQ(Label2.caption, row[3] == "protected" ? L"PC Protected !" : L"PC Not Protected !");
    ASSERT_EQ(window.messages.size(), row[4] == "none" ? 0u : 1u);
    if (row[4] != "none") {
      const fakes::ShownMessage& shown = window.messages[0];
      EXPECT_EQ(shown.icon, row[4] == "info" ? MessageIcon::kInformation : MessageIcon::kWarning);
      EXPECT_EQ(shown.retry, row[4] == "retry");
      EXPECT_NE(shown.text.find(tools::Wide(row[5])), std::wstring::npos)
          << testing::PrintToString(shown.text);
      EXPECT_EQ(shown.text.find(L"busy") != std::wstring::npos, after == S::kPending);
    }
  }
}

// While the switch waits for the service the window handles what arrives, so
// a cleaner may run and end inside that wait: the window stays busy until
// the switch is done too.
TEST_F(Form1Test, WorkDoneInsideOtherWorkLeavesTheWindowBusyUntilBothAreDone) {
  int busy_after_cleaner = 0;
  services.during_change = [&] {
    form.Command2_Click();
    busy_after_cleaner = window.busy;
  };
  chkmess.UserClick();
  EXPECT_EQ(busy_after_cleaner, 1);
  EXPECT_EQ(window.busy, 0);
}

// Without its picture the box shows nothing rather than a stale status, and
// with the program's folder unknown no picture is loaded from the current
// folder; the caption is set all the same.
TEST_F(Form1Test, AMissingPictureOrProgramFolderClearsTheBoxButStillSetsTheCaption) {
  Picture1.missing = kRed;
  for (const wchar_t* folder : {L"C:\\Quellnet", L""}) {
    shell.program_folder = folder;
    Picture1.picture = kGreen;  // the status shown before
    chkmess.value = 1;
    chkmess.UserClick();
    EXPECT_TRUE(Picture1.picture.empty()) << testing::PrintToString(std::wstring(folder));
    EXPECT_EQ(Label2.caption, L"PC Not Protected !");
  }
}

// Hiding is safe only while the icon is there: without one the user would
// have no way back, so the window stays minimised on the taskbar, also when
// the icon was added at start-up but is missing now (Explorer restarting).
// From the tray only the double-click restores the window, and the right
// button's release opens the menu.
TEST_F(Form1Test, MinimisingHidesToTheTrayOnlyWhileTheIconIsThereAndOnlyADoubleClickRestores) {
  for (const bool area_at_minimise : {false, true}) {
    SCOPED_TRACE(area_at_minimise);
    window.SetState(WindowState::kNormal);
    tray_icon.area_available = !area_at_minimise;
    form.Form_Load();
    tray_icon.area_available = area_at_minimise;
    window.SetState(WindowState::kMinimized);
    EXPECT_EQ(window.visible, !area_at_minimise);
    EXPECT_EQ(window.State(), WindowState::kMinimized);
  }
  // In the tray now. No message, mouse move, left down and up, right down,
  // right double-click, middle button down.
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

}  // namespace
}  // namespace quellnet::app
