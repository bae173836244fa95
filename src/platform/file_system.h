// The file operations the privacy cleaners need; the cleaners decide what to
// delete and in which order. A folder is worked on through a Folder held
// open: its entries are listed, opened and removed through it by their names
// in it, never by a path, so that nothing renamed, moved or replaced by a
// link meanwhile can turn the work towards another folder. Paths are full
// Windows paths in their ordinary form ("C:\dir", "\\server\share\dir"); the
// implementation handles paths longer than MAX_PATH itself.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/system_error.h"

namespace quellnet::platform {

enum class FsStatus {
  kOk,
  kNotFound,      // nothing there (or already gone)
  kAccessDenied,  // the user has no right to do it
  kInUse,         // held open by another program
  kChanged,       // no longer what the listing showed: another entry, or another kind
  kTooLong,       // the path is longer than the system can reach
  kFailed,        // any other error
};

// How one operation went, and the system's own code for a failure.
struct FsResult {
  FsStatus status = FsStatus::kOk;
  SystemError error = 0;
};

// What an entry is. A link (junction, symbolic link, any reparse point) is
// marked as one and counts as the kind of entry it pretends to be.
struct EntryType {
  bool folder = false;
  bool link = false;
};

// What makes a file or folder itself, whatever name or link reached it.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;  // the file's number on its volume
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// One entry of a folder, as the folder's listing showed it.
struct Entry {
  std::wstring name;  // its name in the folder
  EntryType type;
  // Its number on the folder's volume where the listing gives one, else 0.
  std::uint64_t index = 0;
};

// What an opened entry shows of itself through its handle. Where a system
// opens a link as what it leads to even when asked for the link itself
// (Wine), the handle shows that.
struct Shown {
  EntryType type;
  FileIdentity identity;
};

// A program that holds a file open.
struct Holder {
  std::wstring name;     // as the system shows it to the user ("Internet Explorer")
  bool windows = false;  // Windows itself: Explorer, a service or a critical system process
};

// An entry of a folder, opened through the folder by its name in it, without
// following a link there where the system can: what the system calls a
// handle. What it is, is told by the handle, and it is removed through it.
class OpenEntry {
 public:
  virtual ~OpenEntry() = default;
  virtual FsResult Show(Shown& shown) = 0;
  // Removes the entry itself: a file (read-only too), an empty folder, or a
  // link itself. It is gone once no handle holds it any more.
  virtual FsResult Remove() = 0;
};

// A folder held open, to list it and to open its entries through it.
class Folder : public OpenEntry {
 public:
  // What this folder is, as it was when opened.
  virtual FileIdentity Identity() = 0;
  // This folder's identity, then that of each folder that really holds it,
  // up to the root of its drive or share: where it is, whatever names, links
  // or drive letters led to it. A folder on the way that can't be opened
  // leaves its place empty. Folders above already read are taken from
  // `read`, and those read now are added to it, by the names the system
  // gives them: folders that share their parents, as the protected ones do,
  // read each parent once. Keep `read` for one judgement only, since a
  // folder can be replaced at any time.
  using ReadParents = std::map<std::wstring, std::optional<FileIdentity>>;
  virtual std::vector<std::optional<FileIdentity>> Chain(ReadParents& read) = 0;
  // Every entry directly in it, collected completely before the call
  // returns, so deleting them one by one is safe.
  virtual FsResult List(std::vector<Entry>& entries) = 0;
  // Opens the entry `name` of this folder, of the kind a listing showed, to remove it: a file
  // or a link as itself, where the system can. A name that can't be one entry's (one holding a
  // separator, say) fails without anything opened; so does, where the system tells kinds apart
  // at the open, an entry of another kind (kChanged).
  virtual FsResult Open(const std::wstring& name, const EntryType& listed,
                        std::unique_ptr<OpenEntry>& entry) = 0;
  // Whether Open gives the very entry of that name, a link (reparse point) as the link itself,
  // and refuses an entry of another kind than the one asked (Windows: FILE_OPEN_REPARSE_POINT
  // with FILE_NON_DIRECTORY_FILE or FILE_DIRECTORY_FILE). Where it does, a file opened by its
  // listed kind is that entry and needs no look at its handle; where it doesn't (Wine, which
  // opens a symbolic link as what it leads to), every opened entry is looked at (Show). Found
  // out once per run by the system's implementation.
  virtual bool OpensEntriesAsThemselves() = 0;
  // The same for a folder to work in; kChanged when `name` is no folder.
  virtual FsResult OpenFolder(const std::wstring& name, std::unique_ptr<Folder>& folder) = 0;
  // The programs that hold the entry `name` open, where the system can tell
  // (Vista and later); empty where it can't. It only asks.
  virtual std::vector<Holder> HoldersOf(const std::wstring& name) = 0;
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
  // Opens the folder at the full path `path`, wherever the links on the way
  // and at its end lead, to look at and list; it is never removed through
  // this handle. kNotFound where no folder is reached.
  virtual FsResult OpenFolder(const std::wstring& path, std::unique_ptr<Folder>& folder) = 0;
};

}  // namespace quellnet::platform
