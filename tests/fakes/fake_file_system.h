// An in-memory tree of folders, files and links for the cleaners' unit tests.
// Paths are compared as Windows compares them, without regard to case. Any entry can be made
// undeletable (held open, no right) and any folder unlistable. A link is an entry of its own;
// `aliases` says where it leads, which only IdentityOf looks at. Listing a link is refused, so a
// cleaner that opens one shows it in its message.
#pragma once

#include <algorithm>
#include <cwctype>
#include <map>
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
  using FsStatus = platform::FsStatus;
  using EntryType = platform::EntryType;

  // Each call adds the entry and the folders above it.
  void AddFolder(const std::wstring& path) { Add(path, {true, false}); }
  void AddFile(const std::wstring& path) { Add(path, {false, false}); }
  // A link shown as a folder (a junction) or as a file, leading to `target`.
  void AddLink(const std::wstring& path, const std::wstring& target, bool to_folder = true) {
    Add(path, {to_folder, true});
    aliases[path] = target;
  }

  // The path and every entry below it, in order.
  std::vector<std::wstring> Under(const std::wstring& path) const {
    std::vector<std::wstring> found;
    for (const auto& [entry_path, type] : entries) {
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

  std::optional<platform::FolderIdentity> IdentityOf(const std::wstring& path) override {
    const std::wstring real = Resolve(path);
    const auto entry = entries.find(real);
    if (entry == entries.end() || !entry->second.folder) {
      return std::nullopt;
    }
    // Two names of one folder have one real path, and so one identity.
    return platform::FolderIdentity{1, std::hash<std::wstring>{}(entry->first)};
  }

  FsStatus TypeOf(const std::wstring& path, EntryType& type) override {
    if (open_errors.count(path) != 0) {
      return open_errors[path];
    }
    const auto entry = entries.find(path);
    if (entry == entries.end()) {
      return FsStatus::kNotFound;
    }
    type = entry->second;
    return FsStatus::kOk;
  }

  FsStatus List(const std::wstring& folder, std::vector<platform::Entry>& found) override {
    if (list_errors.count(folder) != 0) {
      return list_errors[folder];
    }
    const auto entry = entries.find(folder);
    if (entry == entries.end() || !entry->second.folder) {
      return FsStatus::kNotFound;
    }
    if (entry->second.link) {
      return FsStatus::kAccessDenied;
    }
    for (const auto& [path, type] : entries) {
      if (IsBelow(path, folder) && path.find(L'\\', folder.size() + 1) == std::wstring::npos) {
        found.push_back({path.substr(folder.size() + 1), type});
      }
    }
    return FsStatus::kOk;
  }

  FsStatus Remove(const std::wstring& path, EntryType type) override {
    const auto entry = entries.find(path);
    if (entry == entries.end()) {
      return FsStatus::kNotFound;
    }
    if (entry->second.folder != type.folder || entry->second.link != type.link) {
      return FsStatus::kFailed;  // the caller mistook what it is
    }
    if (delete_errors.count(path) != 0) {
      return delete_errors[path];
    }
    if (fail_once.count(path) != 0) {
      return fail_once.extract(path).mapped();
    }
    if (type.folder && !type.link && Under(path).size() > 1) {
      return FsStatus::kInUse;  // as the system answers for a folder not empty
    }
    entries.erase(entry);
    return FsStatus::kOk;
  }

  std::map<std::wstring, EntryType, NoCase> entries;
  std::map<std::wstring, std::wstring, NoCase> aliases;  // a link or short name -> the real path
  std::map<platform::KnownFolder, std::wstring> known_folders;
  std::wstring computer_name;
  std::map<std::wstring, std::vector<platform::Holder>> holders;
  std::map<std::wstring, FsStatus> delete_errors;
  std::map<std::wstring, FsStatus> fail_once;  // the first removal only fails
  std::map<std::wstring, FsStatus> open_errors;
  std::map<std::wstring, FsStatus> list_errors;

 private:
  static bool IsBelow(const std::wstring& inner, const std::wstring& outer) {
    const std::wstring prefix = outer.back() == L'\\' ? outer : outer + L'\\';
    return inner.size() > prefix.size() && Same(inner.substr(0, prefix.size()), prefix);
  }
  static bool Same(std::wstring_view a, std::wstring_view b) {
    return !NoCase{}(a, b) && !NoCase{}(b, a);
  }

  void Add(const std::wstring& path, EntryType type) {
    for (auto separator = path.rfind(L'\\'); separator != std::wstring::npos && separator > 2;
         separator = path.rfind(L'\\', separator - 1)) {
      entries.try_emplace(path.substr(0, separator), EntryType{true, false});
    }
    entries[path] = type;
  }

  // Where a path really leads: through the alias that is it or holds it
  // (no test nests them).
  std::wstring Resolve(const std::wstring& path) const {
    for (const auto& [alias, real] : aliases) {
      if (Same(path, alias) || IsBelow(path, alias)) {
        return real + path.substr(alias.size());
      }
    }
    return path;
  }
};

}  // namespace quellnet::fakes
