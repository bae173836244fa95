// An in-memory tree of folders, files and links for the cleaners' unit tests, worked on through
// handles as the real system is. Paths are compared as Windows compares them, without regard to
// case. Every entry has an identity of its own (its drive and a number) that stays with it when
// it is moved. A link is an entry of its own that leads to its target; `aliases` are names that
// lead elsewhere without being entries (a short name, a junction or a drive letter above a
// folder), which only OpenFolder follows.
//
// Any entry can be made undeletable (held open, no right) and any folder unlistable, and
// `before_open` is told of each entry just before it is opened through its folder: the moment
// another program can change it. With `follows_links` the tree behaves as Wine does: a listing
// shows a link with the identity of what it leads to (a link to a file as a plain file, a link
// that leads nowhere not at all), and opening a link opens what it leads to, removal included.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace quellnet::fakes {

// Orders paths as if they were in lower case.
struct NoCase {
  static wchar_t Lower(wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); }
  bool operator()(std::wstring_view a, std::wstring_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return Lower(x) < Lower(y); });
  }
};

struct FakeFileSystem final : platform::FileSystem {
  using FsResult = platform::FsResult;
  using FsStatus = platform::FsStatus;
  using EntryType = platform::EntryType;

  struct Node {
    EntryType type;
    std::uint64_t index = 0;
    std::wstring target{};  // where a link leads
  };

  // Each call adds the entry and the folders above it.
  void AddFolder(const std::wstring& path) { Add(path, {true, false}); }
  void AddFile(const std::wstring& path) { Add(path, {false, false}); }
  // A link shown as a folder (a junction) or as a file, leading to `target`.
  void AddLink(const std::wstring& path, const std::wstring& target, bool to_folder = true) {
    Add(path, {to_folder, true}).target = target;
  }
  // Takes the entry away with all in it.
  void RemoveTree(const std::wstring& path) {
    for (const std::wstring& gone : Under(path)) {
      entries.erase(gone);
    }
  }
  // Renames the entry, with all in it; each keeps its identity.
  void Move(const std::wstring& from, const std::wstring& to) {
    for (const std::wstring& moved : Under(from)) {
      entries[to + moved.substr(from.size())] = entries.extract(moved).mapped();
    }
  }

  // The path and every entry below it, in order.
  std::vector<std::wstring> Under(const std::wstring& path) const {
    std::vector<std::wstring> found;
    for (const auto& [entry_path, node] : entries) {
      if (Same(entry_path, path) || IsBelow(entry_path, path)) {
        found.push_back(entry_path);
      }
    }
    return found;
  }

  // As the system makes it full: "." and ".." resolved (never above the
  // root), empty parts and a trailing separator dropped, a drive root "C:\".
  std::optional<std::wstring> FullPath(const std::wstring& path) override {
    const std::size_t root_parts = path.starts_with(L"\\\\") ? 2 : 1;
    std::vector<std::wstring> parts;
    std::wstringstream in(path);
    for (std::wstring part; std::getline(in, part, L'\\');) {
      if (part == L".." && parts.size() > root_parts) {
        parts.pop_back();
      } else if (!part.empty() && part != L"." && part != L"..") {
        parts.push_back(part);
      }
    }
    std::wstring full = root_parts == 2 ? L"\\" : L"";
    for (const std::wstring& part : parts) {
      full += (full.empty() ? L"" : L"\\") + part;
    }
    return parts.size() == 1 && root_parts == 1 ? full + L'\\' : full;
  }

  std::optional<std::wstring> KnownFolderPath(platform::KnownFolder folder) override {
    return known_folders.count(folder) != 0 ? std::optional(known_folders[folder]) : std::nullopt;
  }
  std::wstring ComputerName() override { return computer_name; }
  std::vector<platform::Holder> HoldersOf(const std::wstring& path) override {
    return holders[path];
  }
  FsResult OpenFolder(const std::wstring& path, std::unique_ptr<platform::Folder>& folder) override;

  std::map<std::wstring, Node, NoCase> entries;
  std::map<std::wstring, std::wstring, NoCase> aliases;  // a name -> the real path it leads to
  std::map<platform::KnownFolder, std::wstring> known_folders;
  std::wstring computer_name;
  std::map<std::wstring, std::vector<platform::Holder>> holders;
  std::map<std::wstring, FsStatus> delete_errors;
  std::map<std::wstring, FsStatus> fail_once;  // the first removal only fails
  std::map<std::wstring, FsStatus> open_errors;
  std::map<std::wstring, FsStatus> list_errors;
  // The system's code for a path's failure, where it is not the usual one of its status.
  std::map<std::wstring, platform::SystemError> error_codes;
  std::function<void(const std::wstring& path)> before_open;
  bool follows_links = false;

