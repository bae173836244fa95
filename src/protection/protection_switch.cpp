#include "protection/protection_switch.h"

namespace quellnet::protection {

ProtectionSwitch::ProtectionSwitch(platform::CheckBox& chkmess, platform::Label& Label2,
                                   platform::PictureBox& Picture1, platform::MainWindow& window,
                                   platform::ServiceControl& services, platform::Shell& shell)
    : chkmess_(chkmess),
      Label2_(Label2),
      Picture1_(Picture1),
      window_(window),
      services_(services),
      shell_(shell) {}

void ProtectionSwitch::OnClick() {}

}  // namespace quellnet::protection
