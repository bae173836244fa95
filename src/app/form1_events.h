// The handlers of the main window's events, one per control and event, and
// their dispatch from the window's events: the window names a control by its
// id, and here each id finds its handler.
#pragma once

#include <cstdint>

#include "platform/window_events.h"

namespace quellnet::app {

class Form1Events : public platform::WindowEvents {
 public:
  virtual void Form_Load() = 0;    // once, before the window becomes visible
  virtual void Form_Paint() = 0;   // after every repaint of the client area
  virtual void Form_Resize() = 0;  // after every change of the window state
  // Once, whatever ends the window.
  virtual void Form_Unload(platform::UnloadReason reason) = 0;
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

  // platform::WindowEvents
  void Loaded() final { Form_Load(); }
  void Painted() final { Form_Paint(); }
  void Resized() final { Form_Resize(); }
  void Unloading(platform::UnloadReason reason) final { Form_Unload(reason); }
  // Controls and menu items without a handler take their clicks silently.
  void Clicked(int id) final;
  void TrayIconNotified(std::uint32_t mouse_message) final { TrayIcon_Notify(mouse_message); }
  void TrayAreaRecreated() final { TrayIcon_AreaRecreated(); }
  void ActivationAsked() final { Instance_Activate(); }
};

}  // namespace quellnet::app
