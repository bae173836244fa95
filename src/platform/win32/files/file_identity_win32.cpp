#include "platform/win32/files/file_identity_win32.h"

#include <cstdint>

namespace quellnet::platform::win32 {

std::optional<HandleIdentity> IdentityOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!::GetFileInformationByHandle(handle, &information)) {
    return std::nullopt;
  }
  return HandleIdentity{
      information.dwFileAttributes,
      FileIdentity{information.dwVolumeSerialNumber,
                   (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) |
                       information.nFileIndexLow}};
}

}  // namespace quellnet::platform::win32
