#include "platform/win32/process/single_instance.h"

#include <optional>
#include <string>

#include "platform/win32/window/private_messages.h"
#include "platform/win32/process/program_end_win32.h"
#include "platform/win32/shell/wait_notice_win32.h"

namespace quellnet::platform::win32 {
namespace {

// How often a waiting start looks again at the running copy.
constexpr DWORD kLookAgainMs = 100;
// A wait shorter than this is not worth a window of its own; one that lasts
// longer is told, so that the start does not seem lost.
constexpr DWORD kNoticeAfterMs = 3000;

// Waits in steps, handling this thread's messages meanwhile (the running
// copy's answer comes as one), and shows why once the wait has lasted.
class Waiter {
 public:
  Waiter(std::wstring_view title, const InstanceLook& look)
      : title_(title), look_(look), started_(::GetTickCount()) {}
  const InstanceLook& Look() const { return look_; }

  // Waits at most `milliseconds` for `object` (none when nullptr) to be
  // signalled; true when it was (a mutex is then this thread's).
  bool Pause(HANDLE object, DWORD milliseconds, std::wstring_view why) {
    // Unsigned arithmetic keeps this right when the tick count wraps.
    if (::GetTickCount() - started_ >= kNoticeAfterMs) {
      if (!notice_) {
        notice_.emplace(look_.notice_class, title_, why);
      } else if (why != shown_) {
        notice_->SetText(why);
      }
      shown_ = why;
    }
    const DWORD count = object != nullptr ? 1 : 0;
    const DWORD waited =
        ::MsgWaitForMultipleObjects(count, &object, FALSE, milliseconds, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (waited == WAIT_FAILED) {
      // Not a handle that can be waited for: the steps go on as pauses.
      ::Sleep(milliseconds);
    }
    return count == 1 && (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED_0);
  }

 private:
  std::wstring title_;
  const InstanceLook& look_;
  DWORD started_;
  std::optional<WaitNotice> notice_;
  std::wstring_view shown_;
};

// The one request to come forward that is waited for. An answer that comes
// after its start stopped waiting for it (its copy ended first) finds
// another request current and is dropped.
struct Request {
  ULONG_PTR id = 0;
  std::optional<LRESULT> answer;
};
Request current_request;

void CALLBACK OnAnswer(HWND, UINT, ULONG_PTR id, LRESULT answer) {
  if (id == current_request.id) {
    current_request.answer = answer;
  }
}

enum class Reply { kComesForward, kClosing, kGone };

// Asks the copy that owns `window` to come forward and waits for its answer
// however long it takes: a copy that is held up (frozen, or busy past any
// limit) may be closing, and a start that gave up on it would be lost.
Reply AskToComeForward(HWND window, Waiter& waiter) {
  // This start is what the user just did, so this process may hand the
  // foreground on; without that the running copy's request for it would be
  // refused and its window would come back behind the active one.
  DWORD process_id = 0;
  if (::GetWindowThreadProcessId(window, &process_id) != 0) {
    // Refused when this process may not set the foreground itself; the
    // window then still comes back, only not in front.
    ::AllowSetForegroundWindow(process_id);
  }
  current_request = {current_request.id + 1, std::nullopt};
  if (!::SendMessageCallbackW(window, kActivateInstanceMessage, 0, 0, OnAnswer,
                              current_request.id)) {
    // Gone meanwhile, or out of this process's reach (a copy run with
    // higher rights): that one runs, and this start leaves it alone.
    return ::IsWindow(window) ? Reply::kComesForward : Reply::kGone;
  }
  while (!current_request.answer) {
    if (!::IsWindow(window)) {
      return Reply::kGone;
    }
    waiter.Pause(nullptr, kLookAgainMs, waiter.Look().no_answer_yet);
  }
  return *current_request.answer == kInstanceIsClosing ? Reply::kClosing : Reply::kComesForward;
}

// Waits until the copy that owns `window`, which said that it is closing,
// has ended. It may wait for its user to read its last message (what it
// could not save), so there is no time limit: any limit would lose this
// start while the user reads, which is what the wait is for.
void WaitUntilEnded(HWND window, Waiter& waiter) {
  DWORD process_id = 0;
  UniqueKernelHandle process;
  if (::GetWindowThreadProcessId(window, &process_id) != 0) {
    process.Reset(::OpenProcess(SYNCHRONIZE, FALSE, process_id));
  }
  WaitForProgramEnd(window, process.Get(), [&waiter](HANDLE object) {
    return waiter.Pause(object, kLookAgainMs, waiter.Look().still_closing) ? WaitStep::kSignalled
                                                                           : WaitStep::kGoOn;
  });
}

}  // namespace

std::optional<InstanceLock> ClaimSingleInstance(std::wstring_view window_class,
                                                std::wstring_view title, const InstanceLook& look) {
  Waiter waiter(title, look);
  const std::wstring lock_name(look.lock_name);
  const std::wstring class_name(window_class);
  for (;;) {
    UniqueKernelHandle mutex(::CreateMutexW(nullptr, TRUE, lock_name.c_str()));
    // Read at once: it is only meaningful right after the call.
    const DWORD error = ::GetLastError();
    if (mutex && error != ERROR_ALREADY_EXISTS) {
      return InstanceLock(std::move(mutex));  // created, and owned by this thread
    }
    if (!mutex && error != ERROR_ACCESS_DENIED) {
      // No lock at all: run unguarded rather than not at all.
      return InstanceLock(UniqueKernelHandle());
    }
    // Another copy holds the lock (one run with other rights denies access
    // to it, but holds it all the same).
    const HWND window = ::FindWindowW(class_name.c_str(), nullptr);
    if (window == nullptr) {
      // It is starting and makes its window in a moment, or it is ending and
      // has lost it: wait for the one or the other.
      if (waiter.Pause(mutex.Get(), kLookAgainMs, waiter.Look().still_closing)) {
        return InstanceLock(std::move(mutex));  // it ended; this one takes over
      }
      continue;
    }
    switch (AskToComeForward(window, waiter)) {
      case Reply::kComesForward:
        return std::nullopt;
      case Reply::kClosing:
        // A start while the running copy closes must not be lost: once that
        // copy has ended, this one claims the lock again (or finds a copy
        // that another start brought up meanwhile).
        WaitUntilEnded(window, waiter);
        break;
      case Reply::kGone:
        break;
    }
  }
}

}  // namespace quellnet::platform::win32
