// The cleaners' file operations through the wide-character file API.
//
// Every path goes to the system in its extended form ("\\?\C:\...",
// "\\?\UNC\server\share\..."), so entries deeper than MAX_PATH are reached
// like any other; the paths handed back are in the ordinary form. A reparse
// point (junction, symbolic link, mount point) below a folder is never
// entered: it is removed as an entry, which leaves what it points to alone.
#include <shlobj.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/factories.h"
#include "platform/win32/handles.h"

namespace quellnet::platform::win32 {
namespace {

constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && std::wstring_view(text).substr(0, prefix.size()) == prefix;
}

// The extended form of a full path. The system takes such a path as it is,
// without resolving "." or "..", so callers pass canonical paths.
std::wstring Extended(const std::wstring& path) {
  if (StartsWith(path, kExtendedPrefix)) {
    return path;
  }
  if (StartsWith(path, L"\\\\")) {
    return std::wstring(kExtendedUncPrefix) + path.substr(2);
  }
  return std::wstring(kExtendedPrefix) + path;
}

// The ordinary form of a path that may carry the extended prefix.
std::wstring Ordinary(const std::wstring& path) {
  if (StartsWith(path, kExtendedUncPrefix)) {
    return L"\\\\" + path.substr(kExtendedUncPrefix.size());
  }
  if (StartsWith(path, kExtendedPrefix)) {
    return path.substr(kExtendedPrefix.size());
  }
  return path;
}

FsStatus ToStatus(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return FsStatus::kOk;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return FsStatus::kNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_WRITE_PROTECT:
      return FsStatus::kAccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    // A folder that still holds something after all its entries went: a
    // file deleted while another program keeps it open stays until closed.
    case ERROR_DIR_NOT_EMPTY:
      return FsStatus::kInUse;
    default:
      return FsStatus::kFailed;
  }
}

FsStatus LastStatus() {
  return ToStatus(::GetLastError());
}

bool IsReparsePoint(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsFolder(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Volume and file index: what makes a file or folder itself, whatever name
// reached it.
struct Identity {
  DWORD volume;
  DWORD index_high;
  DWORD index_low;
  bool operator==(const Identity&) const = default;
};

// The identity of what `extended` names; with FILE_FLAG_OPEN_REPARSE_POINT
// in `flags` that of a link itself, otherwise that of what it leads to.
// nullopt, with the reason in `status`, when it can't be opened.
std::optional<Identity> IdentityOf(const std::wstring& extended, DWORD flags, FsStatus& status,
                                   DWORD* attributes = nullptr) {
  UniqueKernelHandle handle(::CreateFileW(extended.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
  if (!handle) {
    status = LastStatus();
    return std::nullopt;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(handle.Get(), &info)) {
    status = LastStatus();
    return std::nullopt;
  }
  if (attributes != nullptr) {
    *attributes = info.dwFileAttributes;
  }
  status = FsStatus::kOk;
  return Identity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// Removes a link as an entry: RemoveDirectoryW for a link to a folder and
// DeleteFileW for a link to a file remove the link and leave its target
// alone. That holds only where the system can address the link itself.
// Where opening the link as a link still reaches its target (Wine shows a
// Unix symbolic link so, and removes the target when asked to remove the
// link), the link is left in place: the target is not part of the folder.
FsStatus RemoveLink(const std::wstring& extended, DWORD attributes) {
  FsStatus status = FsStatus::kOk;
  const std::optional<Identity> link = IdentityOf(extended, FILE_FLAG_OPEN_REPARSE_POINT, status);
  if (!link) {
    return status;
  }
  // A target that can't be opened (gone, or not ours to see) can't be
  // harmed either.
  const std::optional<Identity> target = IdentityOf(extended, 0, status);
  if (target && *target == *link) {
    return FsStatus::kFailed;
  }
  const BOOL removed =
      IsFolder(attributes) ? ::RemoveDirectoryW(extended.c_str()) : ::DeleteFileW(extended.c_str());
  return removed ? FsStatus::kOk : LastStatus();
}

// Removes one entry: a file, an empty folder, or a link of either kind. A
// read-only file or folder is made writable first, and read-only again if it
// stays.
FsStatus RemoveEntry(const std::wstring& extended, DWORD attributes) {
  if (IsReparsePoint(attributes)) {
    return RemoveLink(extended, attributes);
  }
  constexpr DWORD kSettable = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                              FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_TEMPORARY;
  bool made_writable = false;
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    DWORD writable = attributes & kSettable & ~FILE_ATTRIBUTE_READONLY;
    // A failure here shows up as the deletion's own failure below.
    made_writable = ::SetFileAttributesW(extended.c_str(),
                                         writable == 0 ? FILE_ATTRIBUTE_NORMAL : writable) != 0;
  }
  const BOOL removed =
      IsFolder(attributes) ? ::RemoveDirectoryW(extended.c_str()) : ::DeleteFileW(extended.c_str());
  if (removed) {
    return FsStatus::kOk;
  }
  const DWORD error = ::GetLastError();
  if (made_writable) {
    // Leave the entry as it was found; if that fails it merely stays
    // writable, which harms nothing.
    ::SetFileAttributesW(extended.c_str(), attributes & kSettable);
  }
  return ToStatus(error);
}

struct Found {
  std::wstring name;
  DWORD attributes;
};

// Collects every entry directly in the folder, "." and ".." left out.
FsStatus ListEntries(const std::wstring& extended_folder, std::vector<Found>& found) {
  std::wstring pattern = extended_folder;
  if (pattern.back() != L'\\') {
    pattern += L'\\';
  }
  pattern += L'*';
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(::FindFirstFileW(pattern.c_str(), &data));
  if (!find) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) {
      return FsStatus::kOk;  // a folder with no entries at all (a drive root)
    }
    return error == ERROR_DIRECTORY ? FsStatus::kNotFound : ToStatus(error);
  }
  do {
    const std::wstring_view name(data.cFileName);
    if (name != L"." && name != L"..") {
      found.push_back({std::wstring(name), data.dwFileAttributes});
    }
  } while (::FindNextFileW(find.Get(), &data));
  const DWORD error = ::GetLastError();
  return error == ERROR_NO_MORE_FILES ? FsStatus::kOk : ToStatus(error);
}

FsStatus ListPaths(const std::wstring& folder, bool folders, std::vector<std::wstring>& paths) {
  std::vector<Found> found;
  const FsStatus listed = ListEntries(Extended(folder), found);
  if (listed != FsStatus::kOk) {
    return listed;
  }
  const std::wstring prefix = folder.back() == L'\\' ? folder : folder + L'\\';
  for (const auto& entry : found) {
    if (IsFolder(entry.attributes) == folders) {
      paths.push_back(prefix + entry.name);
    }
  }
  return FsStatus::kOk;
}

std::optional<std::wstring> ShellFolder(int csidl) {
  wchar_t path[MAX_PATH];
  if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return std::nullopt;
  }
  return std::wstring(path);
}

// Calls a "fill this buffer" API, growing the buffer as it asks.
template <typename Fill>
std::optional<std::wstring> Filled(Fill fill) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      return std::nullopt;
    }
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(length + 1, L'\0');  // too small: `length` is the size needed
  }
  return std::nullopt;
}

