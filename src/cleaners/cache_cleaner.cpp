#include "cleaners/cache_cleaner.h"

#include <optional>

#include "cleaners/cleaner_steps.h"

namespace quellnet::cleaners {
namespace {

constexpr CleanerWords kWords{
    L"Internet Cache Cleared !",
    L"The Internet cache was not cleared completely.",
    L"cache folder",
};
constexpr std::wstring_view kCacheValue = L"Cache";
// The index folder of the browser's cache; the subfolders in it hold the
// cached files.
constexpr std::wstring_view kContentFolder = L"\\Content.IE5";
// The addresses typed into the browser's address bar.
constexpr std::wstring_view kTypedUrlsKey = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";

}  // namespace

CacheCleaner::CacheCleaner(platform::MainWindow& window, platform::Registry& registry,
                           platform::FileSystem& files)
    : window_(window), registry_(registry), files_(files) {}

void CacheCleaner::Run() {
  CleanReport report(kWords);
  {
    platform::WaitCursor busy(window_);
    Clean(report);
  }
  Tell(window_, report);
}

void CacheCleaner::Clean(CleanReport& report) {
  const std::optional<FolderVerdict> cache = LocateFolder(registry_, files_, kCacheValue, report);
  if (!cache || cache->refusal == Refusal::kEmpty) {
    // Without a folder to clean the run ends here; the typed addresses stay
    // too.
    if (cache) {
      report.Refused(*cache);
    }
    return;
  }

  if (cache->refusal != Refusal::kNone) {
    report.Refused(*cache);
  } else if (const auto opened = files_.OpenFolder(cache->path);
             opened != platform::FsStatus::kOk) {
    report.FolderNotOpened(cache->path, opened);
  } else {
    // First pass: the files, then each subfolder whole, "Content.IE5" among
    // them. The cache folder itself stays.
    DeleteFilesIn(files_, cache->path, report);
    DeleteSubfoldersOf(files_, cache->path, report);
    // Second pass, over the subfolders of "Content.IE5" when it survived the
    // first pass (a file in it is in use); otherwise once more over the
    // cache folder's own remaining subfolders. A link is never opened: what
    // it leads to is not part of the cache.
    std::wstring current = cache->path;
    const std::wstring content = cache->path + std::wstring(kContentFolder);
    if (files_.OpenFolder(content) == platform::FsStatus::kOk && !files_.IsLink(content)) {
      current = content;
    }
    DeleteSubfoldersOf(files_, current, report);
  }

  report.HistoryDeleted(registry_.DeleteKeyTree(kTypedUrlsKey));
}

}  // namespace quellnet::cleaners
