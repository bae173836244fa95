// Whether a folder is recognisably one the browser keeps for itself. A
// cleaner empties a location only when this says yes: what the registry
// names could be any folder, and a list of folders to refuse can never be
// complete, so the cleaners recognise the browser's own folders instead.
#pragma once

#include <string>

namespace quellnet::cleaners {

enum class BrowserFolder {
  kCache,    // the temporary Internet files
  kCookies,  // the cookie files
};

// True when `full` (a canonical full path, as FileSystem::FullPath gives
// it) is named and placed as the browser names and places `kind`.
// `profile` is the user's profile, where Windows XP keeps the cookies.
bool IsBrowsersOwn(BrowserFolder kind, const std::wstring& full, const std::wstring& profile);

}  // namespace quellnet::cleaners
