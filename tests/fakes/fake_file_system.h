// An in-memory tree of folders, files and links for the cleaners' unit tests, worked on through
// handles as the real system is. Paths are compared as Windows compares them, without regard to
// case. Every entry has an identity (its drive and a number) that stays with it when it is moved.
// A link is an entry of its own that leads to its target; `aliases` are names that lead elsewhere
// without being entries (a short name, a junction or a drive letter above a folder), which only
// OpenFolder follows.
//
// Any entry can be made undeletable (held open, no right) and any folder unlistable, and
// `before_open` is told of each entry just before it is opened through its folder: the moment
// another program can change it. Without `follows_links` the tree behaves as Windows does: an
// entry is opened as itself, a link as the link, and an open that asks for another kind than the
// entry's fails. With it the tree behaves as Wine does: a listing shows a link by what it leads
// to (a link to a file as a plain file, one that leads nowhere not at all), and opening a link
// opens what it leads to, for a removal too, whatever kind was asked. `shows` counts the looks
// at opened entries' handles.
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

  struct Node {
    platform::EntryType type;
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
  FsResult OpenFolder(const std::wstring& path, std::unique_ptr<platform::Folder>& folder) override;

  std::map<std::wstring, Node, NoCase> entries;
  std::map<std::wstring, std::wstring, NoCase> aliases;  // a name -> the real path it leads to
  std::map<platform::KnownFolder, std::wstring> known_folders;
  std::wstring computer_name;
  std::map<std::wstring, std::vector<platform::Holder>> holders;
  std::map<std::wstring, FsStatus> delete_errors;
  // The first removal only fails; one that finds the entry gone finds it taken by another program.
  std::map<std::wstring, FsStatus> fail_once;
  std::map<std::wstring, FsStatus> open_errors;
  std::map<std::wstring, FsStatus> list_errors;
  // The system's code for a path's failure, where it is not the usual one of its status.
  std::map<std::wstring, platform::SystemError> error_codes;
  std::function<void(const std::wstring& path)> before_open;
  bool follows_links = false;
  int shows = 0;

  // ---- for the handles below

  static bool Same(std::wstring_view a, std::wstring_view b) {
    return !NoCase{}(a, b) && !NoCase{}(b, a);
  }
  static bool IsBelow(const std::wstring& inner, const std::wstring& outer) {
    const std::wstring prefix = outer.back() == L'\\' ? outer : outer + L'\\';
    return inner.size() > prefix.size() && Same(inner.substr(0, prefix.size()), prefix);
  }
  // "C:\" or "\\server\share", the roots the tests use; empty above a root.
  static std::wstring Root(const std::wstring& path) {
    return path.starts_with(L"\\\\") ? path.substr(0, path.find(L'\\', path.find(L'\\', 2) + 1))
                                     : path.substr(0, 3);
  }
  static std::wstring Parent(const std::wstring& path) {
    const std::wstring root = Root(path);
    const std::wstring parent = path.substr(0, path.rfind(L'\\'));
    return path.size() <= root.size() ? L"" : parent.size() < root.size() ? root : parent;
  }
  std::optional<std::wstring> PathOf(std::uint64_t index) const {
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const auto& entry) { return entry.second.index == index; });
    return found == entries.end() ? std::nullopt : std::optional(found->first);
  }
  // Each drive a volume of its own.
  platform::FileIdentity IdentityOf(const std::wstring& path) const {
    return {static_cast<std::uint64_t>(NoCase::Lower(path[0])), entries.at(path).index};
  }
  // Where a path really leads, through each alias and link on the way (one
  // that leads to another is followed no further).
  std::wstring Resolve(const std::wstring& path) const {
    std::wstring real;
    std::wstringstream parts(path.substr(Root(path).size()));
    for (std::wstring part = Root(path); !part.empty() || std::getline(parts, part, L'\\');
         part.clear()) {
      real += (real.empty() || real.back() == L'\\' ? L"" : L"\\") + part;
      const auto link = entries.find(real);
      if (aliases.count(real) != 0) {
        real = aliases.at(real);
      } else if (link != entries.end() && link->second.type.link) {
        real = link->second.target;
      }
    }
    return real;
  }
  // As the real system answers, with its usual code for each status.
  FsResult Failure(const std::wstring& path, FsStatus status) {
    constexpr platform::SystemError kCodes[] = {0, 2, 5, 32, 0, 206, 0};
    const auto code = error_codes.find(path);
    return {status, code != error_codes.end() ? code->second : kCodes[static_cast<int>(status)]};
  }

 private:
  Node& Add(const std::wstring& path, platform::EntryType type) {
    for (std::wstring above = Parent(path); !above.empty(); above = Parent(above)) {
      entries.try_emplace(above, Node{{true, false}, ++last_index_});
    }
    return entries[path] = {type, ++last_index_};
  }

  std::uint64_t last_index_ = 0;
};

// An entry opened through its folder, a folder too.
class FakeHandle final : public platform::Folder {
 public:
  using FsResult = platform::FsResult;
  using FsStatus = platform::FsStatus;

  FakeHandle(FakeFileSystem& files, std::uint64_t index)
      : files_(files), index_(index), identity_(files.IdentityOf(*files.PathOf(index))) {}

