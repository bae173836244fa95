#include "close_program.h"

#include <windows.h>

#include "app/form1_ids.h"
#include "platform/win32/handles.h"

namespace quellnet::packaging {
namespace {

using app::kForm1ClassName;
using platform::win32::UniqueKernelHandle;

constexpr DWORD kPollMs = 100;

// Milliseconds left until `deadline` (a GetTickCount value); 0 once passed.
DWORD Remaining(DWORD deadline) {
  const auto left = static_cast<LONG>(deadline - ::GetTickCount());
  return left > 0 ? static_cast<DWORD>(left) : 0;
}

// Waits for the end of the program that owns `window`: on its process when
// it can be opened, else until the window is gone.
bool WaitForEnd(HWND window, HANDLE process, DWORD deadline) {
  if (process != nullptr) {
    return ::WaitForSingleObject(process, Remaining(deadline)) == WAIT_OBJECT_0;
  }
  while (::IsWindow(window)) {
    if (Remaining(deadline) == 0) {
      return false;
    }
    ::Sleep(kPollMs);
  }
  return true;
}

}  // namespace

bool CloseRunningQuellnet(unsigned long wait_ms, ClosedProgram& closed) {
  const DWORD deadline = ::GetTickCount() + wait_ms;
  closed = ClosedProgram::kNone;
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
    closed =
        shown || closed == ClosedProgram::kShown ? ClosedProgram::kShown : ClosedProgram::kHidden;
    if (!::PostMessageW(window, WM_CLOSE, 0, 0) && ::IsWindow(window)) {
      return false;  // a live window that takes no message: it can't be closed
    }
    if (!WaitForEnd(window, process.Get(), deadline)) {
      return false;
    }
  }
  return true;
}

}  // namespace quellnet::packaging
