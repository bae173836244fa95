// The program's icon in the notification area.
#pragma once

#include <cstdint>

namespace quellnet::platform {

// Mouse message codes a notification from the icon reports, as the window's
// TrayIconNotified event passes them on: Windows' own WM_LBUTTONDBLCLK and
// WM_RBUTTONUP, to which the Win32 window holds them.
inline constexpr std::uint32_t kTrayLeftButtonDoubleClick = 0x203;
inline constexpr std::uint32_t kTrayRightButtonUp = 0x205;

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  // Asks the shell to add the icon (the window's icon, tip the program's title,
  // notifications to the main window). True when the icon is in the
  // notification area afterwards, whether this call added it or it was
  // already there; adding an icon that is already there never makes a
  // second one. False when the shell refused or there is no notification
  // area.
  virtual bool Add() = 0;
  // Removes the icon; false when there was none.
  virtual bool Remove() = 0;
};

}  // namespace quellnet::platform
