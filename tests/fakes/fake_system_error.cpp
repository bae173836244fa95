// The unit tests' wording of a system error code: plain enough to see in a
// message which code reached it.
#include "platform/system_error.h"

namespace quellnet::platform {

std::wstring SystemErrorText(SystemError code) {
  return L"System error " + std::to_wstring(code) + L".";
}

}  // namespace quellnet::platform
