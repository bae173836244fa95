// The main window's controls behind the contracts the logic uses. Each wraps
// a child window that the main window creates and owns.
#pragma once

#include <functional>
#include <span>
#include <string>

#include <windows.h>

#include "platform/controls.h"
#include "platform/window_layout.h"
#include "platform/win32/window/main_window_picture_win32.h"

namespace quellnet::platform::win32 {

// A check box made with BS_3STATE: the button never changes its own state,
// so a user's click and a set from code both pass through here and raise
// the click the same way.
class Win32CheckBox final : public CheckBox {
 public:
  // `on_click` runs after every change of the value; it may be empty.
  void Attach(HWND box, std::function<void()> on_click);

  CheckValue Value() const override;
  bool SetValue(int value) override;

  // The button reported a click by mouse or keyboard: 1 becomes 0, anything
  // else 1, and the click is raised.
  void OnUserClick();

 private:
  HWND box_ = nullptr;
  std::function<void()> on_click_;
};

// A label whose caption changes announces its new text to screen readers.
class Win32Label final : public Label {
 public:
  void Attach(HWND label) { label_ = label; }
  void SetCaption(std::wstring_view caption) override;

 private:
  HWND label_ = nullptr;
};

class Win32TextBox final : public TextBox {
 public:
  void Attach(HWND box) { box_ = box; }
  void SetText(std::wstring_view text) override;

 private:
  HWND box_ = nullptr;
};

// An owner-drawn static control that shows a picture at its natural size in
// its top-left corner, clipped to the control, on the button-face colour.
// Its text, never drawn, names what the picture shows for screen readers:
// the name `names` give the picture's file, empty for any other picture and
// for none, and a change of it is announced.
class Win32PictureBox final : public PictureBox {
 public:
  void Attach(HWND box, std::span<const layout::PictureName> names = {}) {
    box_ = box;
    names_ = names;
  }

  bool LoadPicture(const std::wstring& path) override;
  void Clear() override;

  // Shows `picture`; false (and no change) when it is empty.
  bool Show(Picture picture);
  // Paints the control for WM_DRAWITEM, the picture at `dpi`.
  void Draw(const DRAWITEMSTRUCT& item, int dpi) const;

 private:
  HWND box_ = nullptr;
  std::span<const layout::PictureName> names_;
  Picture picture_;
};

}  // namespace quellnet::platform::win32
