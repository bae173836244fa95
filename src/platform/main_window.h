// The main window itself, as the logic sees it: its state, showing and
// the few window-level services (busy state, tray menu, message box).
#pragma once

#include <string>
#include <string_view>

namespace quellnet::platform {

enum class WindowState { kNormal = 0, kMinimized = 1 };

enum class MessageIcon { kNone, kInformation, kWarning };

class MainWindow {
 public:
  virtual ~MainWindow() = default;

  virtual WindowState State() const = 0;
  // Raises the window's resize notification before it returns.
  virtual void SetState(WindowState state) = 0;
  virtual void Show() = 0;
  // Hidden windows have no taskbar button; the program keeps running.
  virtual void Hide() = 0;
  // Runs the unload handler, then destroys the window; the program ends.
  // While the window is busy the handler runs at once, but the window is
  // destroyed only once the handler that made it busy has returned.
  virtual void Unload() = 0;
  // Result is informational; callers may ignore it.
  virtual bool SetForeground() = 0;
  // Opens the pop-up menu `menutray` at the pointer. A chosen item arrives as
  // its click event after this returns or while it runs.
  virtual void PopupTrayMenu() = 0;
  // Marks the window busy while long work runs on this thread, or no longer
  // busy: the hourglass shows and input to the window is ignored, while it
  // still repaints and the tray icon still answers. Calls nest.
  virtual void SetBusy(bool busy) = 0;
  // Long work calls this between two of its steps, with the share of it
  // that is done, from 0 to 1. The window takes its turn: it handles what
  // has arrived (paint, the tray icon, the end of the session) and shows the
  // progress on its taskbar button. False once the program is ending: the
  // work then stops before its next step.
  virtual bool KeepResponding(double done) = 0;
  // Modal box with one OK button, captioned `caption`. Shown only while the
  // program is not ending.
  virtual void ShowMessage(std::wstring_view text, std::wstring_view caption, MessageIcon icon) = 0;
  // Modal box with the buttons Retry and Cancel. True when the user chose
  // Retry; false for Cancel, and without a box while the program is ending.
  virtual bool AskRetry(std::wstring_view text, std::wstring_view caption, MessageIcon icon) = 0;
};

// Keeps the window busy for the life of the guard.
class BusyWindow {
 public:
  explicit BusyWindow(MainWindow& window) : window_(window) { window_.SetBusy(true); }
  ~BusyWindow() { window_.SetBusy(false); }
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

 private:
  MainWindow& window_;
};

}  // namespace quellnet::platform
