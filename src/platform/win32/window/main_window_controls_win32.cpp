#include "platform/win32/window/main_window_controls_win32.h"

#include <utility>

namespace quellnet::platform::win32 {

namespace {

void ReplaceText(HWND window, std::wstring_view text) {
  const std::wstring terminated(text);
  // Fails only for a window that is gone, when there is nothing to show.
  ::SetWindowTextW(window, terminated.c_str());
}

// Gives `control` the text `name` and, when that changes it, tells screen
// readers that the control's name changed (the system tells it only for the
// window, not for the control's content that they read).
void Rename(HWND control, std::wstring_view name) {
  std::wstring now(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  now.resize(static_cast<std::size_t>(
      ::GetWindowTextW(control, now.data(), static_cast<int>(now.size()))));
  if (now == name) {
    return;
  }
  ReplaceText(control, name);
  ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

// The file name at the end of `path`.
std::wstring_view FileNameOf(std::wstring_view path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

}  // namespace

void Win32CheckBox::Attach(HWND box, std::function<void()> on_click) {
  box_ = box;
  on_click_ = std::move(on_click);
}

CheckValue Win32CheckBox::Value() const {
  switch (::SendMessageW(box_, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
      return 1;
    case BST_INDETERMINATE:
      return 2;
    default:
      return 0;
  }
}

bool Win32CheckBox::SetValue(int value) {
  if (value < 0 || value > 2) {
    return false;
  }
  if (value == Value()) {
    return true;
  }
  // BST_UNCHECKED, BST_CHECKED and BST_INDETERMINATE are 0, 1 and 2, the
  // option states themselves. BM_SETCHECK raises no click of its own.
  ::SendMessageW(box_, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  if (on_click_) {
    on_click_();
  }
  return true;
}

void Win32CheckBox::OnUserClick() {
  SetValue(Value() == 1 ? 0 : 1);
}

void Win32Label::SetCaption(std::wstring_view caption) {
  Rename(label_, caption);
}

void Win32TextBox::SetText(std::wstring_view text) {
  ReplaceText(box_, text);
}

bool Win32PictureBox::LoadPicture(const std::wstring& path) {
  if (!Show(Picture::FromFile(path))) {
    return false;
  }
  std::wstring_view name;
  for (const layout::PictureName& known : names_) {
    if (::lstrcmpiW(std::wstring(known.file).c_str(), std::wstring(FileNameOf(path)).c_str()) ==
        0) {
      name = known.name;
    }
  }
  Rename(box_, name);
  return true;
}

void Win32PictureBox::Clear() {
  picture_ = Picture();
  // A control that is gone needs no repaint.
  ::InvalidateRect(box_, nullptr, TRUE);
  Rename(box_, L"");
}

bool Win32PictureBox::Show(Picture picture) {
  if (picture.IsEmpty()) {
    return false;
  }
  picture_ = std::move(picture);
  ::InvalidateRect(box_, nullptr, TRUE);
  return true;
}

void Win32PictureBox::Draw(const DRAWITEMSTRUCT& item, int dpi) const {
  // The control's own DC is clipped to the control, so a picture larger than
  // the box shows only its top-left part.
  ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
  picture_.Draw(item.hDC, item.rcItem.left, item.rcItem.top, dpi);
}

}  // namespace quellnet::platform::win32
