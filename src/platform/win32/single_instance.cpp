#include "platform/win32/single_instance.h"

#include "platform/win32/private_messages.h"

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
// The running copy answers between two steps of any long work; one that
// takes longer than this is treated as coming forward when it can.
constexpr UINT kAnswerTimeoutMs = 5000;

// Asks the copy that owns `window` to come forward. False when it answers
// that it is closing instead.
bool AskToComeForward(HWND window) {
  // This start is what the user just did, so this process may hand the
  // foreground on; without that the running copy's request for it would be
  // refused and its window would come back behind the active one.
  DWORD process_id = 0;
  if (::GetWindowThreadProcessId(window, &process_id) != 0) {
    // Refused when this process may not set the foreground itself; the
    // window then still comes back, only not in front.
    ::AllowSetForegroundWindow(process_id);
  }
  DWORD_PTR answer = 0;
  if (::SendMessageTimeoutW(window, kActivateInstanceMessage, 0, 0, SMTO_ABORTIFHUNG,
                            kAnswerTimeoutMs, &answer) == 0) {
    // No answer in time: the request waits in its queue until it gets to
    // it. A failed post leaves the running copy as it is; this start ends
    // anyway, as there is a copy.
    ::PostMessageW(window, kActivateInstanceMessage, 0, 0);
    return true;
  }
  return answer != static_cast<DWORD_PTR>(kInstanceIsClosing);
}

// Waits until the copy that owns `window`, which said that it is closing,
// has ended. It may wait for its user to read its last message (what it
// could not save), so there is no time limit: any limit would lose this
// start while the user reads, which is what the wait is for.
void WaitUntilEnded(HWND window) {
  DWORD process_id = 0;
  if (::GetWindowThreadProcessId(window, &process_id) != 0) {
    const UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, process_id));
    if (process && ::WaitForSingleObject(process.Get(), INFINITE) == WAIT_OBJECT_0) {
      return;
    }
  }
  // Its process can't be waited for (it runs with other rights): its
  // window goes just before it ends.
  while (::IsWindow(window)) {
    ::Sleep(kWaitStepMs);
  }
}

// One attempt: the lock, nullopt when another copy runs and comes forward,
// or the window of a copy that is closing, to wait for before the next attempt.
struct Attempt {
  std::optional<InstanceLock> lock;
  HWND closing = nullptr;
};

Attempt TryClaim(const wchar_t* window_class) {
  UniqueKernelHandle mutex(::CreateMutexW(nullptr, TRUE, kMutexName));
  // Read at once: it is only meaningful right after the call.
  const DWORD error = ::GetLastError();
  if (mutex && error != ERROR_ALREADY_EXISTS) {
    return {InstanceLock(std::move(mutex))};  // created, and owned by this thread
  }
  if (!mutex && error != ERROR_ACCESS_DENIED) {
    // No lock at all: run unguarded rather than not at all.
    return {InstanceLock(UniqueKernelHandle())};
  }
  // Another copy holds the lock (one run with other rights denies access to
  // it, but holds it all the same).
  for (int step = 0; step < kWaitSteps; ++step) {
    if (HWND window = ::FindWindowW(window_class, nullptr)) {
      if (AskToComeForward(window)) {
        return {};
      }
      return {std::nullopt, window};
    }
    if (!mutex) {
      ::Sleep(kWaitStepMs);
      continue;
    }
    const DWORD wait = ::WaitForSingleObject(mutex.Get(), kWaitStepMs);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
      // The other copy ended meanwhile; this one takes over.
      return {InstanceLock(std::move(mutex))};
    }
    if (wait == WAIT_FAILED) {
      break;
    }
  }
  // The other copy still runs but shows no window to bring back; a second
  // copy beside it is what the lock is there to prevent.
  return {};
}

}  // namespace

std::optional<InstanceLock> ClaimSingleInstance(const wchar_t* window_class) {
  for (;;) {
    Attempt attempt = TryClaim(window_class);
    if (attempt.closing == nullptr) {
      return std::move(attempt.lock);
    }
    // A start while the running copy closes must not be lost: once that copy
    // has ended, this one claims the lock again (or finds a copy that
    // another start brought up meanwhile).
    WaitUntilEnded(attempt.closing);
  }
}

}  // namespace quellnet::platform::win32