class Win32FileSystem final : public FileSystem {
 public:
  std::optional<std::wstring> FullPath(const std::wstring& path) override {
    const std::wstring ordinary = Ordinary(path);
    std::optional<std::wstring> full = Filled([&](wchar_t* buffer, DWORD size) {
      return ::GetFullPathNameW(ordinary.c_str(), size, buffer, nullptr);
    });
    if (!full || full->empty()) {
      return std::nullopt;
    }
    // Short names become long ones where the path exists; where it does not,
    // the full path is as good as it gets.
    const std::wstring extended = Extended(*full);
    if (std::optional<std::wstring> longer = Filled([&](wchar_t* buffer, DWORD size) {
          return ::GetLongPathNameW(extended.c_str(), buffer, size);
        })) {
      full = Ordinary(*longer);
    }
    // No trailing separator, except on a drive root ("C:\").
    while (full->size() > 1 && full->back() == L'\\' &&
           !(full->size() == 3 && (*full)[1] == L':')) {
      full->pop_back();
    }
    return full;
  }

  std::vector<ProtectedFolder> ProtectedFolders() override {
    std::vector<std::pair<ProtectedKind, std::optional<std::wstring>>> named = {
        {ProtectedKind::kProfile, ShellFolder(CSIDL_PROFILE)},
        {ProtectedKind::kDesktop, ShellFolder(CSIDL_DESKTOPDIRECTORY)},
        {ProtectedKind::kDocuments, ShellFolder(CSIDL_PERSONAL)},
        {ProtectedKind::kWindows, Filled([](wchar_t* buffer, DWORD size) {
           return static_cast<DWORD>(::GetWindowsDirectoryW(buffer, size));
         })},
        {ProtectedKind::kSystem, Filled([](wchar_t* buffer, DWORD size) {
           return static_cast<DWORD>(::GetSystemDirectoryW(buffer, size));
         })},
        {ProtectedKind::kProgramFiles, ShellFolder(CSIDL_PROGRAM_FILES)},
        // A 32-bit program on 64-bit Windows is told "Program Files (x86)"
        // above; the other one is named only by this variable (absent on XP).
        {ProtectedKind::kProgramFiles, Filled([](wchar_t* buffer, DWORD size) {
           return ::GetEnvironmentVariableW(L"ProgramW6432", buffer, size);
         })},
    };
    std::vector<ProtectedFolder> folders;
    for (auto& [kind, path] : named) {
      if (!path || path->empty()) {
        continue;  // the system does not name this one
      }
      if (std::optional<std::wstring> full = FullPath(*path)) {
        folders.push_back({kind, *full});
      }
    }
    return folders;
  }

