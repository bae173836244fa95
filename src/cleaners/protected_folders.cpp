#include "cleaners/protected_folders.h"

#include <array>
#include <optional>

namespace quellnet::cleaners {
namespace {

using platform::KnownFolder;

struct Row {
  // Where the shell says the folder is; nullopt for one it names no way
  // this program asks.
  std::optional<KnownFolder> folder;
  // Where Windows puts it in the user's profile: from Vista on, and on XP.
  std::array<std::wstring_view, 2> places;
  Reach reach;
  std::wstring_view name;
};

// Every folder that a cleaner must not empty. The user's files and the
// system are protected with all they hold; the profile and the
// application-data folders only as wholes, since the browser keeps its cache
// and cookies inside them.
constexpr Row kTable[] = {
    // The user's own profile first: it is also one of the profiles below.
    {KnownFolder::kProfile, {}, Reach::kItself, L"your user folder"},
    {KnownFolder::kProfiles, {}, Reach::kEachProfile, L"the folder of all user profiles"},
    {KnownFolder::kAppData,
     {L"AppData\\Roaming", L"Application Data"},
     Reach::kItself,
     L"your application data folder"},
    {KnownFolder::kLocalAppData,
     {L"AppData\\Local", L"Local Settings\\Application Data"},
     Reach::kItself,
     L"your local application data folder"},
    {std::nullopt, {L"AppData\\LocalLow"}, Reach::kItself, L"your local application data folder"},
    {KnownFolder::kCommonAppData, {}, Reach::kItself, L"the application data of all users"},
    {KnownFolder::kDesktop, {L"Desktop"}, Reach::kAllInside, L"your Desktop"},
    {KnownFolder::kDocuments,
     {L"Documents", L"My Documents"},
     Reach::kAllInside,
     L"your Documents folder"},
    {KnownFolder::kFavorites, {L"Favorites"}, Reach::kAllInside, L"your Favorites"},
    {KnownFolder::kPictures, {L"Pictures"}, Reach::kAllInside, L"your Pictures folder"},
    {KnownFolder::kMusic, {L"Music"}, Reach::kAllInside, L"your Music folder"},
    {KnownFolder::kVideos, {L"Videos"}, Reach::kAllInside, L"your Videos folder"},
    {KnownFolder::kDownloads, {L"Downloads"}, Reach::kAllInside, L"your Downloads folder"},
    {std::nullopt, {L"Links"}, Reach::kAllInside, L"your Links folder"},
    {std::nullopt, {L"Saved Games"}, Reach::kAllInside, L"your Saved Games folder"},
    {std::nullopt, {L"Contacts"}, Reach::kAllInside, L"your Contacts folder"},
    {std::nullopt, {L"Searches"}, Reach::kAllInside, L"your Searches folder"},
    {std::nullopt, {L".ssh"}, Reach::kAllInside, L"the folder where your SSH keys are kept"},
    {std::nullopt,
     {L"AppData\\Roaming\\Microsoft\\Windows\\Start Menu", L"Start Menu"},
     Reach::kAllInside,
     L"your Start menu"},
    {std::nullopt,
     {L"AppData\\Roaming\\Microsoft\\Windows\\SendTo", L"SendTo"},
     Reach::kAllInside,
     L"your Send To menu"},
    {std::nullopt,
     {L"AppData\\Roaming\\Microsoft\\Windows\\Templates", L"Templates"},
     Reach::kAllInside,
     L"your Templates folder"},
    {std::nullopt,
     {L"AppData\\Roaming\\Microsoft\\Windows\\Recent", L"Recent"},
     Reach::kAllInside,
     L"your Recent Items"},
    {std::nullopt,
     {L"AppData\\Roaming\\Microsoft\\Protect", L"Application Data\\Microsoft\\Protect"},
     Reach::kAllInside,
     L"the folder where your encryption keys are kept"},
    {std::nullopt,
     {L"AppData\\Roaming\\Microsoft\\Credentials", L"Application Data\\Microsoft\\Credentials"},
     Reach::kAllInside,
     L"the folder where your saved passwords are kept"},
    {std::nullopt,
     {L"AppData\\Roaming\\Microsoft\\SystemCertificates",
      L"Application Data\\Microsoft\\SystemCertificates"},
     Reach::kAllInside,
     L"the folder where your certificates are kept"},
    {std::nullopt,
     {L"AppData\\Local\\Programs"},
     Reach::kAllInside,
     L"the folder of the programs installed for you"},
    {KnownFolder::kProgram, {}, Reach::kAllInside, L"this program's folder"},
    {KnownFolder::kPublicProfile, {}, Reach::kAllInside, L"the folder shared by all users"},
    {KnownFolder::kWindows, {}, Reach::kAllInside, L"the Windows folder"},
    {KnownFolder::kSystem, {}, Reach::kAllInside, L"the Windows system folder"},
    {KnownFolder::kSystemWow64, {}, Reach::kAllInside, L"the Windows system folder"},
    {KnownFolder::kSystemNative, {}, Reach::kAllInside, L"the Windows system folder"},
    {KnownFolder::kProgramFiles, {}, Reach::kAllInside, L"the Program Files folder"},
    {KnownFolder::kProgramFilesX86, {}, Reach::kAllInside, L"the Program Files folder"},
    {KnownFolder::kProgramFiles64, {}, Reach::kAllInside, L"the Program Files folder"},
};

std::optional<std::wstring> FullPathOf(platform::FileSystem& files,
                                       const std::optional<std::wstring>& named) {
  if (!named || named->empty()) {
    return std::nullopt;  // the system does not name this one
  }
  return files.FullPath(*named);
}

}  // namespace

std::vector<ProtectedFolder> ProtectedFolders(platform::FileSystem& files) {
  const std::optional<std::wstring> profile =
      FullPathOf(files, files.KnownFolderPath(KnownFolder::kProfile));
  std::vector<ProtectedFolder> folders;
  auto add = [&](const Row& row, const std::optional<std::wstring>& named) {
    if (const std::optional<std::wstring> full = FullPathOf(files, named)) {
      folders.push_back({row.name, row.reach, *full, profile.value_or(L"")});
    }
  };
  for (const Row& row : kTable) {
    if (row.folder) {
      add(row, files.KnownFolderPath(*row.folder));
    }
    for (std::wstring_view place : row.places) {
      if (profile && !place.empty()) {
        add(row, *profile + L"\\" + std::wstring(place));
      }
    }
  }
  return folders;
}

}  // namespace quellnet::cleaners
