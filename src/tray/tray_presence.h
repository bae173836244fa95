// The tray icon's behaviour: hiding to the tray on minimise, coming back on a
// double-click or from the tray menu, and keeping the icon in the
// notification area for the whole run.
#pragma once

#include <cstdint>

#include "platform/tray_icon.h"
#include "platform/tray_window.h"

namespace quellnet::tray {

// Mouse message codes the notification area reports for the icon.
inline constexpr std::uint32_t kLeftButtonDoubleClick = platform::kTrayLeftButtonDoubleClick;
inline constexpr std::uint32_t kRightButtonUp = platform::kTrayRightButtonUp;

class TrayPresence {
 public:
  TrayPresence(platform::TrayWindow& window, platform::TrayIcon& icon);

  // Adds the icon; the first step of start-up.
  void AddIcon();
  // The window's resize notification: a minimised window goes to the tray.
  void OnResize();
  // A notification from the icon, with the mouse message code it reports.
  void OnNotify(std::uint32_t mouse_message);
  // The notification area was recreated and has lost every icon.
  void OnAreaRecreated();
  // Brings the window back in the normal state, in the foreground.
  void Restore();
  // Takes the icon out of the notification area as the program ends.
  void RemoveIcon();

 private:
  platform::TrayWindow& window_;
  platform::TrayIcon& icon_;
};

}  // namespace quellnet::tray
