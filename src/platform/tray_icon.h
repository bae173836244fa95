// The program's icon in the notification area.
#pragma once

namespace quellnet::platform {

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  // Asks the shell to add the icon (the window's icon, tip "Quellnet",
  // notifications to the main window). False when the shell refused; adding
  // an icon that is already there changes nothing.
  virtual bool Add() = 0;
  // Removes the icon; false when there was none.
  virtual bool Remove() = 0;
};

}  // namespace quellnet::platform
