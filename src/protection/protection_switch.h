// The protection switch `chkmess`: stops or starts the Messenger service and
// shows the status picture and caption.
#pragma once

#include "platform/controls.h"
#include "platform/main_window.h"
#include "platform/service_control.h"
#include "platform/shell.h"

namespace quellnet::protection {

class ProtectionSwitch {
 public:
  ProtectionSwitch(platform::CheckBox& chkmess, platform::Label& Label2,
                   platform::PictureBox& Picture1, platform::MainWindow& window,
                   platform::ServiceControl& services, platform::Shell& shell);

  void OnClick();

 private:
  platform::CheckBox& chkmess_;
  platform::Label& Label2_;
  platform::PictureBox& Picture1_;
  platform::MainWindow& window_;
  platform::ServiceControl& services_;
  platform::Shell& shell_;
};

}  // namespace quellnet::protection
