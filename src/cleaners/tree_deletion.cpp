#include "cleaners/tree_deletion.h"

#include <cstddef>
#include <cwctype>
#include <memory>
#include <utility>

namespace quellnet::cleaners {

using platform::FsResult;
using platform::FsStatus;

bool Stays(FsStatus status) {
  return status != FsStatus::kOk && status != FsStatus::kNotFound;
}

void LeftEntries::Record(platform::Folder& folder, const std::wstring& name,
                         const std::wstring& path, FsResult reason) {
  if (!Stays(reason.status)) {
    return;
  }
  Leftover leftover{path, reason};
  if (reason.status == FsStatus::kInUse) {
    leftover.holders = folder.HoldersOf(name);
  }
  left_.insert_or_assign(KeyOf(folder.Identity(), name), std::move(leftover));
}

const Leftover* LeftEntries::Find(const platform::FileIdentity& folder,
                                  const std::wstring& name) const {
  const auto found = left_.find(KeyOf(folder, name));
  return found == left_.end() ? nullptr : &found->second;
}

// Names are compared without regard to case, as Windows compares them.
LeftEntries::Key LeftEntries::KeyOf(const platform::FileIdentity& folder,
                                    const std::wstring& name) {
  std::wstring lower(name);
  for (wchar_t& c : lower) {
    c = static_cast<wchar_t>(std::towlower(c));
  }
  return {folder.volume, folder.index, std::move(lower)};
}

namespace {

// Whether `opened`, an entry of `folder` opened by the name `listed` had, is
// still the entry the listing showed: the same identity and the same kind.
// The identity's volume is the handle's own: a link that the system follows
// to another volume (Wine) shows that volume, whatever number it has there.
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

// The walk of one folder's tree, depth first without recursion, so that
// however deep the tree goes the stack of the thread is never at risk. Each
// folder stays open until all in it had their turn, and its subfolders are
// opened through it.
class TreeWalk {
 public:
  TreeWalk(platform::Folder& parent, LeftEntries& left, const AdvanceFn& advance)
      : parent_(parent), left_(left), advance_(advance) {}

  void Run(const platform::Entry& entry, const std::wstring& path, double share) {
    stack_.push_back({entry, path, kOutside, share});
    while (!stack_.empty()) {
      if (!(stack_.back().folder ? Leave() : Enter())) {
        return;
      }
    }
  }

 private:
  // A folder met on the way down, waiting to be opened, then for its
  // entries to go.
  struct Pending {
    platform::Entry entry;
    std::wstring path;
    std::size_t parent;  // index in the stack, kOutside for the folder the walk was given
    double share;        // of the whole work
    std::unique_ptr<platform::Folder> folder{};  // once opened and listed
    bool kept_something = false;                 // an entry inside it stays
  };
  static constexpr std::size_t kOutside = static_cast<std::size_t>(-1);

  platform::Folder& FolderOf(std::size_t index) {
    return index == kOutside ? parent_ : *stack_[index].folder;
  }
  // One entry has had its turn; false when the walk must stop.
  bool Turn(double share) { return !advance_ || advance_(share); }
  // Records what became of the entry `name` of the folder at `holder`;
  // one that stays keeps that folder.
  void Keep(std::size_t holder, const std::wstring& name, const std::wstring& path,
            FsResult result) {
    left_.Record(FolderOf(holder), name, path, result);
    if (Stays(result.status) && holder != kOutside) {
      stack_[holder].kept_something = true;
    }
  }

  // Opens and lists the folder on top, removes the files and links in it
  // and queues its subfolders. Gone already, changed, or unreadable: then it
  // stays with all in it.
  bool Enter() {
    const std::size_t top = stack_.size() - 1;
    std::unique_ptr<platform::Folder> opened;
    FsResult listed = OpenListed(FolderOf(stack_[top].parent), stack_[top].entry, opened);
    std::vector<platform::Entry> entries;
    if (listed.status == FsStatus::kOk) {
      listed = opened->List(entries);
    }
    if (listed.status != FsStatus::kOk) {
      const Pending unreadable = std::move(stack_[top]);
      stack_.pop_back();
      Keep(unreadable.parent, unreadable.entry.name, unreadable.path, listed);
      return Turn(unreadable.share);
    }
    stack_[top].folder = std::move(opened);
    // An empty folder keeps its share for its own removal.
    const double entry_share = entries.empty() ? 0 : stack_[top].share / entries.size();
    if (!entries.empty()) {
      stack_[top].share = 0;
    }
    for (auto& inner : entries) {
      std::wstring inner_path = stack_[top].path + L'\\' + inner.name;
      if (left_.Find(stack_[top].folder->Identity(), inner.name) != nullptr) {
        stack_[top].kept_something = true;  // left earlier in the run: not touched again
      } else if (inner.type.folder && !inner.type.link) {
        stack_.push_back({std::move(inner), std::move(inner_path), top, entry_share});
        continue;
      } else {
        Keep(top, inner.name, inner_path, RemoveListed(*stack_[top].folder, inner));
      }
      if (!Turn(entry_share)) {
        return false;
      }
    }
    return true;
  }

  // Everything inside the folder on top has had its turn; now the folder
  // itself, through its own handle, unless what stays inside keeps it.
  bool Leave() {
    Pending done = std::move(stack_.back());
    stack_.pop_back();
    FsResult removed = done.kept_something ? FsResult{} : done.folder->Remove();
    // One that won't go though all it showed went holds either what came in
    // meanwhile, which stays in its own right, or what no listing shows
    // (Wine hides a link that leads nowhere), not something in use.
    std::vector<platform::Entry> unseen;
    if (removed.status == FsStatus::kInUse && done.folder->List(unseen).status == FsStatus::kOk) {
      done.kept_something = !unseen.empty();
      removed = unseen.empty() ? FsResult{FsStatus::kFailed, removed.error} : FsResult{};
    }
    done.folder.reset();
    if (done.kept_something && done.parent != kOutside) {
      stack_[done.parent].kept_something = true;
    }
    Keep(done.parent, done.entry.name, done.path, removed);
    return Turn(done.share);
  }

  platform::Folder& parent_;
  LeftEntries& left_;
  const AdvanceFn& advance_;
  std::vector<Pending> stack_;
};

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
  FsResult result = folder.Open(listed.name, listed.type, opened);
  // Opened as itself and of the kind listed, a file or a link is that entry.
  const bool as_listed = !listed.type.folder && folder.OpensEntriesAsThemselves();
  if (result.status == FsStatus::kOk && !as_listed) {
    result = Judge(*opened, listed, folder.Identity());
  }
  return result.status == FsStatus::kOk ? opened->Remove() : result;
}

void DeleteTree(platform::Folder& parent, const platform::Entry& entry, const std::wstring& path,
                LeftEntries& left, double share, const AdvanceFn& advance) {
  if (left.Find(parent.Identity(), entry.name) != nullptr) {
    // Left earlier in the run: not touched again.
  } else if (entry.type.folder && !entry.type.link) {
    TreeWalk(parent, left, advance).Run(entry, path, share);
    return;
  } else {
    left.Record(parent, entry.name, path, RemoveListed(parent, entry));
  }
  if (advance) {
    advance(share);
  }
}

}  // namespace quellnet::cleaners
