// The main window while long work runs on its thread (a cleaner, a service
// that is slow to stop): disabled and showing the hourglass, but handling
// its messages between two steps of the work, as a modal loop does, so that
// it repaints, the tray icon answers and the end of the session is honoured.
#include "platform/win32/window/main_window_win32.h"

namespace quellnet::platform::win32 {
namespace {

// How often long work lets the window handle its messages: often enough
// that no message waits noticeably, seldom enough to cost the work nothing.
constexpr DWORD kTurnIntervalMs = 20;

}  // namespace

void TableMainWindow::SetBusy(bool busy) {
  if (busy) {
    if (busy_depth_++ == 0 && window_ != nullptr) {
      // Disabling takes the focus away; it comes back when the work is done.
      KeepFocus();
      // The result is the previous state, not a failure.
      ::EnableWindow(window_, FALSE);
      last_turn_ = ::GetTickCount();
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return;
  }
  if (busy_depth_ > 0 && --busy_depth_ == 0) {
    taskbar_.Clear(window_);
    if (window_ != nullptr) {
      ::EnableWindow(window_, TRUE);
      GiveFocusBack();
    }
    // The next move of the pointer sets the right cursor for where it is.
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    CloseIfAsked();
  }
}

bool TableMainWindow::KeepResponding(double done) {
  // The tick count is cheap to read; the queue is looked at only now and
  // then. Unsigned arithmetic keeps this right when the count wraps.
  const DWORD now = ::GetTickCount();
  if (now - last_turn_ >= kTurnIntervalMs) {
    last_turn_ = now;
    taskbar_.Show(window_, done);
    HandlePending();
  }
  // A close waits for the work, which stops before its next step: a
  // cleaning leaves nothing half done between two files.
  return !unload_started_ && !close_pending_;
}

bool TableMainWindow::WaitResponding(DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    HandlePending();
    // Only the end of the session cuts a wait short. A close waits for its
    // end: the service's answer decides what the switch shows and saves.
    if (unload_started_) {
      return false;
    }
    const DWORD waited = ::GetTickCount() - start;
    if (waited >= milliseconds) {
      return true;
    }
    // Wakes at the next message or when the time is up; a failed wait
    // (WAIT_FAILED) only shortens the wait, which the loop makes up for.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - waited, QS_ALLINPUT);
  }
}

void TableMainWindow::HandlePending() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Put back for the message loop, which ends when the work is over.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (IsInputToWindow(message)) {
      continue;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

bool TableMainWindow::IsInputToWindow(const MSG& message) const {
  const UINT kind = message.message;
  const bool input = (kind >= WM_KEYFIRST && kind <= WM_KEYLAST) ||
                     (kind >= WM_MOUSEFIRST && kind <= WM_MOUSELAST) ||
                     (kind >= WM_NCMOUSEMOVE && kind <= WM_NCXBUTTONDBLCLK);
  return input && window_ != nullptr &&
         (message.hwnd == window_ || ::IsChild(window_, message.hwnd));
}

}  // namespace quellnet::platform::win32
