#include "platform/win32/process/program_end_win32.h"

namespace quellnet::platform::win32 {

bool WaitForProgramEnd(HWND window, HANDLE process, const WaitStepper& step) {
  for (;;) {
    if (process == nullptr && !::IsWindow(window)) {
      return true;
    }
    switch (step(process)) {
      case WaitStep::kSignalled:
        return true;
      case WaitStep::kGiveUp:
        return false;
      case WaitStep::kGoOn:
        break;
    }
  }
}

}  // namespace quellnet::platform::win32
