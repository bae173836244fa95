// The tray as the main window's handlers drive it: the tray menu and a second
// start bring a hidden window back, and closing from the menu ends the run.
#include <gtest/gtest.h>

#include <string>

#include "app/form1.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_network.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_service_control.h"
#include "fakes/fake_settings_store.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_tray_icon.h"
#include "tray/tray_presence.h"

namespace quellnet::app {
namespace {

using platform::WindowState;

class Form1TrayTest : public testing::Test {
 protected:
  Form1TrayTest() {
    chkmess.on_click = [this] { form.chkmess_Click(); };
    window.on_resize = [this] { form.Form_Resize(); };
    window.on_unload = [this] { form.Form_Unload(); };
    registry.CreateKey(L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  }

  void Store(const std::wstring& key, const std::wstring& text) {
    settings.values[{L"Quellnet", L"Options", key}] = text;
  }
  std::optional<std::wstring> Stored(const std::wstring& key) const {
    return settings.Stored(L"Quellnet", L"Options", key);
  }
  void StartMinimised() {
    Store(L"HideOnStart", L"1");
    form.Form_Load();
    form.Form_Paint();
  }
  bool Hidden() const { return !window.IsVisible() && window.State() == WindowState::kMinimized; }
  bool Shown() const { return window.IsVisible() && window.State() == WindowState::kNormal; }

  fakes::FakeMainWindow window;
  fakes::FakeCheckBox chkmess;
  fakes::FakeCheckBox chkStartup;
  fakes::FakeCheckBox chkHideOnStart;
  fakes::FakeLabel Label2;
  fakes::FakeTextBox Text1;
  fakes::FakePictureBox Picture1;
  fakes::FakeSettingsStore settings;
  fakes::FakeRegistry registry;
  fakes::FakeServiceControl services;
  fakes::FakeFileSystem files;
  fakes::FakeShell shell;
  fakes::FakeNetwork network;
  fakes::FakeTrayIcon tray_icon;
  Form1 form{{window, chkmess, chkStartup, chkHideOnStart, Label2, Text1, Picture1},
             {settings, registry, services, files, shell, network, tray_icon}};
};

TEST_F(Form1TrayTest, TheMenuAndASecondStartRestoreAHiddenWindow) {
  StartMinimised();
  form.TrayIcon_Notify(tray::kRightButtonUp);
  EXPECT_EQ(window.menu_popups, 1);
  EXPECT_TRUE(Hidden());
  form.mnuopen_Click();
  EXPECT_TRUE(Shown());

  window.SetState(WindowState::kMinimized);
  EXPECT_TRUE(Hidden());
  form.Instance_Activate();
  EXPECT_TRUE(Shown());
  EXPECT_EQ(window.foreground_requests, 3);  // menu, menu item, second start
}

TEST_F(Form1TrayTest, CloseFromTheMenuWhileHiddenSavesTheOptionsAndRemovesTheIcon) {
  StartMinimised();
  chkStartup.SetValue(1);
  chkmess.UserClick();
  ASSERT_TRUE(Hidden());

  form.TrayIcon_Notify(tray::kRightButtonUp);
  form.mnuclose_Click();

  EXPECT_TRUE(window.unloaded);
  EXPECT_EQ(Stored(L"StartUp"), L"1");
  EXPECT_EQ(Stored(L"HideOnStart"), L"1");
  EXPECT_EQ(Stored(L"mess"), L"1");
  EXPECT_FALSE(tray_icon.present());
  EXPECT_EQ(tray_icon.remove_requests, 1);
}

}  // namespace
}  // namespace quellnet::app
