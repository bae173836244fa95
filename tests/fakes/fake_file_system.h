// An in-memory tree of folders, files and links for the cleaners' unit tests.
// Paths are compared exactly as written. Any entry can be made undeletable
// (held open, no right) and any folder unopenable or unlistable. A link is an
// entry of its own; what it leads to is some other path of the tree, which
// the fake never touches through the link.
#pragma once

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace quellnet::fakes {

class FakeFileSystem final : public platform::FileSystem {
 public:
  using FsStatus = platform::FsStatus;

  struct Entry {
    bool folder = false;
    bool read_only = false;
    bool link = false;
    FsStatus delete_error = FsStatus::kOk;  // kOk: can be deleted
  };

  // Each call adds the entry and the folders above it.
  void AddFolder(const std::wstring& path) { Add(path, Entry{true}); }
  void AddFile(const std::wstring& path, bool read_only = false) {
    Add(path, Entry{false, read_only});
  }
  // A link shown as a folder (a junction) or as a file; `target` is where it
  // leads, for SameFolder.
  void AddLink(const std::wstring& path, const std::wstring& target, bool to_folder = true) {
    Add(path, Entry{to_folder, false, true});
    aliases[path] = target;
  }
  // Deleting this entry fails with `status`; it stays.
  void FailDelete(const std::wstring& path, FsStatus status) {
    entries_.at(path).delete_error = status;
  }
  void FailOpen(const std::wstring& path, FsStatus status) { open_errors_[path] = status; }
  void FailListing(const std::wstring& path, FsStatus status) { list_errors_[path] = status; }

  bool Exists(const std::wstring& path) const { return entries_.count(path) != 0; }
  // Every entry at or below `path`, in sorted order.
  std::vector<std::wstring> Under(const std::wstring& path) const {
    std::vector<std::wstring> found;
    for (const auto& [entry_path, entry] : entries_) {
      if (entry_path == path || IsBelow(entry_path, path)) {
        found.push_back(entry_path);
      }
    }
    return found;
  }

  // Protected folders the fake reports, and paths that lead elsewhere
  // (links, short names) for SameFolder.
  std::vector<platform::ProtectedFolder> protected_folders;
  std::map<std::wstring, std::wstring> aliases;
  // When set, DeleteFolder stops at the first entry it can't delete, taking
  // the files of a folder before its subfolders, and reports no leftovers:
  // the scripting runtime's way, which leaves more behind than needed.
  bool stop_at_first_failure = false;
  // Every path that was listed, in call order.
  std::vector<std::wstring> listed;
  // Runs before every deletion the cleaner asks for.
  std::function<void()> on_delete;

  std::optional<std::wstring> FullPath(const std::wstring& path) override {
    // Resolves "." and ".." and drops empty components, like the system.
    const bool unc = path.rfind(L"\\\\", 0) == 0;
    std::vector<std::wstring> parts;
    std::wstring part;
    for (std::size_t i = unc ? 2 : 0; i <= path.size(); ++i) {
      if (i == path.size() || path[i] == L'\\') {
        if (part == L"..") {
          if (parts.size() > (unc ? 2u : 1u)) {
            parts.pop_back();
          }
        } else if (!part.empty() && part != L".") {
          parts.push_back(part);
        }
        part.clear();
      } else {
        part += path[i];
      }
    }
    if (parts.empty()) {
      return std::nullopt;
    }
    std::wstring full = unc ? L"\\\\" : L"";
    for (std::size_t i = 0; i < parts.size(); ++i) {
      full += (i == 0 ? L"" : L"\\") + parts[i];
    }
    if (!unc && parts.size() == 1) {
      full += L'\\';  // "C:\"
    }
    return full;
  }

  std::vector<platform::ProtectedFolder> ProtectedFolders() override { return protected_folders; }

  bool SameFolder(const std::wstring& a, const std::wstring& b) override {
    const std::wstring real_a = Resolve(a);
    const std::wstring real_b = Resolve(b);
    return real_a == real_b && (IsRoot(real_a) || IsFolder(real_a));
  }

  FsStatus OpenFolder(const std::wstring& path) override {
    if (const auto error = open_errors_.find(path); error != open_errors_.end()) {
      return error->second;
    }
    return IsFolder(path) ? FsStatus::kOk : FsStatus::kNotFound;
  }

  bool IsLink(const std::wstring& path) override {
    const auto entry = entries_.find(path);
    return entry != entries_.end() && entry->second.link;
  }

  FsStatus ListFiles(const std::wstring& folder, std::vector<std::wstring>& paths) override {
    return List(folder, false, paths);
  }
  FsStatus ListSubfolders(const std::wstring& folder, std::vector<std::wstring>& paths) override {
    return List(folder, true, paths);
  }

  FsStatus DeleteFile(const std::wstring& path) override {
    if (on_delete) {
      on_delete();
    }
    const auto entry = entries_.find(path);
    if (entry == entries_.end()) {
      return FsStatus::kNotFound;
    }
    if (entry->second.folder && !entry->second.link) {
      return FsStatus::kAccessDenied;  // as the system answers for a folder
    }
    return RemoveOne(entry);
  }

  FsStatus DeleteFolder(const std::wstring& path,
                        std::vector<platform::Leftover>& leftovers) override {
    if (on_delete) {
      on_delete();
    }
    const auto entry = entries_.find(path);
    if (entry == entries_.end() || !entry->second.folder) {
      return FsStatus::kNotFound;
    }
    FsStatus first = FsStatus::kOk;
    RemoveTree(path, leftovers, first);
    return first;
  }

 private:
  static bool IsBelow(const std::wstring& inner, const std::wstring& outer) {
    const std::wstring prefix = outer.back() == L'\\' ? outer : outer + L'\\';
    return inner.size() > prefix.size() && inner.compare(0, prefix.size(), prefix) == 0;
  }
  static bool IsRoot(const std::wstring& path) { return path.size() == 3 && path[1] == L':'; }
  static std::wstring ParentOf(const std::wstring& path) {
    const auto separator = path.rfind(L'\\');
    return separator == std::wstring::npos || separator <= 2 ? std::wstring()
                                                             : path.substr(0, separator);
  }

  void Add(const std::wstring& path, Entry entry) {
    for (std::wstring parent = ParentOf(path); !parent.empty(); parent = ParentOf(parent)) {
      entries_.try_emplace(parent, Entry{true});
    }
    entries_[path] = entry;
  }

  bool IsFolder(const std::wstring& path) const {
    if (IsRoot(path)) {
      return true;
    }
    const auto entry = entries_.find(path);
    return entry != entries_.end() && entry->second.folder;
  }

  // Where a path really leads: the longest alias that is it or holds it.
  std::wstring Resolve(const std::wstring& path) const {
    for (auto alias = aliases.rbegin(); alias != aliases.rend(); ++alias) {
      if (path == alias->first) {
        return alias->second;
      }
      if (IsBelow(path, alias->first)) {
        return alias->second + path.substr(alias->first.size());
      }
    }
    return path;
  }

  FsStatus List(const std::wstring& folder, bool folders, std::vector<std::wstring>& paths) {
    listed.push_back(folder);
    if (const auto error = list_errors_.find(folder); error != list_errors_.end()) {
      return error->second;
    }
    if (!IsFolder(folder)) {
      return FsStatus::kNotFound;
    }
    paths = Children(folder, folders);
    return FsStatus::kOk;
  }

  FsStatus RemoveOne(std::map<std::wstring, Entry>::iterator entry) {
    if (entry->second.delete_error != FsStatus::kOk) {
      return entry->second.delete_error;
    }
    entries_.erase(entry);
    return FsStatus::kOk;
  }

  std::vector<std::wstring> Children(const std::wstring& folder, bool folders) const {
    std::vector<std::wstring> children;
    for (const auto& [path, entry] : entries_) {
      if (IsBelow(path, folder) && ParentOf(path) == folder && entry.folder == folders) {
        children.push_back(path);
      }
    }
    return children;
  }

  // Removes `path` with everything below it, the files of a folder before
  // its subfolders, a link as itself. Keeps the first failure in `first`;
  // false when something stayed.
  bool RemoveTree(const std::wstring& path, std::vector<platform::Leftover>& leftovers,
                  FsStatus& first) {
    const Entry entry = entries_.at(path);
    if (entry.folder && !entry.link) {
      bool kept = false;
      for (const bool folders : {false, true}) {
        for (const auto& child : Children(path, folders)) {
          kept = !RemoveTree(child, leftovers, first) || kept;
          if (kept && stop_at_first_failure) {
            return false;
          }
        }
      }
      if (kept) {
        return false;  // what stayed inside is counted, this folder is not
      }
    }
    const FsStatus removed = RemoveOne(entries_.find(path));
    if (removed != FsStatus::kOk) {
      if (!stop_at_first_failure) {
        leftovers.push_back({path, removed});
      }
      first = first == FsStatus::kOk ? removed : first;
    }
    return removed == FsStatus::kOk;
  }

  std::map<std::wstring, Entry> entries_;
  std::map<std::wstring, FsStatus> open_errors_;
  std::map<std::wstring, FsStatus> list_errors_;
};

}  // namespace quellnet::fakes
