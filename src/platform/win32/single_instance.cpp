#include "platform/win32/single_instance.h"

#include "platform/form1_ids.h"

namespace quellnet::platform::win32 {
namespace {

// "Local\" keeps the name inside the user's session, so other users on the
// same machine each run their own copy.
constexpr wchar_t kMutexName[] = L"Local\\Quellnet.SingleInstance";

// The running copy creates its window a moment after it takes the lock, and
// a copy that is ending has lost its window but still holds the lock. A
// second start waits this long to see which.
constexpr int kWaitSteps = 50;
constexpr DWORD kWaitStepMs = 100;

void BringForward(HWND window) {
  // This start is what the user just did, so this process may hand the
  // foreground on; without that the running copy's request for it would be
  // refused and its window would come back behind the active one.
  DWORD process_id = 0;
  if (::GetWindowThreadProcessId(window, &process_id) != 0) {
    // Refused when this process may not set the foreground itself; the
    // window then still comes back, only not in front.
    ::AllowSetForegroundWindow(process_id);
  }
  // A failed post leaves the running copy as it is; this start ends anyway.
  ::PostMessageW(window, kActivateInstanceMessage, 0, 0);
}

}  // namespace

std::optional<InstanceLock> ClaimSingleInstance() {
  UniqueKernelHandle mutex(::CreateMutexW(nullptr, TRUE, kMutexName));
  // Read at once: it is only meaningful right after the call.
  const DWORD error = ::GetLastError();
  if (mutex && error != ERROR_ALREADY_EXISTS) {
    return InstanceLock(std::move(mutex));  // created, and owned by this thread
  }
  if (!mutex && error != ERROR_ACCESS_DENIED) {
    // No lock at all: run unguarded rather than not at all.
    return InstanceLock(UniqueKernelHandle());
  }
  // Another copy holds the lock (one run with other rights denies access to
  // it, but holds it all the same).
  for (int step = 0; step < kWaitSteps; ++step) {
    if (HWND window = ::FindWindowW(kForm1ClassName, nullptr)) {
      BringForward(window);
      return std::nullopt;
    }
    if (!mutex) {
      ::Sleep(kWaitStepMs);
      continue;
    }
    const DWORD wait = ::WaitForSingleObject(mutex.Get(), kWaitStepMs);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
      // The other copy ended meanwhile; this one takes over.
      return InstanceLock(std::move(mutex));
    }
    if (wait == WAIT_FAILED) {
      break;
    }
  }
  // The other copy still runs but shows no window to bring back; a second
  // copy beside it is what the lock is there to prevent.
  return std::nullopt;
}

}  // namespace quellnet::platform::win32
