// Deleting a folder with everything in it, entry by entry, going on past any
// entry that stays and remembering why it stayed.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace quellnet::cleaners {

// One entry a deletion had to leave, and why. A folder that stays only
// because something inside it stays is not listed itself.
struct Leftover {
  std::wstring path;
  platform::FsStatus reason = platform::FsStatus::kFailed;
};

// Deletes the entry at `path` of the given type: a file or link as one
// entry, a folder with all it holds, read-only files included. A link met at
// any depth is removed as a link; what it leads to is never opened. kOk when
// the entry is gone, kNotFound when there was none; otherwise the reason of
// the first entry left, each left entry added to `leftovers`.
platform::FsStatus DeleteTree(platform::FileSystem& files, const std::wstring& path,
                              platform::EntryType type, std::vector<Leftover>& leftovers);

}  // namespace quellnet::cleaners
