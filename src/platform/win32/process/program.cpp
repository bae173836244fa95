// The program's run: creates the main window and the Win32 side of every
// contract, hands them to the application, loads the window, shows it and
// runs the message loop until the window is unloaded.
#include "platform/win32/process/program.h"

#include <optional>

#include <string>

#include "platform/system_error.h"
#include "platform/win32/process/factories.h"
#include "platform/win32/window/main_window_win32.h"
#include "platform/win32/window/private_messages.h"
#include "platform/win32/process/single_instance.h"

// After <windows.h>.
#include <commctrl.h>

namespace quellnet::platform::win32 {
namespace {

// The only message of the program's own besides the cleaners' notices: it
// can't start at all, and why, in the system's words, where it said why.
int FailStart(std::wstring_view program_title, std::wstring_view what, DWORD error = 0) {
  std::wstring text(what);
  if (error != 0) {
    text += L"\n\n" + SystemErrorText(error);
  }
  const std::wstring title(program_title);
  ::MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
  return 1;
}

int RunMessageLoop(TableMainWindow& window) {
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

int RunProgram(const ProgramLook& look, const BuildApplication& build) {
  // One running copy per session. A second start brings the running copy's
  // window back and ends here, before it touches the service, the options
  // or the notification area.
  const std::optional<InstanceLock> instance_lock =
      ClaimSingleInstance(look.window.class_name, look.title, look.instance);
  if (!instance_lock) {
    return 0;
  }

  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  // On failure the tab control's class may be missing; creating the window
  // then fails and says so.
  ::InitCommonControlsEx(&controls);

  DWORD window_error = 0;
  std::unique_ptr<TableMainWindow> window =
      TableMainWindow::Create(::GetModuleHandleW(nullptr), look.window, window_error);
  if (!window) {
    return FailStart(look.title, look.cannot_create_window, window_error);
  }
  HWND handle = window->Handle();

  std::unique_ptr<Registry> registry = CreateRegistry();
  std::unique_ptr<ServiceControl> services = CreateServiceControl(
      [&window](DWORD milliseconds) { return window->WaitResponding(milliseconds); });
  std::unique_ptr<FileSystem> files = CreateFileSystem();
  std::unique_ptr<Shell> shell = CreateShell(handle);
  std::unique_ptr<Network> network = CreateNetwork();
  std::unique_ptr<TrayIcon> tray_icon =
      CreateTrayIcon(handle, kTrayCallbackMessage, window->TrayIcon(), look.title);

  const std::unique_ptr<WindowEvents> application = build(
      ProgramParts{*window, *window, *registry, *services, *files, *shell, *network, *tray_icon});
  if (!application) {
    return FailStart(look.title, look.cannot_prepare_access);
  }
  window->SetEvents(application.get());

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

}  // namespace quellnet::platform::win32
