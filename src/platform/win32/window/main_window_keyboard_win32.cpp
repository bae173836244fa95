// The main window and the keyboard: the pages, the keys that turn them, and
// the keyboard focus, which comes back to the control that had it whenever
// the window does.
#include "platform/win32/window/main_window_win32.h"

// After <windows.h>.
#include <commctrl.h>

namespace quellnet::platform::win32 {
namespace {

using layout::ControlLayout;

bool IsOnPage(const ControlLayout& layout, int page) {
  return layout.page != layout::kNoPage && layout.page == page;
}

bool IsDown(int virtual_key) {
  return ::GetKeyState(virtual_key) < 0;
}

// The page a key press turns to from `page`, +1 or -1; 0 for a press that
// turns no page. Ctrl+Tab and Ctrl+PageDown go to the next page, Ctrl+Shift+
// Tab and Ctrl+PageUp to the one before, as in every tabbed dialog of Windows.
int PageStep(const MSG& message) {
  if (message.message != WM_KEYDOWN || !IsDown(VK_CONTROL) || IsDown(VK_MENU)) {
    return 0;
  }
  switch (message.wParam) {
    case VK_TAB:
      return IsDown(VK_SHIFT) ? -1 : 1;
    case VK_NEXT:
      return 1;
    case VK_PRIOR:
      return -1;
    default:
      return 0;
  }
}

}  // namespace

bool TableMainWindow::PreTranslate(MSG& message) {
  if (window_ == nullptr || (message.hwnd != window_ && !::IsChild(window_, message.hwnd))) {
    return false;
  }
  if (const int step = PageStep(message)) {
    TurnPage(step);
    return true;
  }
  // Tab between the controls and the tab strip's arrows. Esc arrives as
  // IDCANCEL, which no command of the window answers: the window has nothing
  // to cancel, and its close box ends the program rather than hiding it.
  return ::IsDialogMessageW(window_, &message) != FALSE;
}

int TableMainWindow::CurrentPage() const {
  const auto page = static_cast<int>(::SendMessageW(Control(tab_id_), TCM_GETCURSEL, 0, 0));
  return page < 0 ? 0 : page;
}

void TableMainWindow::TurnPage(int step) {
  const int pages = static_cast<int>(layout_.pages.size());
  if (pages == 0) {
    return;
  }
  const int page = (CurrentPage() + step + pages) % pages;
  HWND tab = Control(tab_id_);
  const bool on_tab_strip = ::GetFocus() == tab;
  ::SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  ShowPage(page);
  // The focus stays on the tab strip; from a page it moves on to the new one.
  if (!on_tab_strip) {
    ::SetFocus(FirstStopOn(page));
  }
}

HWND TableMainWindow::FirstStopOn(int page) const {
  // The table lists the stops in the Tab key's order.
  for (const ControlLayout& layout : layout_.controls) {
    if (layout.tab_stop && IsOnPage(layout, page)) {
      return Control(layout.id);
    }
  }
  return Control(tab_id_);
}

void TableMainWindow::ShowPage(int page) {
  // Hide first, so two pages never show at once.
  for (const ControlLayout& layout : layout_.controls) {
    if (layout.page != layout::kNoPage && !IsOnPage(layout, page)) {
      ::ShowWindow(Control(layout.id), SW_HIDE);
    }
  }
  for (const ControlLayout& layout : layout_.controls) {
    if (IsOnPage(layout, page)) {
      ::ShowWindow(Control(layout.id), SW_SHOWNA);
    }
  }
  // The focus never stays on a control that can no longer be seen.
  HWND focused = ::GetFocus();
  if (focused != nullptr && ::IsChild(window_, focused) && !::IsWindowVisible(focused)) {
    ::SetFocus(Control(tab_id_));
  }
}

void TableMainWindow::KeepFocus() {
  HWND focused = ::GetFocus();
  if (focused != nullptr && ::IsChild(window_, focused)) {
    focus_ = focused;
  }
}

void TableMainWindow::GiveFocusBack() {
  // Windows activates the window, and gives it the focus, while it is still
  // hidden or minimised when the tray menu opens or a restore brings it
  // forward before showing it; the focus then stays on the window itself,
  // since no control of it can take it, and no new WM_SETFOCUS comes when
  // it is shown. So this runs at WM_SETFOCUS and again after each show.
  if (window_ == nullptr || ::GetActiveWindow() != window_ || !::IsWindowVisible(window_) ||
      ::IsIconic(window_) || !::IsWindowEnabled(window_)) {
    return;
  }
  HWND focused = ::GetFocus();
  if (focused != nullptr && focused != window_) {
    return;  // a control has it already
  }
  HWND target = focus_;
  if (target == nullptr || !::IsChild(window_, target) || !::IsWindowVisible(target) ||
      !::IsWindowEnabled(target)) {
    target = FirstStopOn(CurrentPage());
  }
  ::SetFocus(target);
}

}  // namespace quellnet::platform::win32
