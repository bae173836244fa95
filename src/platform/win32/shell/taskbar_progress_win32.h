// The progress of long work on the window's taskbar button, where the
// taskbar can show one (Windows 7 and later). The taskbar's interface is
// made at the first use after the taskbar has announced the window's button;
// older systems never announce it, so there nothing is loaded or changed.
#pragma once

#include <memory>

#include <windows.h>

struct ITaskbarList3;

namespace quellnet::platform::win32 {

class TaskbarProgress {
 public:
  TaskbarProgress();
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  // The registered message by which the taskbar announces a window's
  // button; 0 when it could not be registered.
  UINT ButtonCreatedMessage() const { return button_created_; }
  // The taskbar announced `window`'s button (again, after a restart of it).
  void ButtonCreated() { button_ = true; }
  // Shows `done` (0 to 1) of the work on the button.
  void Show(HWND window, double done);
  // Takes the progress off the button.
  void Clear(HWND window);

 private:
  bool Ready();

  struct Releaser {
    void operator()(ITaskbarList3* list) const;
  };
  UINT button_created_ = 0;
  bool button_ = false;
  bool tried_ = false;
  std::unique_ptr<ITaskbarList3, Releaser> list_;
  // The last value shown, in thousandths; -1 when none is shown.
  int shown_ = -1;
};

}  // namespace quellnet::platform::win32
