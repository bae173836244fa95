// One running copy of the program per user session. A second start hands
// over to the running copy, which brings its window back, and ends at once;
// while that copy is closing, the second start waits for it to end and runs.
#pragma once

#include <optional>

#include "platform/win32/handles.h"

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
// copy has then been asked to bring its window back, and the caller ends
// without touching anything else. A copy that answers that it is closing is
// waited for, however long, and the lock then claimed again. When the lock
// can't be created at all the program runs, rather than refusing to start.
// The running copy is found by its main window of class `window_class`.
std::optional<InstanceLock> ClaimSingleInstance(const wchar_t* window_class);

}  // namespace quellnet::platform::win32
