// The file operations the privacy cleaners need, one system call's worth
// each; the cleaners decide what to delete and in which order. Paths are full
// Windows paths in their ordinary form ("C:\dir", "\\server\share\dir"); the
// implementation handles paths longer than MAX_PATH itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quellnet::platform {

enum class FsStatus {
  kOk,
  kNotFound,      // nothing there (or already gone)
  kAccessDenied,  // the user has no right to do it
  kInUse,         // held open by another program
  kFailed,        // any other error
};

// What an entry is. A link (junction, symbolic link, any reparse point) is
// marked as one and counts as the kind of entry it pretends to be.
struct EntryType {
  bool folder = false;
  bool link = false;
};

struct Entry {
  std::wstring name;  // the last part of its path
  EntryType type;
};

// What makes a folder itself, whatever name or link reached it.
struct FolderIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};

// Folders the system names for this user and machine.
enum class KnownFolder {
  kProfile,       // the user's profile
  kProfiles,      // the folder that holds every user's profile
  kAppData,       // the user's (roaming) application data
  kLocalAppData,  // the user's local application data
  kFavorites,
  kPictures,
  kMusic,
  kVideos,
  kDownloads,  // Vista and later
  kDesktop,
  kDocuments,
  kPublicProfile,  // Public (Vista and later) or All Users (XP)
  kCommonAppData,  // application data of all users
  kWindows,
  kSystem,        // as the program names it: SysWOW64 for a 32-bit program on 64-bit Windows
  kSystemWow64,   // 64-bit Windows only
  kSystemNative,  // "Sysnative": the real System32 for a 32-bit program on 64-bit Windows
  kProgramFiles,
  kProgramFilesX86,
  kProgramFiles64,  // the 64-bit Program Files, as a 32-bit program on 64-bit Windows names it
  kProgram,         // the folder that holds this program's file
};

// A program that holds a file open.
struct Holder {
  std::wstring name;     // as the system shows it to the user ("Internet Explorer")
  bool windows = false;  // Windows itself: Explorer, a service or a critical system process
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The canonical full form of `path`: "." and ".." resolved, doubled
  // separators collapsed, short (8.3) names expanded where the path exists,
  // no "\\?\" prefix and no trailing separator except on a drive root.
  // nullopt when no full form can be made.
  virtual std::optional<std::wstring> FullPath(const std::wstring& path) = 0;
  // Where the system keeps `folder`, as it names it; nullopt where it names
  // none (a folder this version of Windows lacks, or Sysnative outside WOW64).
  virtual std::optional<std::wstring> KnownFolderPath(KnownFolder folder) = 0;
  // This machine's own name, by which "\\name\C$" reaches its drive C:.
  virtual std::wstring ComputerName() = 0;
  // The programs that hold `path` open, where the system can tell (the
  // Restart Manager of Vista and later); empty where it can't.
  virtual std::vector<Holder> HoldersOf(const std::wstring& path) = 0;
  // The identity of the folder at `path`, links followed; nullopt when no
  // folder can be reached there.
  virtual std::optional<FolderIdentity> IdentityOf(const std::wstring& path) = 0;

  // What is at `path` itself (a link is not followed).
  virtual FsStatus TypeOf(const std::wstring& path, EntryType& type) = 0;
  // Every entry directly in `folder`, collected completely before the call
  // returns, so deleting them one by one is safe.
  virtual FsStatus List(const std::wstring& folder, std::vector<Entry>& entries) = 0;
  // Removes one entry of the given type: a file (read-only too), an empty
  // folder, or a link itself, never what the link leads to.
  virtual FsStatus Remove(const std::wstring& path, EntryType type) = 0;
};

}  // namespace quellnet::platform
