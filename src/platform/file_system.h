// The file operations the privacy cleaners need, one system call's worth
// each; the cleaners decide what to delete and in which order. Paths are full
// Windows paths in their ordinary form ("C:\dir", "\\server\share\dir"); the
// implementation handles paths longer than MAX_PATH itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quellnet::platform {

enum class FsStatus {
  kOk,
  kNotFound,      // nothing there (or already gone)
  kAccessDenied,  // the user has no right to do it
  kInUse,         // held open by another program
  kFailed,        // any other error
};

// What an entry is. A link (junction, symbolic link, any reparse point) is
// marked as one and counts as the kind of entry it pretends to be.
struct EntryType {
  bool folder = false;
  bool link = false;
};

struct Entry {
  std::wstring name;  // the last part of its path
  EntryType type;
};

// What makes a folder itself, whatever name or link reached it.
struct FolderIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};

// The folders whose loss would cost the user their own files or the system.
enum class ProtectedKind {
  kProfile,
  kDesktop,
  kDocuments,
  kWindows,
  kSystem,
  kProgramFiles,
};

struct ProtectedFolder {
  ProtectedKind kind;
  std::wstring path;  // full path, as FullPath gives it
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The canonical full form of `path`: "." and ".." resolved, doubled
  // separators collapsed, short (8.3) names expanded where the path exists,
  // no "\\?\" prefix and no trailing separator except on a drive root.
  // nullopt when no full form can be made.
  virtual std::optional<std::wstring> FullPath(const std::wstring& path) = 0;
  // The protected folders of this user and machine; a folder the system can't
  // name is left out.
  virtual std::vector<ProtectedFolder> ProtectedFolders() = 0;
  // The identity of the folder at `path`, links followed; nullopt when no
  // folder can be reached there.
  virtual std::optional<FolderIdentity> IdentityOf(const std::wstring& path) = 0;

  // What is at `path` itself (a link is not followed).
  virtual FsStatus TypeOf(const std::wstring& path, EntryType& type) = 0;
  // Every entry directly in `folder`, collected completely before the call
  // returns, so deleting them one by one is safe.
  virtual FsStatus List(const std::wstring& folder, std::vector<Entry>& entries) = 0;
  // Removes one entry of the given type: a file (read-only too), an empty
  // folder, or a link itself, never what the link leads to.
  virtual FsStatus Remove(const std::wstring& path, EntryType type) = 0;
};

}  // namespace quellnet::platform