  // ---- what the handles below work with

  static bool IsBelow(const std::wstring& inner, const std::wstring& outer) {
    const std::wstring prefix = outer.back() == L'\\' ? outer : outer + L'\\';
    return inner.size() > prefix.size() && Same(inner.substr(0, prefix.size()), prefix);
  }
  static bool Same(std::wstring_view a, std::wstring_view b) {
    return !NoCase{}(a, b) && !NoCase{}(b, a);
  }
  // "C:\" or "\\server\share"; the root of every path the tests use.
  static std::wstring Root(const std::wstring& path) {
    return path.starts_with(L"\\\\") ? path.substr(0, path.find(L'\\', path.find(L'\\', 2) + 1))
                                     : path.substr(0, 3);
  }
  static std::wstring Parent(const std::wstring& path) {
    if (path.size() <= Root(path).size()) {
      return {};
    }
    const std::wstring parent = path.substr(0, path.rfind(L'\\'));
    return parent.size() < Root(path).size() ? Root(path) : parent;
  }

  std::optional<std::wstring> PathOf(std::uint64_t index) const {
    for (const auto& [path, node] : entries) {
      if (node.index == index) {
        return path;
      }
    }
    return std::nullopt;
  }
  platform::FileIdentity IdentityOf(const std::wstring& path, std::uint64_t index) const {
    std::wstring root = Root(path);
    std::transform(root.begin(), root.end(), root.begin(), NoCase::Lower);
    return {std::hash<std::wstring>{}(root), index};
  }
  // Where a path really leads, through every alias and link on the way.
  std::wstring Resolve(const std::wstring& path) const {
    std::wstring real = Root(path);
    const auto follow = [&] {
      for (int hops = 0; hops < 8; ++hops) {
        const auto alias = aliases.find(real);
        const auto link = entries.find(real);
        if (alias != aliases.end()) {
          real = alias->second;
        } else if (link != entries.end() && link->second.type.link) {
          real = link->second.target;
        } else {
          return;
        }
      }
    };
    follow();
    std::wstringstream rest(path.substr(std::min(Root(path).size(), path.size())));
    for (std::wstring part; std::getline(rest, part, L'\\');) {
      if (!part.empty()) {
        real += (real.back() == L'\\' ? L"" : L"\\") + part;
        follow();
      }
    }
    return real;
  }
  // The usual code of each status, as the real system gives it.
  FsResult Failure(const std::wstring& path, FsStatus status) {
    constexpr platform::SystemError kCodes[] = {0, 2, 5, 32, 0, 0};
    const auto code = error_codes.find(path);
    return {status, code != error_codes.end() ? code->second : kCodes[static_cast<int>(status)]};
  }
  FsResult Show(std::uint64_t index, bool itself, platform::Shown& shown) {
    const std::optional<std::wstring> path = PathOf(index);
    if (!path) {
      return Failure(L"", FsStatus::kNotFound);
    }
    shown = {entries[*path].type, IdentityOf(*path, index), itself};
    return {};
  }
  FsResult Remove(std::uint64_t index) {
    const std::optional<std::wstring> path = PathOf(index);
    if (!path) {
      return Failure(L"", FsStatus::kNotFound);
    }
    if (delete_errors.count(*path) != 0) {
      return Failure(*path, delete_errors[*path]);
    }
    if (fail_once.count(*path) != 0) {
      return Failure(*path, fail_once.extract(*path).mapped());
    }
    if (Under(*path).size() > 1) {
      return {FsStatus::kInUse, 145};  // as the system answers for a folder not empty
    }
    entries.erase(*path);
    return {};
  }

 private:
  Node& Add(const std::wstring& path, EntryType type) {
    for (std::wstring above = Parent(path); !above.empty(); above = Parent(above)) {
      if (entries.count(above) == 0) {
        entries[above] = {{true, false}, ++last_index_};
      }
    }
    return entries[path] = {type, ++last_index_};
  }

  std::uint64_t last_index_ = 0;
};

// An entry opened through its folder; `itself` false when it is what a link leads to.
class FakeEntry final : public platform::OpenEntry {
 public:
  FakeEntry(FakeFileSystem& files, std::uint64_t index, bool itself)
      : files_(files), index_(index), itself_(itself) {}
  platform::FsResult Show(platform::Shown& shown) override {
    return files_.Show(index_, itself_, shown);
  }
  platform::FsResult Remove() override { return files_.Remove(index_); }

 private:
  FakeFileSystem& files_;
  std::uint64_t index_;
  bool itself_;
};

class FakeFolder final : public platform::Folder {
 public:
  FakeFolder(FakeFileSystem& files, std::uint64_t index, bool itself)
      : files_(files),
        index_(index),
        itself_(itself),
        identity_(files.IdentityOf(*files.PathOf(index), index)) {}

