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
//   msi_helper prepare-upgrade UILEVEL
//       Does what close-program does, then saves the options, the
//       run-at-logon value and how the closed Quellnet ran (upgrade_handover.h).
//       Exit code 1 also when they could not be saved.
//   msi_helper finish-upgrade PROGRAM
//       Puts back what prepare-upgrade saved and, when it closed a running
//       Quellnet, starts PROGRAM, hidden in the tray if it ran hidden
//       (start_program.h). Exit code 1 when something could not be put back
//       or started.
//   msi_helper forget-run-entry PROGRAM
//       Removes the run-at-logon value when it starts PROGRAM
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
#include "start_program.h"
#include "upgrade_handover.h"

namespace {

using namespace quellnet::packaging;

// Long enough for the unload to write its options on a loaded machine.
constexpr unsigned long kCloseWaitMs = 30000;
constexpr int kFirstInteractiveUiLevel = 4;  // msidbUILevelReduced; 5 is full

bool CloseProgram(int ui_level, ClosedProgram& closed) {
  while (!CloseRunningQuellnet(kCloseWaitMs, closed)) {
    if (ui_level < kFirstInteractiveUiLevel) {
      return false;
    }
    const int answer = ::MessageBoxW(
        nullptr,
        L"Quellnet is still running and did not close.\n\n"
        L"Close it (right-click its tray icon, \"Close Quellnet\"), then choose Retry.",
        L"Quellnet Setup", MB_RETRYCANCEL | MB_ICONWARNING | MB_SETFOREGROUND);
    // 0: the box could not be shown; as good as Cancel.
    if (answer != IDRETRY) {
      return false;
    }
  }
  return true;
}

int FinishUpgrade(const std::wstring& program) {
  bool restored = false;
  const ClosedProgram closed = RestoreAfterUpgrade(restored);
  const bool started =
      closed == ClosedProgram::kNone || StartProgram(program, closed == ClosedProgram::kHidden);
  return restored && started ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const int argc = __argc;
  wchar_t** const argv = __wargv;
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  ClosedProgram closed = ClosedProgram::kNone;
  if (command == L"close-program" && argc == 3) {
    return CloseProgram(_wtoi(argv[2]), closed) ? 0 : 1;
  }
  if (command == L"prepare-upgrade" && argc == 3) {
    return CloseProgram(_wtoi(argv[2]), closed) && SaveForUpgrade(closed) ? 0 : 1;
  }
  if (command == L"finish-upgrade" && argc == 3) {
    return FinishUpgrade(argv[2]);
  }
  if (command == L"forget-run-entry" && argc == 3) {
    return ForgetRunEntry(argv[2]) == ForgetResult::kFailed ? 1 : 0;
  }
  return 2;
}
