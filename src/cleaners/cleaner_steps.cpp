#include "cleaners/cleaner_steps.h"

#include <vector>

#include "app/app_info.h"

namespace quellnet::cleaners {

using platform::FsStatus;

std::optional<FolderVerdict> LocateFolder(platform::Registry& registry, platform::FileSystem& files,
                                          std::wstring_view value_name, CleanReport& report) {
  std::wstring path;
  const platform::RegStatus read = registry.ReadText(kShellFoldersKey, value_name, path);
  if (read != platform::RegStatus::kOk) {
    report.LocationUnread(read);
    return std::nullopt;
  }
  return CheckFolder(path, files);
}

void DeleteFilesIn(platform::FileSystem& files, const std::wstring& folder, CleanReport& report) {
  std::vector<std::wstring> entries;
  const FsStatus listed = files.ListFiles(folder, entries);
  if (listed == FsStatus::kNotFound) {
    return;  // the folder went away, and what was in it with it
  }
  if (listed != FsStatus::kOk) {
    report.ListingFailed(folder, CleanReport::Listing::kFiles, listed);
    return;
  }
  for (const auto& entry : entries) {
    report.Attempted(entry, files.DeleteFile(entry));
  }
}

void DeleteSubfoldersOf(platform::FileSystem& files, const std::wstring& folder,
                        CleanReport& report) {
  std::vector<std::wstring> entries;
  const FsStatus listed = files.ListSubfolders(folder, entries);
  if (listed == FsStatus::kNotFound) {
    return;
  }
  if (listed != FsStatus::kOk) {
    report.ListingFailed(folder, CleanReport::Listing::kSubfolders, listed);
    return;
  }
  for (const auto& entry : entries) {
    std::vector<platform::Leftover> leftovers;
    const FsStatus deleted = files.DeleteFolder(entry, leftovers);
    report.Attempted(entry, deleted, leftovers);
  }
}

void Tell(platform::MainWindow& window, const CleanReport& report) {
  window.ShowMessage(report.Message(), app::kApplicationTitle, report.Icon());
}

}  // namespace quellnet::cleaners
