// Starting Quellnet again as it ran before the package closed it.
#include <windows.h>

#include "app/form1_ids.h"
#include "platform/win32/system/handles.h"
#include "running_copies_win32.h"

namespace quellnet::packaging {
namespace {

using app::kForm1ClassName;
using platform::win32::UniqueKernelHandle;

constexpr DWORD kPollMs = 100;
// The program's start may stop a service first, which can take 30 seconds.
constexpr DWORD kStartWaitMs = 60000;
constexpr UINT kMinimiseWaitMs = 5000;

// The main window of the process `process_id` once its start-up has shown
// it or hidden it itself; nullptr while it is not there yet.
HWND StartedWindow(DWORD process_id) {
  HWND window = ::FindWindowW(kForm1ClassName, nullptr);
  DWORD owner = 0;
  if (window == nullptr || ::GetWindowThreadProcessId(window, &owner) == 0 || owner != process_id) {
    return nullptr;
  }
  return ::IsWindowVisible(window) || ::IsIconic(window) ? window : nullptr;
}

// Waits until its window has come up and minimises it as a click on its
// minimise button does, which hides it in the tray.
bool HideInTray(HANDLE process, DWORD process_id) {
  const DWORD started = ::GetTickCount();
  HWND window = nullptr;
  while ((window = StartedWindow(process_id)) == nullptr) {
    // A program that ends (another copy already ran) leaves nothing to hide.
    const DWORD waited = ::WaitForSingleObject(process, kPollMs);
    if (waited == WAIT_OBJECT_0) {
      return true;
    }
    if (waited != WAIT_TIMEOUT || ::GetTickCount() - started >= kStartWaitMs) {
      return false;
    }
  }
  if (::IsIconic(window)) {
    return true;  // it hid itself ("Run Minimized")
  }
  // Sent, not posted: when this returns, the program has hidden its window.
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_ABORTIFHUNG,
                               kMinimiseWaitMs, &result) != 0;
}

}  // namespace

StartResult Win32RunningCopies::Start(const ClosedCopy& copy) {
  const size_t folder_end = copy.program.find_last_of(L'\\');
  if (folder_end == std::wstring::npos) {
    return StartResult::kFailed;  // only full paths come here
  }
  // In its own folder, for the user who runs the package.
  const std::wstring folder = copy.program.substr(0, folder_end + 1);
  std::wstring command = L"\"" + copy.program + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started = {};
  if (!::CreateProcessW(copy.program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &started)) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? StartResult::kMissing
                                                                          : StartResult::kFailed;
  }
  const UniqueKernelHandle process(started.hProcess);
  const UniqueKernelHandle thread(started.hThread);
  return copy.shown || HideInTray(process.Get(), started.dwProcessId) ? StartResult::kStarted
                                                                      : StartResult::kFailed;
}

}  // namespace quellnet::packaging
