// Closing every running Quellnet of the session the way its close box does:
// a WM_CLOSE to its main window, whose unload saves the options and the
// run-at-logon value; then waiting for its end.
#include <windows.h>

#include <tlhelp32.h>

#include "app/form1_ids.h"
#include "platform/win32/system/handles.h"
#include "platform/win32/system/optional_functions_win32.h"
#include "platform/win32/process/program_end_win32.h"
#include "running_copies_win32.h"

namespace quellnet::packaging {
namespace {

using app::kForm1ClassName;
using platform::win32::UniqueKernelHandle;

constexpr DWORD kPollMs = 100;
// Long enough for the unload to write its options on a loaded machine.
constexpr DWORD kCloseWaitMs = 30000;

// Milliseconds left until `deadline` (a GetTickCount value); 0 once passed.
DWORD Remaining(DWORD deadline) {
  const auto left = static_cast<LONG>(deadline - ::GetTickCount());
  return left > 0 ? static_cast<DWORD>(left) : 0;
}

// Waits for the end of the program that owns `window` until `deadline`.
bool WaitForEnd(HWND window, HANDLE process, DWORD deadline) {
  return platform::win32::WaitForProgramEnd(window, process, [deadline](HANDLE object) {
    const DWORD left = Remaining(deadline);
    if (left == 0) {
      return platform::win32::WaitStep::kGiveUp;
    }
    const DWORD step = left < kPollMs ? left : kPollMs;
    if (object == nullptr) {
      ::Sleep(step);
    } else if (::WaitForSingleObject(object, step) == WAIT_OBJECT_0) {
      return platform::win32::WaitStep::kSignalled;
    }
    return platform::win32::WaitStep::kGoOn;
  });
}

// The program file the process runs; empty when the system does not tell.
std::wstring ProgramOf(DWORD process_id) {
  wchar_t path[MAX_PATH * 4] = {};
  if (const auto query = platform::win32::Kernel32().query_full_process_image_name) {
    // Vista and later: any process of the user, 32- or 64-bit.
    const UniqueKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
    DWORD size = MAX_PATH * 4;
    return process && query(process.Get(), 0, path, &size) ? std::wstring(path, size)
                                                           : std::wstring();
  }
  // Windows XP: the first module of the process is its program file.
  const UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process_id));
  MODULEENTRY32W module = {};
  module.dwSize = sizeof(module);
  return snapshot && ::Module32FirstW(snapshot.Get(), &module) ? std::wstring(module.szExePath)
                                                               : std::wstring();
}

}  // namespace

bool Win32RunningCopies::CloseAll(std::optional<ClosedCopy>& closed) {
  const DWORD deadline = ::GetTickCount() + kCloseWaitMs;
  // One copy runs per session, but a second one may be starting just now;
  // repeat until no main window is left.
  while (HWND window = ::FindWindowW(kForm1ClassName, nullptr)) {
    DWORD process_id = 0;
    if (::GetWindowThreadProcessId(window, &process_id) == 0) {
      // The window has just gone; look again while there is time.
      if (Remaining(deadline) == 0) {
        return false;
      }
      continue;
    }
    // Opened before the close so that the process can't end unseen; when it
    // can't be opened, the window tells when the program is gone.
    UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, process_id));
    const bool shown = ::IsWindowVisible(window) && !::IsIconic(window);
    const std::wstring program = ProgramOf(process_id);
    if (!::PostMessageW(window, WM_CLOSE, 0, 0) && ::IsWindow(window)) {
      return false;  // a live window that takes no message: it can't be closed
    }
    const bool ended = WaitForEnd(window, process.Get(), deadline);
    if (ended && !closed) {
      closed = ClosedCopy{program, shown};
    } else if (ended) {
      closed->shown = closed->shown || shown;
    }
    if (!ended) {
      return false;
    }
  }
  return true;
}

}  // namespace quellnet::packaging
