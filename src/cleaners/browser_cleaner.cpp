#include "cleaners/browser_cleaner.h"

#include <algorithm>
#include <memory>

#include "cleaners/folder_safety.h"
#include "cleaners/tree_deletion.h"

namespace quellnet::cleaners {
namespace {

using platform::FsStatus;
using Kind = Outcome::Kind;

// The per-user key whose values name the browser's folders.
constexpr std::wstring_view kShellFoldersKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The index folder of the browser's cache; the subfolders in it hold the
// cached files.
constexpr std::wstring_view kContentFolder = L"Content.IE5";
// The addresses typed into the browser's address bar.
constexpr std::wstring_view kTypedUrlsKey = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";

}  // namespace

class BrowserCleaner::CleanRun {
 public:
  CleanRun(const CleanerJob& job, platform::LongWork& work, platform::Registry& registry,
           platform::FileSystem& files)
      : job_(job), work_(work), registry_(registry), files_(files) {}

  void Clean();
  bool Stopped() const { return stopped_; }
  const std::vector<Outcome>& Outcomes() const { return outcomes_; }

 private:
  // Steps 3 to 5 on the folder to clean, held open, at `path`.
  void Empty(platform::Folder& top, const std::wstring& path);
  // Lists `folder` at `path`; when that fails, records `unlisted` (a folder
  // that is gone is no trouble) and returns false.
  bool Listed(platform::Folder& folder, const std::wstring& path, Kind unlisted,
              std::vector<platform::Entry>& entries);
  // Deletes the files among `entries`, those directly in `folder` at
  // `path`, each `share` of the run.
  void DeleteFiles(platform::Folder& folder, const std::wstring& path,
                   const std::vector<platform::Entry>& entries, double share);
  void DeleteSubfoldersOf(platform::Folder& folder, const std::wstring& path, double share_each);
  // Records what a deletion of `path` left, and who holds it when in use.
  void Left(const Leftover& leftover);
  // An entry has had its turn and `share` more of the run is done; false
  // once the run must stop.
  bool Advance(double share);

