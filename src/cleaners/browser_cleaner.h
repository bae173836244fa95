// The browser's two privacy cleaners, "Clear Cache" and "Clear Cookies": one
// class, run with the job that says what each of them deletes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cleaners/browser_folders.h"
#include "cleaners/clean_outcome.h"
#include "platform/file_system.h"
#include "platform/long_work.h"
#include "platform/message_boxes.h"
#include "platform/registry.h"

namespace quellnet::cleaners {

struct CleanerJob {
  // The value of the per-user "Shell Folders" key that names the folder.
  std::wstring_view folder_value;
  // Which of the browser's folders that is; nothing else is emptied.
  BrowserFolder folder;
  CleanerWords words;
  // The cache cleaner also deletes the subfolders, in two passes, and the
  // typed-address history; the cookie cleaner deletes only the files
  // directly in its folder and in `low_folder`.
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
  BrowserCleaner(const CleanerJob& job, platform::LongWork& work, platform::MessageBoxes& messages,
                 platform::Registry& registry, platform::FileSystem& files);
  // Cleans while the window is busy, then tells the user how it went, and
  // returns that in one word. A program that ends meanwhile stops the run
  // between two entries, and nobody is told.
  CleanResult Run();

 private:
  // One run's steps and what they found; it lives as long as the run.
  class CleanRun;

  const CleanerJob& job_;
  platform::LongWork& work_;
  platform::MessageBoxes& messages_;
  platform::Registry& registry_;
  platform::FileSystem& files_;
};

}  // namespace quellnet::cleaners
