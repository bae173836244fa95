#include <windows.h>

#include "file_ids_win32.h"
#include "platform/win32/files/file_identity_win32.h"
#include "platform/win32/system/handles.h"

namespace quellnet::packaging {

std::optional<FileId> Win32FileIds::IdOf(const std::wstring& path) {
  // Attributes only, sharing everything: a running program is opened too.
  const platform::win32::UniqueKernelHandle file(::CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const std::optional<platform::win32::HandleIdentity> information =
      file ? platform::win32::IdentityOf(file.Get()) : std::nullopt;
  if (!information || (information->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return FileId{information->identity.volume, information->identity.index};
}

}  // namespace quellnet::packaging
