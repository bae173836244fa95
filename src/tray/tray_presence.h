// The tray icon's behaviour: hiding to the tray on minimise and coming back.
#pragma once

#include <cstdint>

#include "platform/main_window.h"
#include "platform/tray_icon.h"

namespace quellnet::tray {

class TrayPresence {
 public:
  TrayPresence(platform::MainWindow& window, platform::TrayIcon& icon);

  void AddIcon();
  void OnResize();
  void OnNotify(std::uint32_t mouse_message);
  void OnAreaRecreated();
  // Brings the window back in the normal state, in the foreground.
  void Restore();

 private:
  platform::MainWindow& window_;
  platform::TrayIcon& icon_;
};

}  // namespace quellnet::tray
