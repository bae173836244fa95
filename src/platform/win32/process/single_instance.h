// One running copy of the program per user session. A second start hands
// over to the running copy, which brings its window back, and ends; while
// that copy is closing, or does not answer, the second start waits for it,
// and runs once it has ended.
#pragma once

#include <optional>
#include <string_view>

#include "platform/win32/system/handles.h"
#include "platform/win32/process/program.h"

namespace quellnet::platform::win32 {

// Held by the main thread for the whole run of the copy that runs.
class InstanceLock {
 public:
  // `mutex` is owned by the calling thread, or empty when the session's
  // lock could not be created at all.
  explicit InstanceLock(UniqueKernelHandle mutex) : mutex_(std::move(mutex)) {}
  ~InstanceLock() {
    if (mutex_) {
      // Fails only on a thread that does not own it; the handle closes
      // either way and the system then releases it.
      ::ReleaseMutex(mutex_.Get());
    }
  }
  InstanceLock(InstanceLock&&) noexcept = default;
  InstanceLock& operator=(InstanceLock&&) = delete;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

 private:
  UniqueKernelHandle mutex_;
};

// The lock for this session, or nullopt when another copy already runs; that
// copy has then been asked to bring its window back and has answered that it
// does, and the caller ends without touching anything else. A copy that
// answers that it is closing, or does not answer, is waited for however
// long it takes, and the lock then claimed again: a start is never lost to
// a copy that is ending. A wait of more than a few seconds shows a small
// window titled `title` that says what it waits for. When the lock can't be
// created at all the program runs, rather than refusing to start. The
// running copy is found by its main window of class `window_class`; `look`
// names the lock and the waiting window and gives its texts.
std::optional<InstanceLock> ClaimSingleInstance(std::wstring_view window_class,
                                                std::wstring_view title, const InstanceLook& look);

}  // namespace quellnet::platform::win32