  const CleanerJob& job_;
  platform::LongWork& work_;
  platform::Registry& registry_;
  platform::FileSystem& files_;
  // What the run did, step by step.
  std::vector<Outcome> outcomes_;
  // How much of the run is done, from 0 to 1.
  double done_ = 0;
  bool stopped_ = false;
};

BrowserCleaner::BrowserCleaner(const CleanerJob& job, platform::LongWork& work,
                               platform::MessageBoxes& messages, platform::Registry& registry,
                               platform::FileSystem& files)
    : job_(job), work_(work), messages_(messages), registry_(registry), files_(files) {}

CleanResult BrowserCleaner::Run() {
  CleanRun run(job_, work_, registry_, files_);
  {
    platform::BusyWindow busy(work_);
    run.Clean();
  }
  if (run.Stopped()) {
    return CleanResult::kStopped;
  }
  const RunSummary summary = Summarise(run.Outcomes());
  const RunMessage message = Compose(job_.words, summary);
  messages_.ShowMessage(message.text, message.icon);
  return ResultOf(summary);
}

void BrowserCleaner::CleanRun::Clean() {
  // 1. Where the folder is, as the registry says. Without a location the run
  //    ends here; the typed addresses stay too.
  std::wstring location;
  if (const auto read = registry_.ReadText(kShellFoldersKey, job_.folder_value, location);
      read.status != platform::RegStatus::kOk) {
    outcomes_.push_back({.kind = Kind::kLocationUnread, .error = read.error, .reg = read.status});
    return;
  }
  // 2. Whether that folder may be emptied at all; it is held open from here
  //    on, and everything in it is reached through it.
  const CheckedFolder folder = CheckFolder(location, job_.folder, files_);
  const FolderVerdict& verdict = folder.verdict;
  if (verdict.refusal != Refusal::kNone) {
    outcomes_.push_back({.kind = Kind::kRefused, .verdict = verdict});
    if (verdict.refusal == Refusal::kEmpty) {
      return;
    }
  } else if (!folder.folder) {
    outcomes_.push_back({.kind = Kind::kFolderNotOpened,
                         .path = verdict.path,
                         .fs = folder.opened.status,
                         .error = folder.opened.error});
  } else {
    Empty(*folder.folder, verdict.path);
  }
  // 6. The typed-address history.
  if (job_.whole_cache && !stopped_) {
    const platform::RegResult deleted = registry_.DeleteKeyTree(kTypedUrlsKey);
    outcomes_.push_back(
        {.kind = Kind::kHistoryDeleted, .error = deleted.error, .reg = deleted.status});
  }
}

void BrowserCleaner::CleanRun::Empty(platform::Folder& top, const std::wstring& path) {
  // 3. The files directly in the folder, and in its "Low" folder. The first
  //    pass over the folder is the whole run, each entry it deletes an equal
  //    share; later passes only finish what it left, and count for nothing.
  double share = 0;
  std::vector<platform::Entry> entries;
  if (Listed(top, path, Kind::kFilesUnlisted, entries)) {
    const auto deleted = std::count_if(entries.begin(), entries.end(), [&](const auto& entry) {
      return !entry.type.folder || job_.whole_cache;
    });
    share = deleted == 0 ? 0 : 1.0 / static_cast<double>(deleted);
    DeleteFiles(top, path, entries, share);
    // A link named "Low" is not the browser's: it is never opened.
    const platform::Entry* low = Named(entries, job_.low_folder);
    std::unique_ptr<platform::Folder> low_folder;
    std::vector<platform::Entry> low_entries;
    const std::wstring low_path = path + L'\\' + std::wstring(job_.low_folder);
    if (!job_.low_folder.empty() && !stopped_ && low != nullptr && low->type.folder &&
        !low->type.link && OpenListed(top, *low, low_folder).status == FsStatus::kOk &&
        Listed(*low_folder, low_path, Kind::kFilesUnlisted, low_entries)) {
      DeleteFiles(*low_folder, low_path, low_entries, 0);
    }
  }
  if (!job_.whole_cache || stopped_) {
    return;
  }
  // 4. Each subfolder whole, "Content.IE5" among them; the folder stays.
  DeleteSubfoldersOf(top, path, share);
  // 5. A second pass over the subfolders of "Content.IE5", or of the cache
  //    folder when "Content.IE5" went in step 4 (or is no real folder). Only
  //    what the first pass had to leave is left for it.
  if (stopped_) {
    return;
  }
  // "Content.IE5" is looked up by its name alone: the cache folder may
  // forbid listing and still let its subfolders be opened.
  std::unique_ptr<platform::Folder> content;
  const platform::Entry content_entry{std::wstring(kContentFolder), {.folder = true}};
  if (OpenListed(top, content_entry, content).status == FsStatus::kOk) {
    DeleteSubfoldersOf(*content, path + L'\\' + content_entry.name, 0);
  } else {
    DeleteSubfoldersOf(top, path, 0);
  }
}

bool BrowserCleaner::CleanRun::Listed(platform::Folder& folder, const std::wstring& path,
                                      Kind unlisted, std::vector<platform::Entry>& entries) {
  const platform::FsResult listed = folder.List(entries);
  // A folder that went away took its entries with it: nothing to report.
  if (Stays(listed.status)) {
    outcomes_.push_back(
        {.kind = unlisted, .path = path, .fs = listed.status, .error = listed.error});
  }
  return listed.status == FsStatus::kOk;
}

void BrowserCleaner::CleanRun::DeleteFiles(platform::Folder& folder, const std::wstring& path,
                                           const std::vector<platform::Entry>& entries,
                                           double share) {
  for (const auto& entry : entries) {
    if (!entry.type.folder) {
      const std::wstring entry_path = path + L'\\' + entry.name;
      outcomes_.push_back({.kind = Kind::kTried, .path = entry_path});
      Leftover left{entry_path, RemoveListed(folder, entry)};
      if (left.reason.status == FsStatus::kInUse) {
        left.holders = folder.HoldersOf(entry.name);
      }
      Left(left);
      if (!Advance(share)) {
        return;
      }
    }
  }
}

void BrowserCleaner::CleanRun::DeleteSubfoldersOf(platform::Folder& folder,
                                                  const std::wstring& path, double share_each) {
  std::vector<platform::Entry> entries;
  if (!Listed(folder, path, Kind::kSubfoldersUnlisted, entries)) {
    return;
  }
  for (const auto& entry : entries) {
    if (entry.type.folder) {
      const std::wstring entry_path = path + L'\\' + entry.name;
      outcomes_.push_back({.kind = Kind::kTried, .path = entry_path});
      std::vector<Leftover> leftovers;
      DeleteTree(folder, entry, entry_path, leftovers, share_each,
                 [this](double share) { return Advance(share); });
      for (const auto& leftover : leftovers) {
        Left(leftover);
      }
      if (stopped_) {
        return;
      }
    }
  }
}

bool BrowserCleaner::CleanRun::Advance(double share) {
  done_ += share;
  stopped_ = stopped_ || !work_.KeepResponding(done_);
  return !stopped_;
}

void BrowserCleaner::CleanRun::Left(const Leftover& leftover) {
  Outcome outcome{.kind = Kind::kLeft,
                  .path = leftover.path,
                  .fs = leftover.reason.status,
                  .error = leftover.reason.error};
  outcome.holders = leftover.holders;
  outcomes_.push_back(std::move(outcome));
}

}  // namespace quellnet::cleaners
