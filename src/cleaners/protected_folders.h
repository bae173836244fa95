// The folders a cleaner must never empty, in one table: the user's own files,
// every other user's profile, application data as a whole, this program, and
// the system. The cleaners empty only what is recognisably the browser's own
// (browser_folders.h); this table is the second line of defence behind that
// rule, for a location that looks like the browser's but is, holds or lies
// in one of these.
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
  kEachProfile,  // nor anything in another user's profile: each folder in it is one
};

struct ProtectedFolder {
  std::wstring_view name;  // how a message names it: "your Documents folder"
  Reach reach;
  std::wstring path;  // full canonical path, as FileSystem::FullPath gives it
  // For kEachProfile: the user's own profile, whose insides the other rows
  // judge.
  std::wstring own_profile;
};

// The protected folders of this user and machine. Each of the user's folders
// is there twice where it can be: where the shell says it is, and at its
// standard place in the profile. Any program can redirect a folder for the
// shell, so the shell's word alone would let a redirection lift the
// protection of the real one. A folder the system does not name is left out.
std::vector<ProtectedFolder> ProtectedFolders(platform::FileSystem& files);

}  // namespace quellnet::cleaners
