#include "platform/win32/system/com_win32.h"

#include "platform/win32/system/optional_functions_win32.h"

// After <windows.h>.
#include <objbase.h>

namespace quellnet::platform::win32 {
namespace {

// COM started on construction and, where that succeeded, ended on
// destruction.
class ScopedCom {
 public:
  ScopedCom() {
    const Ole32Functions& ole32 = Ole32();
    // S_FALSE (already started on this thread) is balanced by an
    // uninitialise too.
    if (ole32.co_initialize_ex != nullptr && ole32.co_uninitialize != nullptr &&
        SUCCEEDED(
            ole32.co_initialize_ex(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
      uninitialise_ = ole32.co_uninitialize;
    }
  }
  ~ScopedCom() {
    if (uninitialise_ != nullptr) {
      uninitialise_();
    }
  }
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;

  bool Started() const { return uninitialise_ != nullptr; }

 private:
  void(WINAPI* uninitialise_)() = nullptr;
};

}  // namespace

bool StartCom() {
  // Destroyed as the program ends, on the thread that leaves wmain: the
  // window's, the one that started it.
  static const ScopedCom com;
  return com.Started();
}

}  // namespace quellnet::platform::win32
