// Deleting a folder with everything in it, entry by entry, going on past any
// entry that stays and remembering why it stayed.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
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

// The entries a run had to leave, each by the folder that listed it and its
// name there. No pass of that run touches one of them again: one found
// changed may lead anywhere by now, and one that would not go has had its
// turn. What each was left for is told at the end.
class LeftEntries {
 public:
  // Records the entry `name` of `folder`, at `path`, as left for `reason`,
  // with the programs that hold it when it is in use; nothing when it went
  // or was gone already.
  void Record(platform::Folder& folder, const std::wstring& name, const std::wstring& path,
              platform::FsResult reason);
  // Why the entry `name` of the folder `folder` was left, or nullptr.
  const Leftover* Find(const platform::FileIdentity& folder, const std::wstring& name) const;

 private:
  using Key = std::tuple<std::uint64_t, std::uint64_t, std::wstring>;
  static Key KeyOf(const platform::FileIdentity& folder, const std::wstring& name);
  std::map<Key, Leftover> left_;
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

// Removes `listed`, an entry of `folder`'s listing, through its own handle.
// Where the system opens the very entry of the name, a link as itself, and
// refuses another kind than the one listed (Windows), a file or link listed
// as no folder is removed as opened; elsewhere (Wine) it is removed only
// once its handle shows it is still what the listing showed, kChanged and
// nothing removed when it is not. A link is removed as itself where the
// system opens it so; where it can't (Wine) the link stays, and what it
// leads to is never touched.
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
// removed as a link; what it leads to is never opened. Each entry left is
// recorded in `left`, and an entry recorded there before is not touched.
//
// The whole deletion stands for `share` of some larger work; each folder
// splits its share evenly among its entries, so `advance` is told a share
// that adds up to `share` once everything had its turn. A deletion that
// `advance` stops leaves the rest in place.
void DeleteTree(platform::Folder& parent, const platform::Entry& entry, const std::wstring& path,
                LeftEntries& left, double share = 0, const AdvanceFn& advance = {});

}  // namespace quellnet::cleaners
