// The browser's two privacy cleaners, "Clear Cache" and "Clear Cookies": one
// class, run with the job that says what each of them deletes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cleaners/browser_folders.h"
#include "cleaners/clean_outcome.h"
#include "platform/file_system.h"
#include "platform/main_window.h"
#include "platform/registry.h"

namespace quellnet::cleaners {

struct CleanerJob {
  // The value of the per-user "Shell Folders" key that names the folder.
  std::wstring_view folder_value;
  // Which of the browser's folders that is; nothing else is emptied.
  BrowserFolder folder;
  CleanerWords words;
  // The cache cleaner also deletes the subfolders, makes a second pass over
  // "Content.IE5" and deletes the typed-address history; the cookie cleaner
  // deletes only the files directly in its folder and in `low_folder`.
  bool whole_cache;
  // A subfolder whose files go too, where it is a real folder and no link:
  // the browser's protected mode (Vista and later) keeps the cookies of
  // Internet sites in "Low".
  std::wstring_view low_folder;
};

inline constexpr CleanerJob kCacheJob{
    L"Cache",
    BrowserFolder::kCache,
    {L"Internet Cache Cleared !", L"The Internet cache was not cleared completely.",
     L"cache folder"},
    true,
    L"",
};
inline constexpr CleanerJob kCookieJob{
    L"Cookies",
    BrowserFolder::kCookies,
    {L"All Cookies Cleared !", L"The cookies were not cleared completely.", L"cookie folder"},
    false,
    L"Low",
};

class BrowserCleaner {
 public:
  BrowserCleaner(const CleanerJob& job, platform::MainWindow& window, platform::Registry& registry,
                 platform::FileSystem& files);
  // Cleans while the window is busy, then tells the user how it went. A
  // program that ends meanwhile stops the run between two entries, and
  // nobody is told.
  void Run();

 private:
  void Clean();
  bool Opens(const std::wstring& folder);
  // False when the folder could not be listed. In the first pass each entry
  // the run deletes is an equal share of the run; later passes only finish
  // what it left, and count for nothing.
  // Lists `folder`; when that fails, records `unlisted` (a folder that is
  // gone is no trouble) and returns false.
  bool Listed(const std::wstring& folder, Outcome::Kind unlisted,
              std::vector<platform::Entry>& entries);
  bool DeleteFilesIn(const std::wstring& folder, bool first_pass);
  void DeleteSubfoldersOf(const std::wstring& folder, double share_each);
  std::wstring SecondPassFolder(const std::wstring& cache);
  bool IsRealFolder(const std::wstring& path);
  // Records what a deletion of `path` left, and who holds it when in use.
  void Left(const std::wstring& path, platform::FsStatus status);
  // An entry has had its turn and `share` more of the run is done; false
  // once the run must stop.
  bool Advance(double share);

  const CleanerJob& job_;
  platform::MainWindow& window_;
  platform::Registry& registry_;
  platform::FileSystem& files_;
  // What the current run did, step by step.
  std::vector<Outcome> outcomes_;
  // How much of the current run is done, from 0 to 1: the first pass over
  // the folder is the whole of it, each entry it deletes an equal share.
  double done_ = 0;
  double entry_share_ = 0;
  bool stopped_ = false;
};

}  // namespace quellnet::cleaners
