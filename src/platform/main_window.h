// The main window itself, as the logic sees it: its state, showing and
// the few window-level services (wait cursor, tray menu, message box).
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
  virtual void Unload() = 0;
  // Result is informational; callers may ignore it.
  virtual bool SetForeground() = 0;
  // Opens the pop-up menu `menutray` at the pointer. A chosen item arrives as
  // its click event after this returns or while it runs.
  virtual void PopupTrayMenu() = 0;
  // Shows or removes the hourglass while a long synchronous task runs.
  virtual void SetWaitCursor(bool busy) = 0;
  // Modal box with one OK button, captioned `caption`.
  virtual void ShowMessage(std::wstring_view text, std::wstring_view caption, MessageIcon icon) = 0;
};

// Shows the wait cursor for the life of the guard.
class WaitCursor {
 public:
  explicit WaitCursor(MainWindow& window) : window_(window) { window_.SetWaitCursor(true); }
  ~WaitCursor() { window_.SetWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  MainWindow& window_;
};

}  // namespace quellnet::platform
