// Placeholder so the program links while the implementation is written.
#include "platform/win32/factories.h"

namespace quellnet::platform::win32 {

std::unique_ptr<TrayIcon> CreateTrayIcon(HWND, UINT, HICON) {
  return nullptr;
}

}  // namespace quellnet::platform::win32
