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
  // While the window is busy, the unload waits until the handler that made
  // it busy has returned: its work goes on to its outcome (a cleaning stops
  // before its next file), asks nothing more, and the handler saves that
  // outcome. Only the end of the session unloads at once, in the middle of
  // the work, and destroys the window once that handler has returned.
  virtual void Unload() = 0;
};

}  // namespace quellnet::platform
