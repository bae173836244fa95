#include "cleaners/browser_cleaner.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "cleaners/folder_safety.h"
#include "cleaners/tree_deletion.h"

namespace quellnet::cleaners {
namespace {

using platform::FsStatus;
using Kind = Outcome::Kind;

// The per-user key whose values name the browser's folders.
constexpr std::wstring_view kShellFoldersKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
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
  // The files in the "Low" folder among `entries`, those of `top` at `path`.
  void EmptyLow(platform::Folder& top, const std::wstring& path,
                const std::vector<platform::Entry>& entries);
  // Deletes each subfolder among `entries`, those of `folder` at `path`,
  // whole, each `share_each` of the run.
  void DeleteSubfolders(platform::Folder& folder, const std::wstring& path,
                        const std::vector<platform::Entry>& entries, double share_each);
  // Counts what stays of what the run set out to delete in `top` at `path`.
  void CountLeft(platform::Folder& top, const std::wstring& path);
  // Whether the run sets out to delete `entry` found at `depth` (1: directly
  // in the folder), and whether it looks into it for more.
  bool Deletes(const platform::Entry& entry, std::size_t depth) const;
  bool LooksInto(const platform::Entry& entry, std::size_t depth) const;
  void Tell(Kind kind, const Leftover& leftover);
  // An entry has had its turn and `share` more of the run is done; false
  // once the run must stop.
  bool Advance(double share);

  const CleanerJob& job_;
  platform::LongWork& work_;
  platform::Registry& registry_;
  platform::FileSystem& files_;
  // What the run did, step by step.
  std::vector<Outcome> outcomes_;
  // What the run had to leave; it touches none of them again.
  LeftEntries left_;
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
    EmptyLow(top, path, entries);
  }
  // 4. Each subfolder whole, "Content.IE5" among them; the folder stays.
  //    Twice: the second pass, over a fresh listing through the folder's
  //    handle, takes what the browser wrote meanwhile, and leaves alone all
  //    that the first pass left. A cache folder that can't be listed has
  //    nothing in it entered: a name that no listing showed is never trusted.
  for (int pass = 0; pass < 2 && job_.whole_cache && !stopped_; ++pass) {
    entries.clear();
    if (Listed(top, path, Kind::kSubfoldersUnlisted, entries)) {
      DeleteSubfolders(top, path, entries, pass == 0 ? share : 0);
    }
  }
  // 5. What stays, counted afresh.
  if (!stopped_) {
    CountLeft(top, path);
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
      left_.Record(folder, entry.name, path + L'\\' + entry.name, RemoveListed(folder, entry));
      if (!Advance(share)) {
        return;
      }
    }
  }
}

void BrowserCleaner::CleanRun::EmptyLow(platform::Folder& top, const std::wstring& path,
                                        const std::vector<platform::Entry>& entries) {
  // A link named "Low" is not the browser's: it is never opened. One that a
  // link replaced since the listing is left, and counted.
  const platform::Entry* low = job_.low_folder.empty() ? nullptr : Named(entries, job_.low_folder);
  if (stopped_ || low == nullptr || !low->type.folder || low->type.link) {
    return;
  }
  const std::wstring low_path = path + L'\\' + low->name;
  std::unique_ptr<platform::Folder> low_folder;
  left_.Record(top, low->name, low_path, OpenListed(top, *low, low_folder));
  std::vector<platform::Entry> low_entries;
  if (low_folder && Listed(*low_folder, low_path, Kind::kFilesUnlisted, low_entries)) {
    DeleteFiles(*low_folder, low_path, low_entries, 0);
  }
}

void BrowserCleaner::CleanRun::DeleteSubfolders(platform::Folder& folder, const std::wstring& path,
                                                const std::vector<platform::Entry>& entries,
                                                double share_each) {
  for (const auto& entry : entries) {
    if (entry.type.folder) {
      DeleteTree(folder, entry, path + L'\\' + entry.name, left_, share_each,
                 [this](double share) { return Advance(share); });
      if (stopped_) {
        return;
      }
    }
  }
}

bool BrowserCleaner::CleanRun::Deletes(const platform::Entry& entry, std::size_t depth) const {
  return job_.whole_cache || !entry.type.folder || LooksInto(entry, depth);
}

bool BrowserCleaner::CleanRun::LooksInto(const platform::Entry& entry, std::size_t depth) const {
  return entry.type.folder && !entry.type.link &&
         (job_.whole_cache ||
          (depth == 1 && !job_.low_folder.empty() && Named({entry}, job_.low_folder) != nullptr));
}

void BrowserCleaner::CleanRun::CountLeft(platform::Folder& top, const std::wstring& path) {
  // Each entry still there that the run set out to delete, from listings
  // made through the handles, with what it was left for where the run knows;
  // one whose deletion the system accepted but did not carry out, or that
  // came in after its pass, is still there all the same. A folder is
  // counted only when it stays empty; what another run deleted meanwhile is
  // not there to count.
  struct Look {
    platform::Folder* folder;
    std::unique_ptr<platform::Folder> owned;
    std::wstring path;
    std::vector<platform::Entry> entries{};
    std::size_t next = 0;
  };
  std::vector<Look> looks;
  looks.push_back({&top, nullptr, path});
  if (top.List(looks.back().entries).status != FsStatus::kOk) {
    return;  // told already: the steps before could not list it either
  }
  while (!looks.empty()) {
    if (looks.back().next == looks.back().entries.size()) {
      looks.pop_back();
      continue;
    }
    Look& look = looks.back();
    const platform::Entry& entry = look.entries[look.next++];
    const std::wstring entry_path = look.path + L'\\' + entry.name;
    if (const Leftover* known = left_.Find(look.folder->Identity(), entry.name)) {
      Tell(Kind::kLeft, *known);
    } else if (!LooksInto(entry, looks.size())) {
      if (Deletes(entry, looks.size())) {
        Tell(Kind::kStillThere, {entry_path});
      }
    } else {
      Look inner{nullptr, nullptr, entry_path};
      platform::FsResult looked = OpenListed(*look.folder, entry, inner.owned);
      if (looked.status == FsStatus::kOk) {
        looked = inner.owned->List(inner.entries);
      }
      if (looked.status != FsStatus::kOk) {
        Tell(Kind::kLeft, {entry_path, looked});
      } else if (inner.entries.empty() && job_.whole_cache) {
        Tell(Kind::kStillThere, {entry_path});
      } else {
        inner.folder = inner.owned.get();
        looks.push_back(std::move(inner));
      }
    }
  }
}

void BrowserCleaner::CleanRun::Tell(Kind kind, const Leftover& leftover) {
  if (kind == Kind::kLeft && !Stays(leftover.reason.status)) {
    return;
  }
  Outcome outcome{.kind = kind,
                  .path = leftover.path,
                  .fs = leftover.reason.status,
                  .error = leftover.reason.error};
  outcome.holders = leftover.holders;
  outcomes_.push_back(std::move(outcome));
}

bool BrowserCleaner::CleanRun::Advance(double share) {
  done_ += share;
  stopped_ = stopped_ || !work_.KeepResponding(done_);
  return !stopped_;
}

}  // namespace quellnet::cleaners
