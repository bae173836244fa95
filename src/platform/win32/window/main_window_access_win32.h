// What screen readers learn about the main window's controls beyond what the
// system finds itself from their classes and texts: the banner and the
// status picture are pictures, the web address is a link, and the address
// field is named by its label. Told through the system's accessibility
// properties (dynamic annotation, Active Accessibility 2.0, XP on); where
// the system has none of it, the controls keep what the system tells.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include <windows.h>

#include "platform/window_layout.h"

struct IAccPropServices;

namespace quellnet::platform::win32 {

class ControlAnnotations {
 public:
  ControlAnnotations() = default;
  ~ControlAnnotations();
  ControlAnnotations(const ControlAnnotations&) = delete;
  ControlAnnotations& operator=(const ControlAnnotations&) = delete;

  // Tells the roles and names of `controls`, children of `window` by their
  // ids. Once: a second call changes nothing.
  void Annotate(HWND window, std::span<const layout::ControlLayout> controls);
  // Takes every annotation off again; before the controls are destroyed.
  void Clear();

 private:
  struct Releaser {
    void operator()(IAccPropServices* services) const;
  };
  bool tried_ = false;
  std::unique_ptr<IAccPropServices, Releaser> services_;
  std::vector<HWND> annotated_;
};

}  // namespace quellnet::platform::win32
