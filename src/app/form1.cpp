#include "app/form1.h"

#include "app/app_info.h"
#include "app/web_address.h"

namespace quellnet::app {

Form1::Form1(const Form1Controls& controls, const Form1Platform& platform)
    : controls_(controls),
      platform_(platform),
      settings_(platform.registry),
      tray_(controls.window, platform.tray_icon),
      protection_(controls.chkmess, controls.Label2, controls.Picture1, controls.window,
                  controls.window, platform.services, platform.shell),
      cache_cleaner_(cleaners::kCacheJob, controls.window, controls.window, platform.registry,
                     platform.files),
      cookie_cleaner_(cleaners::kCookieJob, controls.window, controls.window, platform.registry,
                      platform.files) {}

void Form1::Form_Resize() {
  tray_.OnResize();
}
void Form1::chkmess_Click() {
  protection_.OnClick();
}
void Form1::Command1_Click() {
  cache_cleaner_.Run();
}
void Form1::Command2_Click() {
  cookie_cleaner_.Run();
}
void Form1::Label3_Click() {
  platform_.shell.Open(kWebAddress);
}
void Form1::mnuopen_Click() {
  tray_.Restore();
}
void Form1::mnuclose_Click() {
  controls_.window.Unload();
}
void Form1::TrayIcon_Notify(std::uint32_t mouse_message) {
  tray_.OnNotify(mouse_message);
}
void Form1::TrayIcon_AreaRecreated() {
  tray_.OnAreaRecreated();
}
void Form1::Instance_Activate() {
  tray_.Restore();
}

}  // namespace quellnet::app
