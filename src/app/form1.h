// The main window's logic: one handler per event, as the window raises them.
#pragma once

#include "cleaners/browser_cleaner.h"
#include "platform/controls.h"
#include "platform/file_system.h"
#include "app/form1_events.h"
#include "platform/main_window.h"
#include "platform/network.h"
#include "platform/registry.h"
#include "platform/service_control.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/tray_icon.h"
#include "protection/protection_switch.h"
#include "tray/tray_presence.h"

namespace quellnet::app {

// The controls of the window that the handlers read and write.
struct Form1Controls {
  platform::MainWindow& window;
  platform::CheckBox& chkmess;
  platform::CheckBox& chkStartup;
  platform::CheckBox& chkHideOnStart;
  platform::Label& Label2;
  platform::TextBox& Text1;
  platform::PictureBox& Picture1;
};

// Everything outside the window that the handlers use.
struct Form1Platform {
  platform::Registry& registry;
  platform::ServiceControl& services;
  platform::FileSystem& files;
  platform::Shell& shell;
  platform::Network& network;
  platform::TrayIcon& tray_icon;
};

class Form1 final : public Form1Events {
 public:
  Form1(const Form1Controls& controls, const Form1Platform& platform);

  void Form_Load() override;
  void Form_Paint() override;
  void Form_Resize() override;
  void Form_Unload(platform::UnloadReason reason) override;
  void chkmess_Click() override;
  void Command1_Click() override;
  void Command2_Click() override;
  void Label3_Click() override;
  void mnuopen_Click() override;
  void mnuclose_Click() override;
  void TrayIcon_Notify(std::uint32_t mouse_message) override;
  void TrayIcon_AreaRecreated() override;
  void Instance_Activate() override;

 private:
  Form1Controls controls_;
  Form1Platform platform_;
  platform::SettingsStore settings_;
  // Set by the load, cleared by the paint that minimises the window.
  bool first_paint_ = false;
  tray::TrayPresence tray_;
  protection::ProtectionSwitch protection_;
  cleaners::BrowserCleaner cache_cleaner_;
  cleaners::BrowserCleaner cookie_cleaner_;
};

}  // namespace quellnet::app
