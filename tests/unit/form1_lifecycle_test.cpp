#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form1.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_network.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_service_control.h"
#include "fakes/fake_settings_store.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_tray_icon.h"

namespace quellnet::app {
namespace {

using fakes::FakeServiceControl;
using fakes::FakeSettingsStore;
using platform::ServiceOutcome;
using platform::ServiceState;
using platform::WindowState;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class Form1LifecycleTest : public testing::Test {
 protected:
  Form1LifecycleTest() {
    chkmess.on_click = [this] { form.chkmess_Click(); };
    window.on_resize = [this] { form.Form_Resize(); };
    Picture1.readable_files = {L"C:\\Quellnet\\green.gif", L"C:\\Quellnet\\red.gif"};
    services.states[L"Messenger"] = ServiceState::kRunning;
    registry.CreateKey(kRunKey);
  }

  void Store(const std::wstring& key, const std::wstring& text) {
    settings.values[{L"Quellnet", L"Options", key}] = text;
  }
  std::optional<std::wstring> Stored(const std::wstring& key) const {
    return settings.Stored(L"Quellnet", L"Options", key);
  }
  int ServiceChanges() const {
    int changes = 0;
    for (const auto& call : services.calls) {
      changes += call.op != FakeServiceControl::Op::kQuery ? 1 : 0;
    }
    return changes;
  }

  fakes::FakeMainWindow window;
  fakes::FakeCheckBox chkmess;
  fakes::FakeCheckBox chkStartup;
  fakes::FakeCheckBox chkHideOnStart;
  fakes::FakeLabel Label2;
  fakes::FakeTextBox Text1;
  fakes::FakePictureBox Picture1;
  FakeSettingsStore settings;
  fakes::FakeRegistry registry;
  FakeServiceControl services;
  fakes::FakeFileSystem files;
  fakes::FakeShell shell;
  fakes::FakeNetwork network;
  fakes::FakeTrayIcon tray_icon;
  Form1 form{{window, chkmess, chkStartup, chkHideOnStart, Label2, Text1, Picture1},
             {settings, registry, services, files, shell, network, tray_icon}};
};

TEST_F(Form1LifecycleTest, FirstStartWithAnEmptyStoreTouchesNoServiceAndStaysVisible) {
  Label2.SetCaption(L"stale");
  form.Form_Load();

  EXPECT_EQ(tray_icon.add_requests, 1);
  EXPECT_EQ(chkStartup.Value(), 0);
  EXPECT_EQ(chkHideOnStart.Value(), 0);
  EXPECT_EQ(chkmess.Value(), 0);
  EXPECT_TRUE(services.calls.empty());
  EXPECT_EQ(Label2.Caption(), L"");
  EXPECT_FALSE(Picture1.HasPicture());
  EXPECT_EQ(Text1.Text(), L"192.168.1.20");
  EXPECT_TRUE(form.firstPaint());

  form.Form_Paint();
  form.Form_Paint();
  EXPECT_EQ(window.State(), WindowState::kNormal);
  EXPECT_TRUE(window.IsVisible());
  EXPECT_TRUE(form.firstPaint());
}

TEST_F(Form1LifecycleTest, StoredProtectionStopsTheServiceOnceAndShowsProtected) {
  Store(L"mess", L"1");
  form.Form_Load();
  EXPECT_EQ(chkmess.Value(), 1);
  EXPECT_EQ(ServiceChanges(), 1);
  EXPECT_EQ(services.calls[0].op, FakeServiceControl::Op::kStop);
  EXPECT_EQ(services.StateOf(L"Messenger"), ServiceState::kStopped);
  EXPECT_EQ(Label2.Caption(), L"PC Protected !");
  EXPECT_EQ(Picture1.picture(), L"C:\\Quellnet\\green.gif");
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(Form1LifecycleTest, AStopThatFailsAtStartUpShowsNotProtectedSilentlyAndGoesOn) {
  Store(L"mess", L"1");
  Store(L"StartUp", L"1");
  services.next =
      FakeServiceControl::Scripted{{ServiceOutcome::kAccessDenied, {}}, ServiceState::kRunning};
  form.Form_Load();
  EXPECT_EQ(chkmess.Value(), 1);  // the choice is kept and saved again
  EXPECT_EQ(Label2.Caption(), L"PC Not Protected !");
  EXPECT_EQ(Picture1.picture(), L"C:\\Quellnet\\red.gif");
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(Text1.Text(), L"192.168.1.20");
  EXPECT_TRUE(form.firstPaint());

  // A later click of the user's own does report.
  chkmess.UserClick();
  services.next =
      FakeServiceControl::Scripted{{ServiceOutcome::kAccessDenied, {}}, ServiceState::kRunning};
  chkmess.UserClick();
  EXPECT_EQ(window.messages.size(), 1u);
}

TEST_F(Form1LifecycleTest, RestoreReadsEachStoredFormAsAWholeNumber) {
  struct Case {
    const wchar_t* text;  // nullptr: absent
    int expected;
  };
  for (const Case& c :
       {Case{nullptr, 0}, Case{L"1", 1}, Case{L"01", 1}, Case{L" 1 ", 1}, Case{L"2", 2},
        Case{L"0", 0}, Case{L"yes", 0}, Case{L"7", 0}, Case{L"-1", 0}, Case{L"70000", 0}}) {
    FakeSettingsStore store;
    if (c.text != nullptr) {
      store.values[{L"Quellnet", L"Options", L"StartUp"}] = c.text;
      store.values[{L"Quellnet", L"Options", L"HideOnStart"}] = c.text;
    }
    fakes::FakeCheckBox startup;
    fakes::FakeCheckBox hide;
    fakes::FakeCheckBox mess;
    Form1 fresh({window, mess, startup, hide, Label2, Text1, Picture1},
                {store, registry, services, files, shell, network, tray_icon});
    fresh.Form_Load();
    SCOPED_TRACE(c.text == nullptr ? "absent" : testing::PrintToString(std::wstring(c.text)));
    EXPECT_EQ(startup.Value(), c.expected);
    EXPECT_EQ(hide.Value(), c.expected);
    const FakeSettingsStore::Address mess_key{L"Quellnet", L"Options", L"mess"};
    EXPECT_EQ(store.reads[mess_key], 1);  // the later steps still ran
  }
}

TEST_F(Form1LifecycleTest, UnreadableOrRefusedProtectionLeavesTheSwitchOffAndTheCaptionEmpty) {
  for (const wchar_t* text : {L"7", L"word", L"99999"}) {
    Store(L"mess", text);
    Label2.SetCaption(L"stale");
    form.Form_Load();
    EXPECT_EQ(chkmess.Value(), 0);
    EXPECT_EQ(Label2.Caption(), L"");
  }
  settings.unreadable.insert({L"Quellnet", L"Options", L"mess"});
  form.Form_Load();
  EXPECT_EQ(chkmess.Value(), 0);
  EXPECT_TRUE(services.calls.empty());
}

TEST_F(Form1LifecycleTest, StoredGreyedProtectionStartsTheServiceAndKeepsTheCaption) {
  services.states[L"Messenger"] = ServiceState::kStopped;
  Store(L"mess", L"2");
  form.Form_Load();
  EXPECT_EQ(chkmess.Value(), 2);
  EXPECT_EQ(services.StateOf(L"Messenger"), ServiceState::kRunning);
  EXPECT_EQ(Label2.Caption(), L"PC Not Protected !");
}

TEST_F(Form1LifecycleTest, TheAddressIsReadOnceAndAnUnreadableOneLeavesTheBox) {
  network.address.reset();
  Text1.SetText(L"initial");
  form.Form_Load();
  EXPECT_EQ(Text1.Text(), L"initial");
  form.Form_Paint();
  EXPECT_EQ(network.lookups, 1);
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
  EXPECT_FALSE(window.IsVisible());  // hidden to the tray
  EXPECT_FALSE(form.firstPaint());

  window.SetState(WindowState::kNormal);  // restored from the tray
  form.Form_Paint();
  EXPECT_EQ(window.State(), WindowState::kNormal);
  EXPECT_EQ(resizes_while_minimised, 1);
}

TEST_F(Form1LifecycleTest, PaintReadsTheStoreNotTheBox) {
  form.Form_Load();
  chkHideOnStart.SetValue(1);
  form.Form_Paint();
  EXPECT_EQ(window.State(), WindowState::kNormal);
  EXPECT_TRUE(form.firstPaint());

  // The store changing under a running program is seen by a later paint.
  for (const wchar_t* text : {L"word", L"2", L" 1"}) {
    Store(L"HideOnStart", text);
    form.Form_Paint();
  }
  EXPECT_EQ(window.State(), WindowState::kMinimized);
  EXPECT_FALSE(form.firstPaint());
}

TEST_F(Form1LifecycleTest, UnloadWritesTheThreeOptionsInOrderThenAddsTheEntry) {
  form.Form_Load();
  chkStartup.SetValue(1);
  chkHideOnStart.SetValue(1);
  chkmess.SetValue(1);
  form.Form_Unload();

  ASSERT_EQ(settings.writes.size(), 3u);
  const wchar_t* keys[] = {L"StartUp", L"HideOnStart", L"mess"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(settings.writes[i].application, L"Quellnet");
    EXPECT_EQ(settings.writes[i].section, L"Options");
    EXPECT_EQ(settings.writes[i].key, keys[i]);
    EXPECT_EQ(settings.writes[i].text, L"1");
  }
  ASSERT_FALSE(registry.calls.empty());
  EXPECT_EQ(registry.calls.back().op, fakes::FakeRegistry::Op::kSet);
  const auto* entry = registry.Find(kRunKey, L"Quellnet");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->text, L"\"C:\\Quellnet\\quellnet.exe\"");
  // Nothing is undone: the service stays stopped.
  EXPECT_EQ(services.StateOf(L"Messenger"), ServiceState::kStopped);
}

TEST_F(Form1LifecycleTest, UnloadWithRunAtStartupOffWritesZeroAndRemovesTheEntry) {
  registry.Put(kRunKey, L"Quellnet", L"\"C:\\old\\quellnet.exe\"");
  Store(L"StartUp", L"1");
  form.Form_Load();
  chkStartup.SetValue(0);
  form.Form_Unload();
  EXPECT_EQ(Stored(L"StartUp"), L"0");
  EXPECT_EQ(Stored(L"HideOnStart"), L"0");
  EXPECT_EQ(Stored(L"mess"), L"0");
  EXPECT_EQ(registry.Find(kRunKey, L"Quellnet"), nullptr);
}

TEST_F(Form1LifecycleTest, AGreyedRunAtStartupStillAddsTheEntry) {
  Store(L"StartUp", L"2");
  form.Form_Load();
  form.Form_Unload();
  EXPECT_EQ(Stored(L"StartUp"), L"2");
  EXPECT_NE(registry.Find(kRunKey, L"Quellnet"), nullptr);
}

TEST_F(Form1LifecycleTest, AFailingWriteLosesOnlyItsOwnValue) {
  Store(L"StartUp", L"0");
  Store(L"HideOnStart", L"0");
  Store(L"mess", L"0");
  form.Form_Load();
  chkStartup.SetValue(1);
  chkHideOnStart.SetValue(1);
  chkmess.SetValue(1);
  for (const wchar_t* failing : {L"StartUp", L"HideOnStart"}) {
    settings.failing_writes.insert({L"Quellnet", L"Options", failing});
  }
  registry.FailOn(fakes::FakeRegistry::Op::kSet, kRunKey, platform::RegStatus::kAccessDenied);
  form.Form_Unload();

  EXPECT_EQ(Stored(L"StartUp"), L"0");
  EXPECT_EQ(Stored(L"HideOnStart"), L"0");
  EXPECT_EQ(Stored(L"mess"), L"1");
  EXPECT_EQ(settings.writes.size(), 3u);
  EXPECT_EQ(registry.Find(kRunKey, L"Quellnet"), nullptr);

  // And the entry is still attempted after all three writes failed.
  settings.failing_writes.insert({L"Quellnet", L"Options", L"mess"});
  fakes::FakeRegistry healthy;
  healthy.CreateKey(kRunKey);
  Form1 other({window, chkmess, chkStartup, chkHideOnStart, Label2, Text1, Picture1},
              {settings, healthy, services, files, shell, network, tray_icon});
  other.Form_Unload();
  EXPECT_NE(healthy.Find(kRunKey, L"Quellnet"), nullptr);
}

}  // namespace
}  // namespace quellnet::app
