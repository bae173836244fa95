// The installer package's helper for what Windows Installer can't do itself.
// It is stored in the package (Binary table) and run from there; it is never
// installed. See packaging/quellnet.wxs and packaging/after-wixl.sql for
// where the package runs it; the rules it follows are in rules/.
//
//   msi_helper close-program UILEVEL PROGRAM
//       Closes the running Quellnet the normal way and waits for its end.
//       Exit code 0 when none runs any more, 1 when one still runs after the
//       wait: the package then stops before it changes anything, and
//       whatever was closed is started again. With an interactive installer
//       (UILEVEL 4 or 5) the user is told and may close it and retry; a
//       silent one (/qn, UILEVEL 2) must never wait for a click. PROGRAM is
//       the program file the package installs.
//   msi_helper prepare-upgrade UILEVEL PROGRAM
//       Does what close-program does, then stashes the options, the
//       run-at-logon value and the closed Quellnet. Exit code 1 also when
//       they could not be stashed; the closed Quellnet then runs again.
//   msi_helper finish-upgrade PROGRAM
//       Puts back what prepare-upgrade stashed and starts again the Quellnet
//       it closed, from where it ran, hidden in the tray if it ran hidden.
//       Run when the upgrade succeeded, failed or was cancelled; nothing to
//       do without a stash. Exit code 1 when something could not be put
//       back or started.
//   msi_helper forget-user-entries PROGRAM
//       Removes the run-at-logon value when it starts PROGRAM, and any
//       stash an earlier upgrade left. Exit code 0 unless the Run key could
//       not be read or changed or the stash could not be deleted.
//
// Exit code 2 on wrong use. A Windows program (no console): a console
// window would flash up during the installation.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "file_ids_win32.h"
#include "platform/win32/process/factories.h"
#include "rules/handover.h"
#include "rules/run_entry.h"
#include "running_copies_win32.h"
#include "stash_win32.h"

namespace {

using namespace quellnet::packaging;

constexpr int kFirstInteractiveUiLevel = 4;  // msidbUILevelReduced; 5 is full

// Whether to try closing again: only an interactive installer asks.
AskRetry RetryWhenAsked(int ui_level) {
  return [ui_level] {
    if (ui_level < kFirstInteractiveUiLevel) {
      return false;
    }
    const int answer = ::MessageBoxW(
        nullptr,
        L"Quellnet is still running and did not close.\n\n"
        L"Close it (right-click its tray icon, \"Close Quellnet\"), then choose Retry.",
        L"Quellnet Setup", MB_RETRYCANCEL | MB_ICONWARNING | MB_SETFOREGROUND);
    // 0: the box could not be shown; as good as Cancel.
    return answer == IDRETRY;
  };
}

int ForgetUserEntries(const std::wstring& program) {
  Win32FileIds files;
  const std::unique_ptr<quellnet::platform::Registry> registry =
      quellnet::platform::win32::CreateRegistry();
  const bool forgotten = ForgetRunEntry(*registry, files, program) != ForgetResult::kFailed;
  return VolatileStash().DiscardLeftOver() && forgotten ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const int argc = __argc;
  wchar_t** const argv = __wargv;
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  Win32RunningCopies copies;
  VolatileStash stash;
  if (command == L"close-program" && argc == 4) {
    return CloseForRemoval(copies, RetryWhenAsked(_wtoi(argv[2])), argv[3]) ? 0 : 1;
  }
  if (command == L"prepare-upgrade" && argc == 4) {
    return PrepareUpgrade(copies, stash, RetryWhenAsked(_wtoi(argv[2])), argv[3]) ? 0 : 1;
  }
  if (command == L"finish-upgrade" && argc == 3) {
    return FinishUpgrade(copies, stash, argv[2]) ? 0 : 1;
  }
  if (command == L"forget-user-entries" && argc == 3) {
    return ForgetUserEntries(argv[2]);
  }
  return 2;
}
