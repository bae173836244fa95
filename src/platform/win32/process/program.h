// The program's run on Windows, declared without a Windows header so that the
// composition root stays portable: one running copy per session, the main
// window and the Win32 side of every contract, and the message loop.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "platform/controls.h"
#include "platform/file_system.h"
#include "platform/main_window.h"
#include "platform/network.h"
#include "platform/registry.h"
#include "platform/service_control.h"
#include "platform/shell.h"
#include "platform/tray_icon.h"
#include "platform/window_events.h"
#include "platform/window_layout.h"

namespace quellnet::platform::win32 {

// The controls of the window that the application reads and writes, found
// by their ids in the layout.
class WindowControls {
 public:
  virtual ~WindowControls() = default;
  // The control with this id, when the layout has it and it is of that
  // kind; nullptr otherwise.
  virtual CheckBox* CheckBoxAt(int id) = 0;
  virtual Label* LabelAt(int id) = 0;
  virtual TextBox* TextBoxAt(int id) = 0;
  virtual PictureBox* PictureBoxAt(int id) = 0;
};

// The window, its controls and the adapters, as the application receives
// them; they live until RunProgram returns.
struct ProgramParts {
  MainWindow& window;
  WindowControls& controls;
  Registry& registry;
  ServiceControl& services;
  FileSystem& files;
  Shell& shell;
  Network& network;
  TrayIcon& tray_icon;
};

// Builds the application on the parts; what it returns takes the window's
// events until the program ends. nullptr when the parts do not fit it: the
// program then says that it can't start.
using BuildApplication = std::function<std::unique_ptr<WindowEvents>(const ProgramParts& parts)>;

// What keeps one running copy per session, and what a second start shows
// while it waits for the running copy: the name of the session's lock, the
// class of the small window that says why it waits, and that window's text
// while the running copy does not answer and while it closes.
struct InstanceLook {
  std::wstring_view lock_name;
  std::wstring_view notice_class;
  std::wstring_view no_answer_yet;
  std::wstring_view still_closing;
};

// What the program shows of itself besides its window: `title` names it in
// the notification area and captions the wait and the message that it can't
// start, which says `cannot_create_window` or `cannot_prepare_access`.
struct ProgramLook {
  const layout::WindowLayout& window;
  std::wstring_view title;
  InstanceLook instance;
  std::wstring_view cannot_create_window;
  std::wstring_view cannot_prepare_access;
};

// Runs the program to its end and returns its exit code. A second copy in the
// same session hands over to the running one and returns 0 at once, before
// `build` is called.
int RunProgram(const ProgramLook& look, const BuildApplication& build);

}  // namespace quellnet::platform::win32
