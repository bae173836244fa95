#include "cleaners/browser_cleaner.h"

#include <algorithm>

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
constexpr std::wstring_view kContentFolder = L"\\Content.IE5";
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
  bool Opens(const std::wstring& folder);
  // Lists `folder`; when that fails, records `unlisted` (a folder that is
  // gone is no trouble) and returns false.
  bool Listed(const std::wstring& folder, Kind unlisted, std::vector<platform::Entry>& entries);
  // Deletes the files among `entries`, those directly in `folder`, each
  // `share` of the run.
  void DeleteFiles(const std::wstring& folder, const std::vector<platform::Entry>& entries,
                   double share);
  void DeleteSubfoldersOf(const std::wstring& folder, double share_each);
  std::wstring SecondPassFolder(const std::wstring& cache);
  bool IsRealFolder(const std::wstring& path);
  // Records what a deletion of `path` left, and who holds it when in use.
  void Left(const std::wstring& path, FsStatus status);
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
  return ResultOf(summary, message);
}

void BrowserCleaner::CleanRun::Clean() {
  // 1. Where the folder is, as the registry says. Without a location the run
  //    ends here; the typed addresses stay too.
  std::wstring location;
  if (const auto read = registry_.ReadText(kShellFoldersKey, job_.folder_value, location);
      read != platform::RegStatus::kOk) {
    outcomes_.push_back({.kind = Kind::kLocationUnread, .reg = read});
    return;
  }
  // 2. Whether that folder may be emptied at all.
  const FolderVerdict folder = CheckFolder(location, job_.folder, files_);
  if (folder.refusal != Refusal::kNone) {
    outcomes_.push_back({.kind = Kind::kRefused, .verdict = folder});
    if (folder.refusal == Refusal::kEmpty) {
      return;
    }
  } else if (Opens(folder.path)) {
    // 3. The files directly in the folder, and in its "Low" folder. The first
    //    pass over the folder is the whole run, each entry it deletes an
    //    equal share; later passes only finish what it left, and count for
    //    nothing.
    double share = 0;
    std::vector<platform::Entry> entries;
    if (Listed(folder.path, Kind::kFilesUnlisted, entries)) {
      const auto deleted = std::count_if(entries.begin(), entries.end(), [&](const auto& entry) {
        return !entry.type.folder || job_.whole_cache;
      });
      share = deleted == 0 ? 0 : 1.0 / static_cast<double>(deleted);
      DeleteFiles(folder.path, entries, share);
      const std::wstring low = folder.path + L'\\' + std::wstring(job_.low_folder);
      std::vector<platform::Entry> low_entries;
      if (!job_.low_folder.empty() && !stopped_ && IsRealFolder(low) &&
          Listed(low, Kind::kFilesUnlisted, low_entries)) {
        DeleteFiles(low, low_entries, 0);
      }
    }
    if (job_.whole_cache && !stopped_) {
      // 4. Each subfolder whole, "Content.IE5" among them; the folder stays.
      DeleteSubfoldersOf(folder.path, share);
      // 5. A second pass over the subfolders of "Content.IE5", or of the
      //    cache folder when "Content.IE5" went in step 4. Only what the
      //    first pass had to leave is left for it.
      if (!stopped_) {
        DeleteSubfoldersOf(SecondPassFolder(folder.path), 0);
      }
    }
  }
  // 6. The typed-address history.
  if (job_.whole_cache && !stopped_) {
    outcomes_.push_back(
        {.kind = Kind::kHistoryDeleted, .reg = registry_.DeleteKeyTree(kTypedUrlsKey)});
  }
}
bool BrowserCleaner::CleanRun::Opens(const std::wstring& folder) {
  platform::EntryType type;
  FsStatus status = files_.TypeOf(folder, type);
  if (status == FsStatus::kOk && !type.folder) {
    status = FsStatus::kNotFound;  // a file is no folder to empty
  }
  if (status != FsStatus::kOk) {
    outcomes_.push_back({.kind = Kind::kFolderNotOpened, .path = folder, .fs = status});
  }
  return status == FsStatus::kOk;
}

bool BrowserCleaner::CleanRun::Listed(const std::wstring& folder, Kind unlisted,
                                      std::vector<platform::Entry>& entries) {
  const FsStatus listed = files_.List(folder, entries);
  // A folder that went away took its entries with it: nothing to report.
  if (Stays(listed)) {
    outcomes_.push_back({.kind = unlisted, .path = folder, .fs = listed});
  }
  return listed == FsStatus::kOk;
}

void BrowserCleaner::CleanRun::DeleteFiles(const std::wstring& folder,
                                           const std::vector<platform::Entry>& entries,
                                           double share) {
  for (const auto& entry : entries) {
    if (!entry.type.folder) {
      const std::wstring path = folder + L'\\' + entry.name;
      outcomes_.push_back({.kind = Kind::kTried, .path = path});
      Left(path, files_.Remove(path, entry.type));
      if (!Advance(share)) {
        return;
      }
    }
  }
}

void BrowserCleaner::CleanRun::DeleteSubfoldersOf(const std::wstring& folder, double share_each) {
  std::vector<platform::Entry> entries;
  if (!Listed(folder, Kind::kSubfoldersUnlisted, entries)) {
    return;
  }
  for (const auto& entry : entries) {
    if (entry.type.folder) {
      const std::wstring path = folder + L'\\' + entry.name;
      outcomes_.push_back({.kind = Kind::kTried, .path = path});
      std::vector<Leftover> leftovers;
      DeleteTree(files_, path, entry.type, leftovers, share_each,
                 [this](double share) { return Advance(share); });
      for (const auto& leftover : leftovers) {
        Left(leftover.path, leftover.reason);
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

std::wstring BrowserCleaner::CleanRun::SecondPassFolder(const std::wstring& cache) {
  const std::wstring content = cache + std::wstring(kContentFolder);
  return IsRealFolder(content) ? content : cache;
}

// A link is never opened: what it leads to is not the browser's.
bool BrowserCleaner::CleanRun::IsRealFolder(const std::wstring& path) {
  platform::EntryType type;
  return files_.TypeOf(path, type) == FsStatus::kOk && type.folder && !type.link;
}

void BrowserCleaner::CleanRun::Left(const std::wstring& path, FsStatus status) {
  Outcome outcome{.kind = Kind::kLeft, .path = path, .fs = status};
  if (status == FsStatus::kInUse) {
    outcome.holders = files_.HoldersOf(path);
  }
  outcomes_.push_back(std::move(outcome));
}

}  // namespace quellnet::cleaners
