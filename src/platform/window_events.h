// The events of a window made from a table, in the window's own terms: a
// click names the control or menu item by its id. The window implementation
// raises them on the user-interface thread, each one to its end before the
// next.
#pragma once

#include <cstdint>

namespace quellnet::platform {

// What ends the window: the user (close box, tray menu) or the end of the
// Windows session (log-off, shutdown), when no message box may hold it up.
enum class UnloadReason { kClose, kSessionEnd };

class WindowEvents {
 public:
  virtual ~WindowEvents() = default;

  virtual void Loaded() = 0;   // once, before the window becomes visible
  virtual void Painted() = 0;  // after every repaint of the client area
  virtual void Resized() = 0;  // after every change of the window state
  // Once, whatever ends the window.
  virtual void Unloading(UnloadReason reason) = 0;
  // A click on the control, or the choice of the menu item, with this id.
  virtual void Clicked(int id) = 0;
  // A notification from the tray icon; `mouse_message` is the mouse message
  // code the shell reports (WM_LBUTTONDBLCLK = 0x203 and so on).
  virtual void TrayIconNotified(std::uint32_t mouse_message) = 0;
  // The notification area was recreated (Explorer restarted).
  virtual void TrayAreaRecreated() = 0;
  // A second start of the program asked this one to come forward.
  virtual void ActivationAsked() = 0;
};

}  // namespace quellnet::platform
