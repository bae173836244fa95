// Placeholder so the program links while the implementation is written.
#include "platform/win32/factories.h"

namespace quellnet::platform::win32 {

std::unique_ptr<Network> CreateNetwork() {
  return nullptr;
}

}  // namespace quellnet::platform::win32
