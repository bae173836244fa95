#include "cleaners/protected_folders.h"

namespace quellnet::cleaners {
namespace {

using platform::KnownFolder;

struct Row {
  KnownFolder folder;
  Reach reach;
  std::wstring_view name;
};

// Every folder the system names that a cleaner must not empty. The user's
// data folders and the system are protected with all they hold; the profile
// and the application-data folders only as wholes, since the browser keeps
// its cache and cookies inside them.
constexpr Row kTable[] = {
    // The user's own profile first: it is also one of the profiles below.
    {KnownFolder::kProfile, Reach::kItself, L"your user folder"},
    {KnownFolder::kProfiles, Reach::kEachProfile, L"the folder of all user profiles"},
    {KnownFolder::kAppData, Reach::kItself, L"your application data folder"},
    {KnownFolder::kLocalAppData, Reach::kItself, L"your local application data folder"},
    {KnownFolder::kCommonAppData, Reach::kItself, L"the application data of all users"},
    {KnownFolder::kDesktop, Reach::kAllInside, L"your Desktop"},
    {KnownFolder::kDocuments, Reach::kAllInside, L"your Documents folder"},
    {KnownFolder::kFavorites, Reach::kAllInside, L"your Favorites"},
    {KnownFolder::kPictures, Reach::kAllInside, L"your Pictures folder"},
    {KnownFolder::kMusic, Reach::kAllInside, L"your Music folder"},
    {KnownFolder::kVideos, Reach::kAllInside, L"your Videos folder"},
    {KnownFolder::kDownloads, Reach::kAllInside, L"your Downloads folder"},
    {KnownFolder::kPublicProfile, Reach::kAllInside, L"the folder shared by all users"},
    {KnownFolder::kWindows, Reach::kAllInside, L"the Windows folder"},
    {KnownFolder::kSystem, Reach::kAllInside, L"the Windows system folder"},
    {KnownFolder::kSystemWow64, Reach::kAllInside, L"the Windows system folder"},
    {KnownFolder::kSystemNative, Reach::kAllInside, L"the Windows system folder"},
    {KnownFolder::kProgramFiles, Reach::kAllInside, L"the Program Files folder"},
    {KnownFolder::kProgramFilesX86, Reach::kAllInside, L"the Program Files folder"},
    {KnownFolder::kProgramFiles64, Reach::kAllInside, L"the Program Files folder"},
};

}  // namespace

std::vector<ProtectedFolder> ProtectedFolders(platform::FileSystem& files) {
  std::vector<ProtectedFolder> folders;
  for (const Row& row : kTable) {
    const std::optional<std::wstring> named = files.KnownFolderPath(row.folder);
    if (!named || named->empty()) {
      continue;  // the system does not name this one
    }
    if (std::optional<std::wstring> full = files.FullPath(*named)) {
      folders.push_back({row.folder, row.reach, *full});
    }
  }
  return folders;
}

std::wstring_view ProtectedName(platform::KnownFolder folder) {
  for (const Row& row : kTable) {
    if (row.folder == folder) {
      return row.name;
    }
  }
  return L"a folder that must be kept";
}

}  // namespace quellnet::cleaners
