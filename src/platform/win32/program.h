// The program's run on Windows, declared without a Windows header so that the
// composition root stays portable: one running copy per session, the main
// window and the Win32 side of every contract, and the message loop.
#pragma once

#include <functional>
#include <memory>

#include "platform/controls.h"
#include "platform/file_system.h"
#include "platform/form1_events.h"
#include "platform/main_window.h"
#include "platform/network.h"
#include "platform/registry.h"
#include "platform/service_control.h"
#include "platform/shell.h"
#include "platform/tray_icon.h"

namespace quellnet::platform::win32 {

// The window, its controls and the adapters, as the application receives
// them; they live until RunProgram returns.
struct ProgramParts {
  MainWindow& window;
  CheckBox& chkmess;
  CheckBox& chkStartup;
  CheckBox& chkHideOnStart;
  Label& Label2;
  TextBox& Text1;
  PictureBox& Picture1;
  Registry& registry;
  ServiceControl& services;
  FileSystem& files;
  Shell& shell;
  Network& network;
  TrayIcon& tray_icon;
};

// Builds the application on the parts; what it returns takes the window's
// events until the program ends.
using BuildApplication = std::function<std::unique_ptr<Form1Events>(const ProgramParts& parts)>;

// Runs the program to its end and returns its exit code. A second copy in the
// same session hands over to the running one and returns 0 at once, before
// `build` is called.
int RunProgram(const BuildApplication& build);

}  // namespace quellnet::platform::win32
