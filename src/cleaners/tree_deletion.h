// Deleting a folder with everything in it, entry by entry, going on past any
// entry that stays and remembering why it stayed.
#pragma once

#include <functional>
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

// Whether an entry that a removal or a listing answered `status` for is
// left behind. An entry that is not there, gone before or taken away
// meanwhile, is none: nothing stays of what was to go.
bool Stays(platform::FsStatus status);

// Called after each entry the deletion has dealt with, with the share of the
// whole work that entry stood for; false stops the deletion before its next
// entry.
using AdvanceFn = std::function<bool(double share)>;

// Deletes the entry at `path` of the given type: a file or link as one
// entry, a folder with all it holds, read-only files included. A link met at
// any depth is removed as a link; what it leads to is never opened. kOk when
// the entry is gone, kNotFound when there was none; otherwise the reason of
// the first entry left, each left entry added to `leftovers`.
//
// The whole deletion stands for `share` of some larger work; each folder
// splits its share evenly among its entries, so `advance` is told a share
// that adds up to `share` once everything had its turn. A deletion that
// `advance` stops leaves the rest in place and returns what it found so far.
platform::FsStatus DeleteTree(platform::FileSystem& files, const std::wstring& path,
                              platform::EntryType type, std::vector<Leftover>& leftovers,
                              double share = 0, const AdvanceFn& advance = {});

}  // namespace quellnet::cleaners
