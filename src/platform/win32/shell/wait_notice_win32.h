// A small window that says why a start waits for the copy that is already
// running: it has no buttons and no close box, since the wait ends by
// itself, and goes when its owner is destroyed.
#pragma once

#include <string_view>

#include "platform/win32/system/handles.h"

namespace quellnet::platform::win32 {

class WaitNotice {
 public:
  // Shows the window, of class `class_name` and titled `title`, in the
  // middle of the work area. When it can't be made the wait goes on unseen.
  WaitNotice(std::wstring_view class_name, std::wstring_view title, std::wstring_view text);
  ~WaitNotice();
  WaitNotice(const WaitNotice&) = delete;
  WaitNotice& operator=(const WaitNotice&) = delete;

  void SetText(std::wstring_view text);

 private:
  HWND window_ = nullptr;
  HWND label_ = nullptr;
  UniqueGdiObject font_;  // empty when the label keeps the system font
};

}  // namespace quellnet::platform::win32
