#include "tray/tray_presence.h"

namespace quellnet::tray {

using platform::WindowState;

TrayPresence::TrayPresence(platform::TrayWindow& window, platform::TrayIcon& icon)
    : window_(window), icon_(icon) {}

void TrayPresence::AddIcon() {
  // A refused add is not shown to the user; the next minimise or a recreated
  // notification area tries again.
  icon_.Add();
}

void TrayPresence::OnResize() {
  if (window_.State() != WindowState::kMinimized) {
    return;
  }
  // Adding again is harmless while the icon is there and brings it back if
  // the notification area lost it. Without an icon now (no shell, or
  // Explorer restarting), hiding would leave the user no way back, so the
  // window stays minimised on the taskbar.
  if (!icon_.Add()) {
    return;
  }
  window_.Hide();
}

void TrayPresence::OnNotify(std::uint32_t mouse_message) {
  switch (mouse_message) {
    case kLeftButtonDoubleClick:
      Restore();
      break;
    case kRightButtonUp:
      // The menu must belong to the foreground window, or it stays open
      // when the user clicks elsewhere. The result is of no use here.
      window_.SetForeground();
      window_.PopupTrayMenu();
      break;
    default:
      // Pointer movement, single clicks and the right button going down
      // do nothing.
      break;
  }
}

void TrayPresence::OnAreaRecreated() {
  icon_.Add();
}

void TrayPresence::Restore() {
  window_.SetState(WindowState::kNormal);
  // Windows may refuse the foreground; the window is shown all the same.
  window_.SetForeground();
  window_.Show();
}

void TrayPresence::RemoveIcon() {
  // Nothing is left to do when there was no icon.
  icon_.Remove();
}

}  // namespace quellnet::tray
