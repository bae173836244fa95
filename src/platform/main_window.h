// The main window as the application holds it: every role its parts take
// (long work, message boxes, the tray's view of it), and its end.
#pragma once

#include "platform/long_work.h"
#include "platform/message_boxes.h"
#include "platform/tray_window.h"

namespace quellnet::platform {

class MainWindow : public LongWork, public MessageBoxes, public TrayWindow {
 public:
  // Runs the unload handler, then destroys the window; the program ends.
  // While the window is busy the handler runs at once, but the window is
  // destroyed only once the handler that made it busy has returned.
  virtual void Unload() = 0;
};

}  // namespace quellnet::platform
