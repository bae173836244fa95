#include "tray/tray_presence.h"

namespace quellnet::tray {

TrayPresence::TrayPresence(platform::MainWindow& window, platform::TrayIcon& icon)
    : window_(window), icon_(icon) {}

void TrayPresence::AddIcon() {}
void TrayPresence::OnResize() {}
void TrayPresence::OnNotify(std::uint32_t) {}
void TrayPresence::OnAreaRecreated() {}
void TrayPresence::Restore() {}

}  // namespace quellnet::tray
