// The cleaners' file operations through the wide-character file API, each
// the one call it takes.
//
// Every path goes to the system in its extended form ("\\?\C:\...",
// "\\?\UNC\server\share\..."), so entries deeper than MAX_PATH are reached
// like any other; the paths handed back are in the ordinary form.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/factories.h"
#include "platform/win32/filled.h"
#include "platform/win32/handles.h"
#include "platform/win32/known_folders_win32.h"

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

EntryType TypeFrom(DWORD attributes) {
  return {(attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
          (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0};
}

// Volume and file index of what `extended` names; with
// FILE_FLAG_OPEN_REPARSE_POINT in `flags` that of a link itself, otherwise
// that of what it leads to. nullopt when it can't be opened.
std::optional<FolderIdentity> IdentityOfEntry(const std::wstring& extended, DWORD flags,
                                              DWORD* attributes = nullptr) {
  UniqueKernelHandle handle(::CreateFileW(extended.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!handle || !::GetFileInformationByHandle(handle.Get(), &info)) {
    return std::nullopt;
  }
  if (attributes != nullptr) {
    *attributes = info.dwFileAttributes;
  }
  return FolderIdentity{
      info.dwVolumeSerialNumber,
      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

BOOL RemoveOne(const std::wstring& extended, EntryType type) {
  return type.folder ? ::RemoveDirectoryW(extended.c_str()) : ::DeleteFileW(extended.c_str());
}

// RemoveDirectoryW for a link to a folder and DeleteFileW for a link to a
// file remove the link and leave its target alone. That holds only where the
// system can address the link itself. Where opening the link as a link still
// reaches its target (Wine shows a Unix symbolic link so, and removes the
// target when asked to remove the link), the link is left in place.
FsStatus RemoveLink(const std::wstring& extended, EntryType type) {
  const std::optional<FolderIdentity> link =
      IdentityOfEntry(extended, FILE_FLAG_OPEN_REPARSE_POINT);
  if (!link) {
    return LastStatus();
  }
  // A target that can't be opened (gone, or not ours to see) can't be
  // harmed either.
  if (IdentityOfEntry(extended, 0) == link) {
    return FsStatus::kFailed;
  }
  return RemoveOne(extended, type) ? FsStatus::kOk : LastStatus();
}

// A read-only entry refuses deletion; it is made writable and tried once
// more, and made read-only again if it still stays.
FsStatus RemoveReadOnly(const std::wstring& extended, EntryType type) {
  const DWORD attributes = ::GetFileAttributesW(extended.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0) {
    return FsStatus::kAccessDenied;
  }
  constexpr DWORD kSettable = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                              FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_TEMPORARY;
  const DWORD writable = attributes & kSettable & ~FILE_ATTRIBUTE_READONLY;
  if (!::SetFileAttributesW(extended.c_str(), writable == 0 ? FILE_ATTRIBUTE_NORMAL : writable)) {
    return FsStatus::kAccessDenied;
  }
  if (RemoveOne(extended, type)) {
    return FsStatus::kOk;
  }
  const DWORD error = ::GetLastError();
  // If this fails the entry merely stays writable, which harms nothing.
  ::SetFileAttributesW(extended.c_str(), attributes & kSettable);
  return ToStatus(error);
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

  std::optional<std::wstring> KnownFolderPath(KnownFolder folder) override {
    return KnownFolderPathOf(folder);
  }

  std::wstring ComputerName() override {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    // Without a name only "localhost" is taken for this machine.
    return ::GetComputerNameW(name, &size) ? std::wstring(name, size) : std::wstring();
  }

  std::vector<Holder> HoldersOf(const std::wstring& path) override { return HoldersOfFile(path); }

  std::optional<FolderIdentity> IdentityOf(const std::wstring& path) override {
    // Opened without FILE_FLAG_OPEN_REPARSE_POINT, a link gives the identity
    // of the folder it leads to, which is the point here.
    DWORD attributes = 0;
    std::optional<FolderIdentity> identity = IdentityOfEntry(Extended(path), 0, &attributes);
    if (identity && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      return std::nullopt;
    }
    return identity;
  }

  FsStatus TypeOf(const std::wstring& path, EntryType& type) override {
    const DWORD attributes = ::GetFileAttributesW(Extended(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      return LastStatus();
    }
    type = TypeFrom(attributes);
    return FsStatus::kOk;
  }

  FsStatus List(const std::wstring& folder, std::vector<Entry>& entries) override {
    std::wstring pattern = Extended(folder);
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
        entries.push_back({std::wstring(name), TypeFrom(data.dwFileAttributes)});
      }
    } while (::FindNextFileW(find.Get(), &data));
    const DWORD error = ::GetLastError();
    return error == ERROR_NO_MORE_FILES ? FsStatus::kOk : ToStatus(error);
  }

  FsStatus Remove(const std::wstring& path, EntryType type) override {
    const std::wstring extended = Extended(path);
    if (type.link) {
      return RemoveLink(extended, type);
    }
    if (RemoveOne(extended, type)) {
      return FsStatus::kOk;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_ACCESS_DENIED ? RemoveReadOnly(extended, type) : ToStatus(error);
  }
};

}  // namespace

std::unique_ptr<FileSystem> CreateFileSystem() {
  return std::make_unique<Win32FileSystem>();
}

}  // namespace quellnet::platform::win32
