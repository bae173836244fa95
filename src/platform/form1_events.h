// The handlers of the main window's events. The window implementation calls
// them on the user-interface thread, each one to its end before the next.
#pragma once

#include <cstdint>

namespace quellnet::platform {

// What ends the window: the user (close box, tray menu) or the end of the
// Windows session (log-off, shutdown), when no message box may hold it up.
enum class UnloadReason { kClose, kSessionEnd };

class Form1Events {
 public:
  virtual ~Form1Events() = default;

  virtual void Form_Load() = 0;    // once, before the window becomes visible
  virtual void Form_Paint() = 0;   // after every repaint of the client area
  virtual void Form_Resize() = 0;  // after every change of the window state
  // Once, whatever ends the window.
  virtual void Form_Unload(UnloadReason reason) = 0;
  virtual void chkmess_Click() = 0;
  virtual void Command1_Click() = 0;
  virtual void Command2_Click() = 0;
  virtual void Label3_Click() = 0;
  virtual void mnuopen_Click() = 0;
  virtual void mnuclose_Click() = 0;
  // A notification from the tray icon; `mouse_message` is the mouse message
  // code the shell reports (WM_LBUTTONDBLCLK = 0x203 and so on).
  virtual void TrayIcon_Notify(std::uint32_t mouse_message) = 0;
  // The notification area was recreated (Explorer restarted).
  virtual void TrayIcon_AreaRecreated() = 0;
  // A second start of the program asked this one to come forward.
  virtual void Instance_Activate() = 0;
};

}  // namespace quellnet::platform
