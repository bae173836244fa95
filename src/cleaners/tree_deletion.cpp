#include "cleaners/tree_deletion.h"

#include <cstddef>
#include <utility>

namespace quellnet::cleaners {

using platform::FsStatus;

bool Stays(FsStatus status) {
  return status != FsStatus::kOk && status != FsStatus::kNotFound;
}

namespace {

// A folder met on the way down, waiting for its entries to go.
struct Pending {
  std::wstring path;
  platform::EntryType type;
  std::size_t parent;  // index in the stack, kTop for the folder asked for
  double share;        // of the whole work
  bool listed = false;
  bool kept_something = false;  // an entry inside it stays
};
constexpr std::size_t kTop = static_cast<std::size_t>(-1);

}  // namespace

FsStatus DeleteTree(platform::FileSystem& files, const std::wstring& path, platform::EntryType type,
                    std::vector<Leftover>& leftovers, double share, const AdvanceFn& advance) {
  // One entry has had its turn; false when the deletion must stop.
  auto turn_done = [&](double entry_share) { return !advance || advance(entry_share); };

  if (!type.folder || type.link) {
    const FsStatus removed = files.Remove(path, type);
    if (Stays(removed)) {
      leftovers.push_back({path, removed});
    }
    turn_done(share);
    return removed;
  }

  // Depth first without recursion, so that however deep the tree goes the
  // stack of the thread is never at risk.
  FsStatus first = FsStatus::kOk;
  bool gone_before = false;
  std::vector<Pending> stack;
  stack.push_back({path, type, kTop, share});

  // Records an entry that stays, and marks the folder that holds it.
  auto keep = [&](const std::wstring& kept, FsStatus status, std::size_t parent) {
    if (!Stays(status)) {
      return;
    }
    leftovers.push_back({kept, status});
    if (first == FsStatus::kOk) {
      first = status;
    }
    if (parent != kTop) {
      stack[parent].kept_something = true;
    }
  };

  while (!stack.empty()) {
    const std::size_t top = stack.size() - 1;
    if (!stack[top].listed) {
      stack[top].listed = true;
      std::vector<platform::Entry> entries;
      const FsStatus listed = files.List(stack[top].path, entries);
      if (listed != FsStatus::kOk) {
        // Gone already, or unreadable: then it stays with all in it.
        const Pending unreadable = std::move(stack[top]);
        stack.pop_back();
        gone_before = unreadable.parent == kTop && listed == FsStatus::kNotFound;
        keep(unreadable.path, listed, unreadable.parent);
        if (!turn_done(unreadable.share)) {
          return first;
        }
        continue;
      }
      // An empty folder keeps its share for its own removal.
      const double entry_share = entries.empty() ? 0 : stack[top].share / entries.size();
      if (!entries.empty()) {
        stack[top].share = 0;
      }
      for (auto& entry : entries) {
        std::wstring entry_path = stack[top].path + L'\\' + entry.name;
        if (entry.type.folder && !entry.type.link) {
          stack.push_back({std::move(entry_path), entry.type, top, entry_share});
        } else {
          keep(entry_path, files.Remove(entry_path, entry.type), top);
          if (!turn_done(entry_share)) {
            return first;
          }
        }
      }
      continue;
    }
    // Everything inside has had its turn; now the folder itself.
    const Pending done = std::move(stack[top]);
    stack.pop_back();
    const FsStatus removed = files.Remove(done.path, done.type);
    if (!turn_done(done.share)) {
      return first;
    }
    if (!Stays(removed)) {
      continue;
    }
    if (done.kept_something) {
      // It stays because of what stays inside, which is counted already.
      if (done.parent != kTop) {
        stack[done.parent].kept_something = true;
      }
    } else {
      keep(done.path, removed, done.parent);
    }
  }
  return gone_before ? FsStatus::kNotFound : first;
}

}  // namespace quellnet::cleaners
