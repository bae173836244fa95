// Decides whether a folder named by a registry value may be emptied. Any
// program can change those values, so a value that names a whole drive, a
// network share or a folder that holds the user's own files or the system is
// refused before anything is deleted.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace quellnet::cleaners {

enum class Refusal {
  kNone,         // the folder may be emptied
  kEmpty,        // no path at all
  kNotFullPath,  // relative, drive-relative ("C:foo") or a device path
  kDriveRoot,    // "C:\" or "C:"
  kShareRoot,    // "\\server\share" or "\\server"
  kProtected,    // is or holds one of the protected folders
};

struct FolderVerdict {
  Refusal refusal = Refusal::kNone;
  // The folder to work on, in full canonical form, when it may be emptied;
  // otherwise the path as it was given (for the message).
  std::wstring path;
  // For kProtected: which folder, and whether `path` holds it rather than
  // being it.
  platform::ProtectedKind kind = platform::ProtectedKind::kProfile;
  bool holds = false;
};

// The checks that need no file system.
namespace paths {
// Drops a "\\?\" or "\\?\UNC\" prefix and turns '/' into '\'.
std::wstring Plain(const std::wstring& path);
// "C:\..." or "\\server\share..."; everything else is relative to something.
bool IsFullPath(const std::wstring& plain);
bool IsDriveRoot(const std::wstring& plain);
// "\\server", "\\server\share", with or without a trailing separator.
bool IsShareRoot(const std::wstring& plain);
// Windows compares paths without regard to case; a trailing separator does
// not change which folder a path names.
bool SamePath(const std::wstring& a, const std::wstring& b);
// True when `inner` lies somewhere below `outer`.
bool IsBelow(const std::wstring& inner, const std::wstring& outer);
// The folder that holds `path`, or empty at a root.
std::wstring Parent(const std::wstring& path);
}  // namespace paths

FolderVerdict CheckFolder(const std::wstring& path, platform::FileSystem& files);

}  // namespace quellnet::cleaners