  platform::FsResult Show(platform::Shown& shown) override {
    return files_.Show(index_, itself_, shown);
  }
  platform::FsResult Remove() override { return files_.Remove(index_); }
  platform::FileIdentity Identity() override { return identity_; }

  std::vector<std::optional<platform::FileIdentity>> Chain() override {
    std::vector<std::optional<platform::FileIdentity>> chain;
    for (std::wstring path = files_.PathOf(index_).value_or(L""); !path.empty();
         path = FakeFileSystem::Parent(path)) {
      const auto node = files_.entries.find(path);
      chain.push_back(node == files_.entries.end()
                          ? std::nullopt
                          : std::optional(files_.IdentityOf(path, node->second.index)));
    }
    return chain;
  }

  platform::FsResult List(std::vector<platform::Entry>& found) override {
    const std::optional<std::wstring> folder = files_.PathOf(index_);
    if (!folder) {
      return files_.Failure(L"", platform::FsStatus::kNotFound);
    }
    if (files_.list_errors.count(*folder) != 0) {
      return files_.Failure(*folder, files_.list_errors[*folder]);
    }
    for (const auto& [path, node] : files_.entries) {
      if (!FakeFileSystem::IsBelow(path, *folder) ||
          path.find(L'\\', folder->size() + 1) != std::wstring::npos) {
        continue;
      }
      platform::Entry entry{path.substr(path.rfind(L'\\') + 1), node.type, node.index};
      if (node.type.link && files_.follows_links) {
        // Shown by what it leads to; a link to a file as a plain file.
        const auto target = files_.entries.find(files_.Resolve(path));
        if (target == files_.entries.end()) {
          continue;
        }
        entry.index = target->second.index;
        entry.type.link = target->second.type.folder;
      }
      found.push_back(entry);
    }
    return {};
  }

  platform::FsResult Open(const std::wstring& name,
                          std::unique_ptr<platform::OpenEntry>& entry) override {
    std::uint64_t index = 0;
    bool itself = true;
    const platform::FsResult found = Find(name, index, itself);
    if (found.status == platform::FsStatus::kOk) {
      entry = std::make_unique<FakeEntry>(files_, index, itself);
    }
    return found;
  }

  platform::FsResult OpenFolder(const std::wstring& name,
                                std::unique_ptr<platform::Folder>& folder) override {
    std::uint64_t index = 0;
    bool itself = true;
    platform::FsResult found = Find(name, index, itself);
    if (found.status == platform::FsStatus::kOk) {
      if (!files_.entries[*files_.PathOf(index)].type.folder) {
        return {platform::FsStatus::kChanged, 267};
      }
      folder = std::make_unique<FakeFolder>(files_, index, itself);
    }
    return found;
  }

 private:
  // The entry `name` of this folder, as an open by name finds it.
  platform::FsResult Find(const std::wstring& name, std::uint64_t& index, bool& itself) {
    if (name.find(L'\\') != std::wstring::npos) {
      return {platform::FsStatus::kFailed, 123};
    }
    const std::optional<std::wstring> folder = files_.PathOf(index_);
    if (!folder) {
      return files_.Failure(L"", platform::FsStatus::kNotFound);
    }
    const std::wstring path = *folder + (folder->back() == L'\\' ? L"" : L"\\") + name;
    if (files_.before_open) {
      files_.before_open(path);
    }
    const auto node = files_.entries.find(path);
    if (node == files_.entries.end()) {
      return files_.Failure(path, platform::FsStatus::kNotFound);
    }
    if (files_.open_errors.count(path) != 0) {
      return files_.Failure(path, files_.open_errors[path]);
    }
    index = node->second.index;
    if (node->second.type.link && files_.follows_links) {
      const auto target = files_.entries.find(files_.Resolve(path));
      if (target == files_.entries.end()) {
        return files_.Failure(path, platform::FsStatus::kNotFound);
      }
      index = target->second.index;
      itself = false;
    }
    return {};
  }

  FakeFileSystem& files_;
  std::uint64_t index_;
  bool itself_;
  platform::FileIdentity identity_;
};

inline platform::FsResult FakeFileSystem::OpenFolder(const std::wstring& path,
                                                     std::unique_ptr<platform::Folder>& folder) {
  const std::wstring real = Resolve(path);
  const auto node = entries.find(real);
  if (node == entries.end() || !node->second.type.folder) {
    return Failure(real, FsStatus::kNotFound);
  }
  if (open_errors.count(real) != 0) {
    return Failure(real, open_errors[real]);
  }
  folder = std::make_unique<FakeFolder>(*this, node->second.index, true);
  return {};
}

}  // namespace quellnet::fakes
