// The file operations the privacy cleaners need. Paths are full Windows
// paths in their ordinary form ("C:\dir", "\\server\share\dir"); the
// implementation handles paths longer than MAX_PATH itself.
//
// Links (junctions, symbolic links, any reparse point) met below a folder are
// never followed: they are listed like the entry they pretend to be (a link
// to a folder among the subfolders, a link to a file among the files) and a
// deletion removes the link itself, leaving what it points to untouched.
#pragma once

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

// One entry that a deletion had to leave, and why. A folder that stays only
// because something inside it stays is not listed itself.
struct Leftover {
  std::wstring path;
  FsStatus reason = FsStatus::kFailed;
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
  // True when both paths lead to one and the same existing folder, whatever
  // links or short names lie on the way.
  virtual bool SameFolder(const std::wstring& a, const std::wstring& b) = 0;

  // kOk when a folder exists at `path` (a file there is kNotFound). A link to
  // a folder opens too; IsLink tells them apart.
  virtual FsStatus OpenFolder(const std::wstring& path) = 0;
  // True when `path` itself is a link (any reparse point).
  virtual bool IsLink(const std::wstring& path) = 0;
  // Full paths of the files (and links to files) directly in `folder`,
  // collected completely before the call returns.
  virtual FsStatus ListFiles(const std::wstring& folder, std::vector<std::wstring>& paths) = 0;
  // Full paths of the subfolders (and links to folders) directly in `folder`,
  // collected completely before the call returns.
  virtual FsStatus ListSubfolders(const std::wstring& folder, std::vector<std::wstring>& paths) = 0;
  // Deletes one file, read-only or not, or one link as an entry.
  virtual FsStatus DeleteFile(const std::wstring& path) = 0;
  // Deletes the folder with everything in it, read-only files included, as
  // far as it can: an entry that can't be deleted is added to `leftovers` and
  // the rest still goes. A link, at the top or anywhere below, is removed as
  // an entry. kOk when the folder is gone, kNotFound when there was none;
  // otherwise the reason of the first entry left.
  virtual FsStatus DeleteFolder(const std::wstring& path, std::vector<Leftover>& leftovers) = 0;
};

}  // namespace quellnet::platform
