#include "platform/win32/window/main_window_win32.h"

namespace quellnet::platform::win32 {

void TableMainWindow::Load() {
  Raise(&WindowEvents::Loaded);
}

WindowState TableMainWindow::State() const {
  return window_ != nullptr && ::IsIconic(window_) ? WindowState::kMinimized : WindowState::kNormal;
}

void TableMainWindow::SetState(WindowState state) {
  const unsigned before = resizes_;
  if (window_ != nullptr) {
    // Shows the window as well when it is hidden, as a change of state does.
    ::ShowWindow(window_, state == WindowState::kMinimized ? SW_MINIMIZE : SW_RESTORE);
    GiveFocusBack();
  }
  // A window already in that state gets no WM_SIZE; the resize is raised
  // all the same, and always before this returns.
  if (resizes_ == before) {
    Raise(&WindowEvents::Resized);
  }
}

void TableMainWindow::Show() {
  if (window_ != nullptr) {
    ::ShowWindow(window_, SW_SHOW);
    GiveFocusBack();
  }
}

void TableMainWindow::Hide() {
  // A hidden top-level window has no taskbar button.
  if (window_ != nullptr) {
    ::ShowWindow(window_, SW_HIDE);
  }
}

void TableMainWindow::Unload() {
  UnloadFor(UnloadReason::kClose);
}

void TableMainWindow::UnloadFor(UnloadReason reason) {
  // Once only, whether by the close box, the tray menu or the end of the
  // session, and even when one of them arrives during the unload itself.
  if (unload_started_) {
    return;
  }
  // Long work (a cleaning, a wait for the service) runs in a handler that
  // lets the window take its messages. A close then waits until that handler
  // has returned: saved now, the protection switch would be saved before its
  // outcome is known, and the unload's message would open inside the work.
  if (reason == UnloadReason::kClose && busy_depth_ > 0) {
    close_pending_ = true;
    return;
  }
  unload_started_ = true;
  close_pending_ = false;
  // At the end of the session the options are saved at once, even during
  // long work: the process may be ended as soon as this returns.
  Raise(&WindowEvents::Unloading, reason);
  unloaded_ = true;
  if (busy_depth_ > 0 && handler_depth_ > 0) {
    // The busy handler still uses the window; it stops at its next turn,
    // and the window goes once it has returned.
    destroy_pending_ = true;
    return;
  }
  Destroy();
}

void TableMainWindow::CloseIfAsked() {
  if (close_pending_ && busy_depth_ == 0 && handler_depth_ == 0) {
    UnloadFor(UnloadReason::kClose);
  }
}

void TableMainWindow::Destroy() {
  // WM_DESTROY ends the message loop; if the window can't be destroyed the
  // program ends all the same.
  if (window_ == nullptr || !::DestroyWindow(window_)) {
    ::PostQuitMessage(0);
  }
}

bool TableMainWindow::SetForeground() {
  return window_ != nullptr && ::SetForegroundWindow(window_) != FALSE;
}

void TableMainWindow::PopupTrayMenu() {
  HMENU popup = ::GetSubMenu(tray_menu_.Get(), 0);
  // No menu during long work: its modal loop would hold the work up until
  // the menu closed. The right-click goes unanswered, as clicks on the busy
  // window do.
  if (window_ == nullptr || popup == nullptr || busy_depth_ > 0) {
    return;
  }
  POINT at = {};
  if (!::GetCursorPos(&at)) {
    // Where the pointer was when the tray's message was sent.
    const DWORD position = ::GetMessagePos();
    at.x = static_cast<short>(LOWORD(position));
    at.y = static_cast<short>(HIWORD(position));
  }
  // The menu closes on a click elsewhere only when its window is in the
  // foreground; refused, the menu opens all the same.
  ::SetForegroundWindow(window_);
  // A chosen item arrives as WM_COMMAND; nothing chosen is no error.
  ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
  // Without a message after the menu, the next opening would not close on a
  // click elsewhere. A failed post costs only that.
  ::PostMessageW(window_, WM_NULL, 0, 0);
}

void TableMainWindow::ShowMessage(std::wstring_view text, MessageIcon icon) {
  // The only answer is OK; a box that could not be shown has nothing to
  // report either.
  AskUser(text, icon, MB_OK);
}

bool TableMainWindow::AskRetry(std::wstring_view text, MessageIcon icon) {
  // A box that could not be shown, or was taken down by the end of the
  // program, counts as Cancel: nothing is tried again without the user.
  return AskUser(text, icon, MB_RETRYCANCEL) == IDRETRY && !unloaded_;
}

int TableMainWindow::AskUser(std::wstring_view text, MessageIcon icon, UINT buttons) {
  // Once the window is unloaded (work that was running when the session
  // ended goes on to its end) nobody is left to tell, and a box would hold
  // up the end. Work that a close waits for asks nothing more either: it
  // ends as after Cancel, and the close follows.
  if (unloaded_ || close_pending_) {
    return 0;
  }
  UINT flags = buttons;
  switch (icon) {
    case MessageIcon::kInformation:
      flags |= MB_ICONINFORMATION;
      break;
    case MessageIcon::kWarning:
      flags |= MB_ICONWARNING;
      break;
    case MessageIcon::kNone:
      break;
  }
  const std::wstring terminated_text(text);
  const std::wstring terminated_caption(layout_.message_caption);
  return ::MessageBoxW(window_, terminated_text.c_str(), terminated_caption.c_str(), flags);
}

}  // namespace quellnet::platform::win32
