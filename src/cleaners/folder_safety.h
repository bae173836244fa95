// Decides whether a folder named by a registry value may be emptied. Any
// program can change those values, so only a folder that is recognisably the
// browser's own may be emptied, and even that one not where it is, holds or
// lies in a folder of the user's own files or of the system.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cleaners/browser_folders.h"
#include "cleaners/protected_folders.h"
#include "platform/file_system.h"

namespace quellnet::cleaners {

enum class Refusal {
  kNone,         // the folder may be emptied
  kEmpty,        // no path at all
  kNotFullPath,  // relative, drive-relative ("C:foo") or a device path
  kDriveRoot,    // "C:\" or "C:"
  kShareRoot,    // "\\server\share" or "\\server"
  kProtected,    // is, holds or lies inside one of the protected folders
  kLink,         // a link: where it leads is not the browser's
  kNotBrowsers,  // not named and placed as the browser's own folder
};

// How a refused location stands to the protected folder it met.
enum class Relation {
  kIs,
  kHolds,
  kInside,         // a folder whose protection reaches everything inside it
  kIsProfile,      // another user's profile in the folder of all profiles
  kInsideProfile,  // lies inside another user's profile
};

struct FolderVerdict {
  Refusal refusal = Refusal::kNone;
  // The folder to work on, in full canonical form, when it may be emptied;
  // otherwise the path as it was given (for the message).
  std::wstring path;
  // For kProtected: which folder, and how `path` stands to it.
  std::wstring_view guarded;
  Relation relation = Relation::kIs;
};

// A location judged, and the folder it names, held open for the work when it
// may be emptied.
struct CheckedFolder {
  FolderVerdict verdict;
  // When the verdict lets it be emptied: the folder itself, opened without
  // following a link at its end, or why it could not be opened.
  std::unique_ptr<platform::Folder> folder;
  platform::FsResult opened;
};

// Whether the browser's folder of `kind` may be emptied at `path`, the
// location the registry gives for it. The folder is judged by where it
// really is: the folder opened, and each folder that really holds it, are
// compared by identity with the protected folders and every user's profile,
// so no link, junction or drive letter above it hides one of them.
CheckedFolder CheckFolder(const std::wstring& path, BrowserFolder kind,
                          platform::FileSystem& files);

// The entry named `name` (compared without regard to case) in `entries`,
// or nullptr.
const platform::Entry* Named(const std::vector<platform::Entry>& entries, std::wstring_view name);

}  // namespace quellnet::cleaners
