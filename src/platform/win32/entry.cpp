// Program entry: creates the main window and the Win32 side of every
// contract, hands them to the window's logic, loads the window, shows it and
// runs the message loop until the window is unloaded.
#include <memory>
#include <optional>

#include "platform/app_info.h"
#include "app/form1.h"
#include "platform/win32/factories.h"
#include "platform/form1_ids.h"
#include "platform/win32/main_window_win32.h"
#include "platform/win32/single_instance.h"

// After <windows.h>.
#include <commctrl.h>

namespace {

using namespace quellnet;

// The only message of the program's own besides the cleaners' notices: it
// can't start at all.
int FailStart(const wchar_t* what) {
  const std::wstring title(platform::kApplicationTitle);
  ::MessageBoxW(nullptr, what, title.c_str(), MB_OK | MB_ICONERROR);
  return 1;
}

int RunMessageLoop(platform::win32::Form1Window& window) {
  MSG message;
  for (;;) {
    const BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
    if (result == 0) {
      return static_cast<int>(message.wParam);  // WM_QUIT
    }
    if (result == -1) {
      return 1;  // the queue is unusable; nothing more can happen
    }
    if (!window.PreTranslate(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  namespace win32 = platform::win32;

  // One running copy per session. A second start brings the running copy's
  // window back and ends here, before it touches the service, the options
  // or the notification area.
  const std::optional<win32::InstanceLock> instance_lock = win32::ClaimSingleInstance();
  if (!instance_lock) {
    return 0;
  }

  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  // On failure the tab control's class may be missing; creating the window
  // then fails and says so.
  ::InitCommonControlsEx(&controls);

  std::unique_ptr<win32::Form1Window> window = win32::Form1Window::Create(instance);
  if (!window) {
    return FailStart(L"Quellnet could not create its window.");
  }
  HWND handle = window->Handle();

  std::unique_ptr<platform::Registry> registry = win32::CreateRegistry();
  std::unique_ptr<platform::ServiceControl> services = win32::CreateServiceControl(
      [&window](DWORD milliseconds) { return window->WaitResponding(milliseconds); });
  std::unique_ptr<platform::FileSystem> files = win32::CreateFileSystem();
  std::unique_ptr<platform::Shell> shell = win32::CreateShell(handle);
  std::unique_ptr<platform::Network> network = win32::CreateNetwork();
  std::unique_ptr<platform::TrayIcon> tray_icon =
      win32::CreateTrayIcon(handle, platform::kTrayCallbackMessage, window->TrayIcon());
  if (!registry || !services || !files || !shell || !network || !tray_icon) {
    return FailStart(L"Quellnet could not prepare its access to Windows.");
  }

  app::Form1 form(
      app::Form1Controls{*window, window->chkmess(), window->chkStartup(), window->chkHideOnStart(),
                         window->Label2(), window->Text1(), window->Picture1()},
      app::Form1Platform{*registry, *services, *files, *shell, *network, *tray_icon});
  window->SetEvents(&form);

  // The load runs while the window is still hidden; it may already have
  // unloaded it.
  window->Load();
  if (window->Handle() == nullptr) {
    window->SetEvents(nullptr);
    return 0;
  }
  window->Show();
  const int exit_code = RunMessageLoop(*window);
  window->SetEvents(nullptr);
  return exit_code;
}
