// The installer package's helper for what Windows Installer can't do itself.
// It is stored in the package (Binary table) and run from there; it is never
// installed. See packaging/quellnet.wxs and packaging/after-wixl.sql for
// where the package runs it.
//
//   msi_helper close-program UILEVEL
//       Closes the running Quellnet the normal way and waits for its end
//       (close_program.h). Exit code 0 when none runs any more, 1 when one
//       still runs after the wait: the package then stops before it changes
//       anything. With an interactive installer (UILEVEL 4 or 5) the user is
//       told and may close it and retry; a silent one (/qn, UILEVEL 2) must
//       never wait for a click.
//   msi_helper forget-run-entry PROGRAM
//       Removes the run-at-logon value of PROGRAM once that file is gone
//       (forget_run_entry.h). Exit code 0 unless the Run key could not be
//       read or changed.
//
// Exit code 2 on wrong use. A Windows program (no console): a console
// window would flash up during the installation.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "close_program.h"
#include "forget_run_entry.h"

namespace {

using namespace quellnet::packaging;

// Long enough for the unload to write its options on a loaded machine.
constexpr unsigned long kCloseWaitMs = 30000;
constexpr int kFirstInteractiveUiLevel = 4;  // msidbUILevelReduced; 5 is full

int CloseProgram(int ui_level) {
  while (!CloseRunningQuellnet(kCloseWaitMs)) {
    if (ui_level < kFirstInteractiveUiLevel) {
      return 1;
    }
    const int answer = ::MessageBoxW(
        nullptr,
        L"Quellnet is still running and did not close.\n\n"
        L"Close it (right-click its tray icon, \"Close Quellnet\"), then choose Retry.",
        L"Quellnet Setup", MB_RETRYCANCEL | MB_ICONWARNING | MB_SETFOREGROUND);
    // 0: the box could not be shown; as good as Cancel.
    if (answer != IDRETRY) {
      return 1;
    }
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const int argc = __argc;
  wchar_t** const argv = __wargv;
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  if (command == L"close-program" && argc == 3) {
    return CloseProgram(_wtoi(argv[2]));
  }
  if (command == L"forget-run-entry" && argc == 3) {
    return ForgetRunEntry(argv[2]) == ForgetResult::kFailed ? 1 : 0;
  }
  return 2;
}