  FsResult Show(platform::Shown& shown) override {
    ++files_.shows;
    const std::wstring path = Path();
    if (!path.empty()) {
      shown = {files_.entries[path].type, files_.IdentityOf(path)};
    }
    return path.empty() ? files_.Failure(path, FsStatus::kNotFound) : FsResult{};
  }
  FsResult Remove() override {
    const std::wstring path = Path();
    if (files_.fail_once.count(path) != 0 && files_.fail_once[path] == FsStatus::kNotFound) {
      files_.RemoveTree(path);  // another program took it first
    }
    if (path.empty() || files_.delete_errors.count(path) != 0 ||
        files_.fail_once.count(path) != 0) {
      return files_.Failure(path, path.empty() ? FsStatus::kNotFound
                                  : files_.delete_errors.count(path) != 0
                                      ? files_.delete_errors[path]
                                      : files_.fail_once.extract(path).mapped());
    }
    if (files_.Under(path).size() > 1) {
      return {FsStatus::kInUse, 145};  // as the system answers for a folder not empty
    }
    files_.entries.erase(path);
    return {};
  }
  platform::FileIdentity Identity() override { return identity_; }
  std::vector<platform::Holder> HoldersOf(const std::wstring& name) override {
    return files_.holders[Path() + L"\\" + name];
  }

  std::vector<std::optional<platform::FileIdentity>> Chain(ReadParents& /*read*/) override {
    std::vector<std::optional<platform::FileIdentity>> chain;
    // A folder above that can't be opened leaves its place empty.
    for (std::wstring path = Path(); !path.empty(); path = FakeFileSystem::Parent(path)) {
      chain.push_back(path != Path() && files_.open_errors.count(path) != 0
                          ? std::optional<platform::FileIdentity>()
                          : files_.IdentityOf(path));
    }
    return chain;
  }

  FsResult List(std::vector<platform::Entry>& found) override {
    const std::wstring folder = Path();
    if (folder.empty() || files_.list_errors.count(folder) != 0) {
      return files_.Failure(folder,
                            folder.empty() ? FsStatus::kNotFound : files_.list_errors[folder]);
    }
    for (const auto& [path, node] : files_.entries) {
      if (FakeFileSystem::IsBelow(path, folder) && FakeFileSystem::Parent(path) == folder) {
        platform::Entry entry{path.substr(path.rfind(L'\\') + 1), node.type, node.index};
        const auto target = files_.entries.find(files_.Resolve(path));
        if (node.type.link && files_.follows_links) {
          // Shown by what it leads to; a link to a file as a plain file.
          if (target == files_.entries.end()) {
            continue;
          }
          entry.index = target->second.index;
          entry.type.link = target->second.type.folder;
        }
        found.push_back(entry);
      }
    }
    return {};
  }

  FsResult Open(const std::wstring& name, const platform::EntryType& listed,
                std::unique_ptr<platform::OpenEntry>& entry) override {
    std::unique_ptr<FakeHandle> opened;
    const FsResult result = Find(name, opened);
    if (opened && !files_.follows_links &&
        files_.entries[opened->Path()].type.folder != listed.folder) {
      return {FsStatus::kChanged, 0};
    }
    entry = std::move(opened);
    return result;
  }
  bool OpensEntriesAsThemselves() override { return !files_.follows_links; }
  FsResult OpenFolder(const std::wstring& name,
                      std::unique_ptr<platform::Folder>& folder) override {
    std::unique_ptr<FakeHandle> opened;
    FsResult result = Find(name, opened);
    if (opened && !files_.entries[opened->Path()].type.folder) {
      return {FsStatus::kChanged, 267};
    }
    folder = std::move(opened);
    return result;
  }

 private:
  // Where it is now; empty once it is gone.
  std::wstring Path() const { return files_.PathOf(index_).value_or(L""); }

  // Opens the entry `name` of this folder, as an open by name finds it.
  FsResult Find(const std::wstring& name, std::unique_ptr<FakeHandle>& opened) {
    const std::wstring folder = Path();
    if (name.find(L'\\') != std::wstring::npos || folder.empty()) {
      return folder.empty() ? files_.Failure(L"", FsStatus::kNotFound)
                            : FsResult{FsStatus::kFailed, 123};
    }
    const std::wstring path = folder + (folder.back() == L'\\' ? L"" : L"\\") + name;
    if (files_.before_open) {
      files_.before_open(path);
    }
    auto node = files_.entries.find(path);
    if (node != files_.entries.end() && node->second.type.link && files_.follows_links) {
      node = files_.entries.find(files_.Resolve(path));  // what the link leads to
    }
    if (node == files_.entries.end() || files_.open_errors.count(path) != 0) {
      return files_.Failure(
          path, node == files_.entries.end() ? FsStatus::kNotFound : files_.open_errors[path]);
    }
    opened = std::make_unique<FakeHandle>(files_, node->second.index);
    return {};
  }

  FakeFileSystem& files_;
  std::uint64_t index_;
  platform::FileIdentity identity_;
};

inline platform::FsResult FakeFileSystem::OpenFolder(const std::wstring& path,
                                                     std::unique_ptr<platform::Folder>& folder) {
  const std::wstring real = Resolve(path);
  const auto node = entries.find(real);
  if (node == entries.end() || !node->second.type.folder || open_errors.count(real) != 0) {
    return Failure(real, node == entries.end() || !node->second.type.folder ? FsStatus::kNotFound
                                                                            : open_errors[real]);
  }
  folder = std::make_unique<FakeHandle>(*this, node->second.index);
  return {};
}

}  // namespace quellnet::fakes
