// Start-up, first paint and shutdown of the main window, through its
// handlers, with the window wired as the program wires it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form1.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_network.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_service_control.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_tray_icon.h"
#include "tray/tray_presence.h"

namespace quellnet::app {
namespace {

using fakes::FakeServiceControl;
using platform::ServiceOutcome;
using platform::ServiceState;
using platform::UnloadReason;
using platform::WindowState;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kOptionsKey[] = L"Software\\Quellnet\\Options";

class Form1LifecycleTest : public testing::Test {
 protected:
  Form1LifecycleTest() {
    chkmess.on_click = [this] { form.chkmess_Click(); };
    window.on_resize = [this] { form.Form_Resize(); };
    window.on_unload = [this] { form.Form_Unload(UnloadReason::kClose); };
    Picture1.readable_files = {L"C:\\Quellnet\\green.gif", L"C:\\Quellnet\\red.gif"};
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
TEST_F(Form1LifecycleTest, RestoreSetsEachBoxFromItsStoredOption) {
  struct Case {
    const wchar_t* text;  // nullptr: absent; L"\x1234": not text
    int expected;
  };
  const wchar_t* const kCaptions[] = {L"", L"PC Protected !", L"PC Not Protected !"};
  for (const Case& c :
       {Case{nullptr, 0}, Case{L"1", 1}, Case{L"2", 2}, Case{L"7", 0}, Case{L"\x1234", 0}}) {
    SCOPED_TRACE(c.text == nullptr ? "absent" : testing::PrintToString(std::wstring(c.text)));
    fakes::FakeRegistry store;
    for (const wchar_t* key : {L"StartUp", L"HideOnStart", L"mess"}) {
      if (c.text != nullptr) {
        store.Put(kOptionsKey, key, c.text, c.text != std::wstring(L"\x1234"));
      }
    }
    fakes::FakeCheckBox startup;
    fakes::FakeCheckBox hide;
    fakes::FakeCheckBox mess;
    fakes::FakeLabel caption;
    fakes::FakeTextBox address;
    Form1 fresh({window, mess, startup, hide, caption, address, Picture1},
                {store, services, files, shell, network, tray_icon});
    mess.on_click = [&] { fresh.chkmess_Click(); };
    services.calls.clear();
    fresh.Form_Load();

    EXPECT_EQ(startup.Value(), c.expected);
    EXPECT_EQ(hide.Value(), c.expected);
    EXPECT_EQ(mess.Value(), c.expected);
    EXPECT_EQ(services.calls.size(), c.expected == 0 ? 0u : 1u);
    EXPECT_EQ(caption.caption, kCaptions[c.expected]);
    EXPECT_EQ(address.text, L"192.168.1.20");  // the later steps still ran
  }
}

TEST_F(Form1LifecycleTest, AStopThatFailsAtStartUpShowsNotProtectedSilentlyAndGoesOn) {
  Store(L"mess", L"1");
  services.next =
      FakeServiceControl::Scripted{{ServiceOutcome::kAccessDenied, {}}, ServiceState::kRunning};
  form.Form_Load();
  EXPECT_EQ(chkmess.Value(), 1);  // the choice is kept and saved again
  EXPECT_EQ(Label2.caption, L"PC Not Protected !");
  EXPECT_EQ(Picture1.picture, L"C:\\Quellnet\\red.gif");
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(Text1.text, L"192.168.1.20");

  // A later click of the user's own does report.
  chkmess.UserClick();
  services.next =
      FakeServiceControl::Scripted{{ServiceOutcome::kAccessDenied, {}}, ServiceState::kRunning};
  chkmess.UserClick();
  EXPECT_EQ(window.messages.size(), 1u);
}

TEST_F(Form1LifecycleTest, StoredRunMinimisedMinimisesAtTheFirstPaintOnly) {
  Store(L"HideOnStart", L"01");
  int resizes_while_minimised = 0;
  window.on_resize = [&] {
    resizes_while_minimised += window.State() == WindowState::kMinimized ? 1 : 0;
    form.Form_Resize();
  };
  form.Form_Load();
  form.Form_Paint();
  EXPECT_EQ(resizes_while_minimised, 1);
  EXPECT_EQ(window.State(), WindowState::kMinimized);
  EXPECT_FALSE(window.visible);  // hidden to the tray

  window.SetState(WindowState::kNormal);  // restored from the tray
  form.Form_Paint();
  EXPECT_EQ(window.State(), WindowState::kNormal);
  EXPECT_EQ(resizes_while_minimised, 1);
}

TEST_F(Form1LifecycleTest, UnloadAddsTheEntryForRunAtStartupOneOrTwoAndRemovesItForZero) {
  for (const wchar_t* text : {L"0", L"1", L"2"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
    registry.Put(kRunKey, L"Quellnet", L"\"C:\\old\\quellnet.exe\"");
    Store(L"StartUp", text);
    form.Form_Load();
    form.Form_Unload(UnloadReason::kClose);
    EXPECT_EQ(Stored(L"StartUp"), text);
    EXPECT_EQ(Stored(L"mess"), L"0");
    if (text == std::wstring(L"0")) {
      EXPECT_EQ(RunEntry(), nullptr);
    } else {
      ASSERT_NE(RunEntry(), nullptr);
      EXPECT_EQ(RunEntry()->text, L"\"C:\\Quellnet\\quellnet.exe\"");
    }
  }
}

// Each write stands on its own and a failed one does not stop the shutdown;
// whatever was not saved is told once, in one box at close that names it,
// and not at all while the session ends.
TEST_F(Form1LifecycleTest, AFailedSaveIsToldOnceAtCloseOnlyAndTheShutdownGoesOn) {
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

// The web link opens the page that the build names, not one fixed in code.
TEST_F(Form1LifecycleTest, TheWebLinkOpensThePageTheBuildNames) {
  const std::string expected = QUELLNET_EXPECTED_WEB_ADDRESS;
  form.Label3_Click();
  EXPECT_EQ(shell.opened,
            std::vector<std::wstring>{std::wstring(expected.begin(), expected.end())});
}

TEST_F(Form1LifecycleTest,
       CloseFromTheTrayMenuWhileHiddenSavesTheOptionsAddsTheEntryAndRemovesTheIcon) {
  // A first run: no options stored yet, so not even their key exists.
  form.Form_Load();
  chkStartup.SetValue(1);
  chkHideOnStart.SetValue(1);
  chkmess.UserClick();
  window.SetState(WindowState::kMinimized);
  ASSERT_FALSE(window.visible);

  form.TrayIcon_Notify(tray::kRightButtonUp);
  form.mnuclose_Click();

  EXPECT_TRUE(window.unloaded);
  EXPECT_EQ(Stored(L"StartUp"), L"1");
  EXPECT_EQ(Stored(L"HideOnStart"), L"1");
  EXPECT_EQ(Stored(L"mess"), L"1");
  ASSERT_NE(RunEntry(), nullptr);
  EXPECT_EQ(RunEntry()->text, L"\"C:\\Quellnet\\quellnet.exe\"");
  EXPECT_FALSE(tray_icon.present);
  // Nothing is undone: the service stays stopped. All saved: nothing to tell.
  EXPECT_EQ(services.StateOf(L"Messenger"), ServiceState::kStopped);
  EXPECT_TRUE(window.messages.empty());
}

}  // namespace
}  // namespace quellnet::app
