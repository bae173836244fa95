// The file operations the privacy cleaners need. Paths are full Windows
// paths; the implementation handles paths longer than MAX_PATH.
#pragma once

#include <string>
#include <vector>

namespace quellnet::platform {

enum class FsStatus {
  kOk,
  kNotFound,
  kAccessDenied,
  kInUse,  // held open by another program
  kFailed,
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool FolderExists(const std::wstring& path) = 0;
  // Full paths of the entries directly in `folder`, collected before the
  // call returns. Reparse points are listed as files (never followed).
  virtual FsStatus ListFiles(const std::wstring& folder, std::vector<std::wstring>& paths) = 0;
  virtual FsStatus ListSubfolders(const std::wstring& folder, std::vector<std::wstring>& paths) = 0;
  // Deletes one file, read-only or not, or one reparse point as an entry.
  virtual FsStatus DeleteFile(const std::wstring& path) = 0;
};

}  // namespace quellnet::platform