  bool SameFolder(const std::wstring& a, const std::wstring& b) override {
    // Opened without FILE_FLAG_OPEN_REPARSE_POINT, a link gives the identity
    // of the folder it leads to, which is the point here.
    FsStatus status = FsStatus::kOk;
    DWORD attributes = 0;
    const std::optional<Identity> first = IdentityOf(Extended(a), 0, status, &attributes);
    return first && IsFolder(attributes) && first == IdentityOf(Extended(b), 0, status);
  }

  FsStatus OpenFolder(const std::wstring& path) override {
    const DWORD attributes = ::GetFileAttributesW(Extended(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      return LastStatus();
    }
    return IsFolder(attributes) ? FsStatus::kOk : FsStatus::kNotFound;
  }

  bool IsLink(const std::wstring& path) override {
    const DWORD attributes = ::GetFileAttributesW(Extended(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && IsReparsePoint(attributes);
  }

  FsStatus ListFiles(const std::wstring& folder, std::vector<std::wstring>& paths) override {
    return ListPaths(folder, false, paths);
  }

  FsStatus ListSubfolders(const std::wstring& folder, std::vector<std::wstring>& paths) override {
    return ListPaths(folder, true, paths);
  }

  FsStatus DeleteFile(const std::wstring& path) override {
    const std::wstring extended = Extended(path);
    const DWORD attributes = ::GetFileAttributesW(extended.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      return LastStatus();
    }
    if (IsFolder(attributes) && !IsReparsePoint(attributes)) {
      return FsStatus::kAccessDenied;  // a real folder is not a file
    }
    return RemoveEntry(extended, attributes);
  }

  FsStatus DeleteFolder(const std::wstring& path, std::vector<Leftover>& leftovers) override {
    const std::wstring extended = Extended(path);
    const DWORD attributes = ::GetFileAttributesW(extended.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const FsStatus status = LastStatus();
      if (status != FsStatus::kNotFound) {
        leftovers.push_back({path, status});
      }
      return status;
    }
    if (!IsFolder(attributes) || IsReparsePoint(attributes)) {
      const FsStatus status = RemoveEntry(extended, attributes);
      if (status != FsStatus::kOk && status != FsStatus::kNotFound) {
        leftovers.push_back({path, status});
      }
      return status;
    }
    return DeleteTree(path, extended, attributes, leftovers);
  }

 private:
  // A folder met on the way down, waiting for its entries to go.
  struct Pending {
    std::wstring path;
    std::wstring extended;
    DWORD attributes;
    std::size_t parent;  // index in the stack, kNone for the top
    bool listed = false;
    bool kept_something = false;  // an entry inside it stays
  };
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // Depth first without recursion, so that however deep the tree goes the
  // stack of the thread is never at risk.
  static FsStatus DeleteTree(const std::wstring& path, const std::wstring& extended,
                             DWORD attributes, std::vector<Leftover>& leftovers) {
    FsStatus first = FsStatus::kOk;
    std::vector<Pending> stack;
    stack.push_back({path, extended, attributes, kNone});

    // Records an entry that stays, and marks the folder that holds it.
    auto keep = [&](const std::wstring& kept, FsStatus status, std::size_t parent) {
      if (status != FsStatus::kOk && status != FsStatus::kNotFound) {
        leftovers.push_back({kept, status});
        if (first == FsStatus::kOk) {
          first = status;
        }
        if (parent != kNone) {
          stack[parent].kept_something = true;
        }
      }
    };

    while (!stack.empty()) {
      const std::size_t top = stack.size() - 1;
      if (!stack[top].listed) {
        stack[top].listed = true;
        std::vector<Found> found;
        const FsStatus listed = ListEntries(stack[top].extended, found);
        if (listed != FsStatus::kOk) {
          // Gone already, or unreadable: then it stays with all in it.
          const Pending unreadable = std::move(stack[top]);
          stack.pop_back();
          keep(unreadable.path, listed, unreadable.parent);
          continue;
        }
        for (const auto& entry : found) {
          std::wstring entry_extended = stack[top].extended + L'\\' + entry.name;
          std::wstring entry_path = stack[top].path + L'\\' + entry.name;
          if (IsFolder(entry.attributes) && !IsReparsePoint(entry.attributes)) {
            stack.push_back(
                {std::move(entry_path), std::move(entry_extended), entry.attributes, top});
          } else {
            keep(entry_path, RemoveEntry(entry_extended, entry.attributes), top);
          }
        }
        continue;
      }
      // Everything inside has had its turn; now the folder itself.
      const Pending done = std::move(stack[top]);
      stack.pop_back();
      const FsStatus removed = RemoveEntry(done.extended, done.attributes);
      if (removed == FsStatus::kOk || removed == FsStatus::kNotFound) {
        continue;
      }
      if (done.kept_something) {
        // It stays because of what stays inside, which is counted already.
        if (done.parent != kNone) {
          stack[done.parent].kept_something = true;
        }
      } else {
        keep(done.path, removed, done.parent);
      }
    }
    return first;
  }
};

}  // namespace

std::unique_ptr<FileSystem> CreateFileSystem() {
  return std::make_unique<Win32FileSystem>();
}

}  // namespace quellnet::platform::win32
