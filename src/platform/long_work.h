// Long work on the user-interface thread, as the window lets it run: the
// window stays busy meanwhile, answers between two steps and shows how far
// the work has come.
#pragma once

namespace quellnet::platform {

class LongWork {
 public:
  virtual ~LongWork() = default;

  // Marks the window busy while long work runs on this thread, or no longer
  // busy: the hourglass shows and input to the window is ignored, while it
  // still repaints and the tray icon still answers. Calls nest.
  virtual void SetBusy(bool busy) = 0;
  // Long work calls this between two of its steps, with the share of it
  // that is done, from 0 to 1. The window takes its turn: it handles what
  // has arrived (paint, the tray icon, the end of the session) and shows the
  // progress on its taskbar button. False once the program is ending or is
  // to close when the work is done: the work then stops before its next step.
  virtual bool KeepResponding(double done) = 0;
};

// Keeps the window busy for the life of the guard.
class BusyWindow {
 public:
  explicit BusyWindow(LongWork& work) : work_(work) { work_.SetBusy(true); }
  ~BusyWindow() { work_.SetBusy(false); }
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

 private:
  LongWork& work_;
};

}  // namespace quellnet::platform
