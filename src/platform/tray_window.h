// The main window as the tray sees it: its state, showing and hiding, the
// foreground and the tray's pop-up menu.
#pragma once

namespace quellnet::platform {

enum class WindowState { kNormal = 0, kMinimized = 1 };

class TrayWindow {
 public:
  virtual ~TrayWindow() = default;

  virtual WindowState State() const = 0;
  // Raises the window's resize notification before it returns.
  virtual void SetState(WindowState state) = 0;
  virtual void Show() = 0;
  // Hidden windows have no taskbar button; the program keeps running.
  virtual void Hide() = 0;
  // Result is informational; callers may ignore it.
  virtual bool SetForeground() = 0;
  // Opens the tray's pop-up menu at the pointer. A chosen item arrives as
  // its click event after this returns or while it runs. Nothing opens while
  // the window is busy: the menu would hold the work up.
  virtual void PopupTrayMenu() = 0;
};

}  // namespace quellnet::platform
