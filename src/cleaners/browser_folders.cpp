#include "cleaners/browser_folders.h"

#include <string_view>

#include "platform/path_text.h"

namespace quellnet::cleaners {
namespace {

namespace paths = platform::paths;

// How Internet Explorer names and places its folders, on every Windows the
// program runs on (the names are the same in every language: Windows shows
// translated names, but the folders on disk keep these):
//
// - The cache is "Temporary Internet Files": in "Local Settings" of the
//   profile on Windows XP, in "AppData\Local\Microsoft\Windows" on Vista and
//   7. From Windows 8 on it is "INetCache" in that same folder. The
//   browser's own "Move folder..." setting makes a folder of that name
//   inside whichever folder the user picks, on any drive, so the name alone
//   marks the cache wherever it is.
// - The cookies are "Cookies": directly in the profile on Windows XP, and in
//   "Microsoft\Windows" of the roaming application data on Vista, 7 and 8.
//   From Windows 8.1 on they are "INetCookies" in "Microsoft\Windows" of the
//   local application data. The cookie folder has no "Move folder"; a
//   roaming or redirected application data folder keeps "Microsoft\Windows"
//   below wherever it was moved to, so that pair of names marks the place.
//   "Cookies" alone is too common a word to go by.
//
// Inside, the cache holds "Content.IE5" (XP to 7) or "IE" (8 and later)
// with the browser's "index.dat" or "container.dat", "Low" for protected
// mode, and folders Office and Outlook keep there ("Content.MSO",
// "Content.Outlook"); the cookie folder holds one text file per site, the
// index file and "Low". The contents are not looked at: a cache the user has
// just emptied is still the cache.
constexpr std::wstring_view kCacheNames[] = {L"Temporary Internet Files", L"INetCache"};
constexpr std::wstring_view kCookieNames[] = {L"Cookies", L"INetCookies"};
constexpr std::wstring_view kXpCookieName = L"Cookies";
constexpr std::wstring_view kCookieParent = L"Microsoft\\Windows";

std::wstring LastPart(const std::wstring& path) {
  return path.substr(path.rfind(L'\\') + 1);
}

bool NamedOneOf(const std::wstring& path, const auto& names) {
  const std::wstring name = LastPart(path);
  for (std::wstring_view candidate : names) {
    if (paths::SamePath(name, std::wstring(candidate))) {
      return true;
    }
  }
  return false;
}

// "...\Microsoft\Windows", compared without regard to case.
bool EndsInCookieParent(const std::wstring& folder) {
  const std::wstring windows = LastPart(folder);
  const std::wstring microsoft = LastPart(paths::Parent(folder));
  return paths::SamePath(microsoft + L"\\" + windows, std::wstring(kCookieParent));
}

}  // namespace

bool IsBrowsersOwn(BrowserFolder kind, const std::wstring& full, const std::wstring& profile) {
  if (kind == BrowserFolder::kCache) {
    return NamedOneOf(full, kCacheNames);
  }
  const std::wstring parent = paths::Parent(full);
  if (!NamedOneOf(full, kCookieNames)) {
    return false;
  }
  return EndsInCookieParent(parent) ||
         (paths::SamePath(LastPart(full), std::wstring(kXpCookieName)) && !profile.empty() &&
          paths::SamePath(parent, profile));
}

}  // namespace quellnet::cleaners
