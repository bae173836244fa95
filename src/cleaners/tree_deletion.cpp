#include "cleaners/tree_deletion.h"

#include <cstddef>
#include <memory>
#include <utility>

namespace quellnet::cleaners {

using platform::FsResult;
using platform::FsStatus;

bool Stays(FsStatus status) {
  return status != FsStatus::kOk && status != FsStatus::kNotFound;
}

namespace {

// Whether `opened`, an entry of `folder` opened by the name `listed` had, is
// still the entry the listing showed: the same identity and the same kind.
FsResult Judge(platform::OpenEntry& opened, const platform::Entry& listed,
               const platform::FileIdentity& folder) {
  platform::Shown shown;
  const FsResult looked = opened.Show(shown);
  if (looked.status != FsStatus::kOk) {
    return looked;
  }
  if (shown.identity.volume != folder.volume ||
      (listed.index != 0 && shown.identity.index != listed.index)) {
    return {FsStatus::kChanged};  // another entry took its name
  }
  if (listed.type.link && !shown.type.link) {
    return {FsStatus::kFailed};  // a link this system only follows (Wine)
  }
  if (shown.type.folder != listed.type.folder || shown.type.link != listed.type.link) {
    return {FsStatus::kChanged};
  }
  return {};
}

// A folder met on the way down, waiting to be opened, then for its entries
// to go.
struct Pending {
  platform::Entry entry;
  std::wstring path;
  std::size_t parent;  // index in the stack, kOutside for the folder the call was given
  double share;        // of the whole work
  std::unique_ptr<platform::Folder> folder{};  // once opened and listed
  bool kept_something = false;                 // an entry inside it stays
};
constexpr std::size_t kOutside = static_cast<std::size_t>(-1);

}  // namespace

FsResult OpenListed(platform::Folder& folder, const platform::Entry& listed,
                    std::unique_ptr<platform::Folder>& opened) {
  if (!listed.type.folder || listed.type.link) {
    return {FsStatus::kChanged};  // a link is never opened
  }
  FsResult result = folder.OpenFolder(listed.name, opened);
  if (result.status == FsStatus::kOk) {
    result = Judge(*opened, listed, folder.Identity());
  }
  if (result.status != FsStatus::kOk) {
    opened.reset();
  }
  return result;
}

FsResult RemoveListed(platform::Folder& folder, const platform::Entry& listed) {
  std::unique_ptr<platform::OpenEntry> opened;
  FsResult result = folder.Open(listed.name, opened);
  if (result.status == FsStatus::kOk) {
    result = Judge(*opened, listed, folder.Identity());
  }
  return result.status == FsStatus::kOk ? opened->Remove() : result;
}

FsResult DeleteTree(platform::Folder& parent, const platform::Entry& entry,
                    const std::wstring& path, std::vector<Leftover>& leftovers, double share,
                    const AdvanceFn& advance) {
  // One entry has had its turn; false when the deletion must stop.
  auto turn_done = [&](double entry_share) { return !advance || advance(entry_share); };

  if (!entry.type.folder || entry.type.link) {
    const FsResult removed = RemoveListed(parent, entry);
    if (Stays(removed.status)) {
      leftovers.push_back({path, removed});
      if (removed.status == FsStatus::kInUse) {
        leftovers.back().holders = parent.HoldersOf(entry.name);
      }
    }
    turn_done(share);
    return removed;
  }

  // Depth first without recursion, so that however deep the tree goes the
  // stack of the thread is never at risk. Each folder stays open until all
  // in it had their turn, and its subfolders are opened through it.
  FsResult first;
  bool gone_before = false;
  std::vector<Pending> stack;
  stack.push_back({entry, path, kOutside, share});
  auto folder_of = [&](std::size_t index) -> platform::Folder& {
    return index == kOutside ? parent : *stack[index].folder;
  };

  // Records an entry that stays, and marks the folder that holds it.
  auto keep = [&](const std::wstring& kept, FsResult result, std::size_t holder) {
    if (!Stays(result.status)) {
      return;
    }
    leftovers.push_back({kept, result});
    if (result.status == FsStatus::kInUse) {
      leftovers.back().holders = folder_of(holder).HoldersOf(kept.substr(kept.rfind(L'\\') + 1));
    }
    if (first.status == FsStatus::kOk) {
      first = result;
    }
    if (holder != kOutside) {
      stack[holder].kept_something = true;
    }
  };

  while (!stack.empty()) {
    const std::size_t top = stack.size() - 1;
    if (!stack[top].folder) {
      std::unique_ptr<platform::Folder> opened;
      FsResult listed = OpenListed(folder_of(stack[top].parent), stack[top].entry, opened);
      std::vector<platform::Entry> entries;
      if (listed.status == FsStatus::kOk) {
        listed = opened->List(entries);
      }
      if (listed.status != FsStatus::kOk) {
        // Gone already, changed, or unreadable: then it stays with all in it.
        const Pending unreadable = std::move(stack[top]);
        stack.pop_back();
        gone_before = unreadable.parent == kOutside && listed.status == FsStatus::kNotFound;
        keep(unreadable.path, listed, unreadable.parent);
        if (!turn_done(unreadable.share)) {
          return first;
        }
        continue;
      }
      stack[top].folder = std::move(opened);
      // An empty folder keeps its share for its own removal.
      const double entry_share = entries.empty() ? 0 : stack[top].share / entries.size();
      if (!entries.empty()) {
        stack[top].share = 0;
      }
      for (auto& inner : entries) {
        std::wstring inner_path = stack[top].path + L'\\' + inner.name;
        if (inner.type.folder && !inner.type.link) {
          stack.push_back({std::move(inner), std::move(inner_path), top, entry_share});
        } else {
          keep(inner_path, RemoveListed(*stack[top].folder, inner), top);
          if (!turn_done(entry_share)) {
            return first;
          }
        }
      }
      continue;
    }
    // Everything inside has had its turn; now the folder itself, through its
    // own handle, unless what stays inside keeps it (counted already).
    Pending done = std::move(stack[top]);
    stack.pop_back();
    FsResult removed = done.kept_something ? FsResult{} : done.folder->Remove();
    // One that won't go though all it showed went holds what no listing
    // shows (Wine hides a link that leads nowhere), not something in use.
    std::vector<platform::Entry> unseen;
    if (removed.status == FsStatus::kInUse && done.folder->List(unseen).status == FsStatus::kOk &&
        unseen.empty()) {
      removed.status = FsStatus::kFailed;
    }
    done.folder.reset();
    if (done.kept_something && done.parent != kOutside) {
      stack[done.parent].kept_something = true;
    }
    if (!turn_done(done.share)) {
      return first;
    }
    keep(done.path, removed, done.parent);
  }
  return gone_before ? FsResult{FsStatus::kNotFound} : first;
}

}  // namespace quellnet::cleaners
