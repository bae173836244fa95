// The folders a cleaner must never empty, in one table: the user's own files,
// every user's profile, application data as a whole, and the system. Any
// program can change where the registry says the browser's folders are, so
// each location is judged against this table before anything is deleted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace quellnet::cleaners {

// How far a protected folder's protection reaches. A location that is the
// folder, or holds it, is always refused.
enum class Reach {
  kItself,       // folders inside it may be emptied (application data: the cache lives there)
  kAllInside,    // nothing inside it may be emptied either (the user's files, the system)
  kEachProfile,  // nor any folder directly in it: each one is a user's profile
};

struct ProtectedFolder {
  platform::KnownFolder folder;
  Reach reach;
  std::wstring path;  // full canonical path, as FileSystem::FullPath gives it
};

// The protected folders of this user and machine; a folder the system does
// not name is left out.
std::vector<ProtectedFolder> ProtectedFolders(platform::FileSystem& files);

// How a message names the folder: "your Documents folder".
std::wstring_view ProtectedName(platform::KnownFolder folder);

}  // namespace quellnet::cleaners
