// Deleting a folder with everything in it, entry by entry, going on past any
// entry that stays and remembering why it stayed.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace quellnet::cleaners {

// One entry a deletion had to leave, and why. A folder that stays only
// because something inside it stays is not listed itself.
struct Leftover {
  std::wstring path;
  platform::FsResult reason{platform::FsStatus::kFailed};
  std::vector<platform::Holder> holders{};  // who holds it, when in use and the system can tell
};

// Whether an entry that a removal or a listing answered `status` for is
// left behind. An entry that is not there, gone before or taken away
// meanwhile, is none: nothing stays of what was to go.
bool Stays(platform::FsStatus status);

// Opens `listed`, a real folder of `folder`'s listing, to work in, and
// judges it by what its handle shows. kChanged, and nothing opened, when it
// is no longer that folder (another identity, a link, no folder), so that a
// folder swapped for a link after its listing is never entered.
platform::FsResult OpenListed(platform::Folder& folder, const platform::Entry& listed,
                              std::unique_ptr<platform::Folder>& opened);

// Removes `listed`, an entry of `folder`'s listing, through its own handle
// once that shows it is still what the listing showed; kChanged, and nothing
// removed, when it is not. A link is removed as itself where the system
// opens it so; where it can't (Wine) the link stays, and what it leads to
// is never touched.
platform::FsResult RemoveListed(platform::Folder& folder, const platform::Entry& listed);

// Called after each entry the deletion has dealt with, with the share of the
// whole work that entry stood for; false stops the deletion before its next
// entry.
using AdvanceFn = std::function<bool(double share)>;

// Deletes `entry` of `parent`'s listing, `path` being its path for the
// record: a file or link as one entry, a folder with all it holds, read-only
// files included. Each folder is opened through the folder that lists it,
// and each entry judged by what it is once opened, so a folder swapped for a
// link after its listing is never entered, and a link met at any depth is
// removed as a link; what it leads to is never opened. kOk when the entry is
// gone, kNotFound when there was none; otherwise the reason of the first
// entry left, each left entry added to `leftovers`.
//
// The whole deletion stands for `share` of some larger work; each folder
// splits its share evenly among its entries, so `advance` is told a share
// that adds up to `share` once everything had its turn. A deletion that
// `advance` stops leaves the rest in place and returns what it found so far.
platform::FsResult DeleteTree(platform::Folder& parent, const platform::Entry& entry,
                              const std::wstring& path, std::vector<Leftover>& leftovers,
                              double share = 0, const AdvanceFn& advance = {});

}  // namespace quellnet::cleaners
