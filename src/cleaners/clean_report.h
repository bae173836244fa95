// What a cleaner's run could not do, gathered while it runs, and the one
// message that tells the user about it afterwards.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cleaners/folder_safety.h"
#include "platform/file_system.h"
#include "platform/main_window.h"
#include "platform/registry.h"

namespace quellnet::cleaners {

// The words that differ between the cleaners.
struct CleanerWords {
  std::wstring_view done;      // the whole message when everything is gone
  std::wstring_view headline;  // its first line when something is left
  std::wstring_view folder;    // names the folder in a sentence: "cache folder"
};

class CleanReport {
 public:
  explicit CleanReport(const CleanerWords& words) : words_(words) {}

  // The registry value that names the folder could not be read; nothing is
  // deleted in this run.
  void LocationUnread(platform::RegStatus status);
  // The folder was refused; nothing in it is deleted.
  void Refused(const FolderVerdict& verdict);
  // The folder was not found or could not be opened.
  void FolderNotOpened(const std::wstring& folder, platform::FsStatus status);
  enum class Listing { kFiles, kSubfolders };
  // A listing of `folder` failed, so its entries of that kind stay.
  void ListingFailed(const std::wstring& folder, Listing listing, platform::FsStatus status);
  // An attempt to delete `path` (a file, or a folder with all in it) ended
  // with `status`. What it left replaces anything an earlier attempt on the
  // same path or below it left, so an entry tried twice counts once.
  void Attempted(const std::wstring& path, platform::FsStatus status,
                 const std::vector<platform::Leftover>& leftovers = {});
  // The typed-address history was deleted, absent, or failed to go.
  void HistoryDeleted(platform::RegStatus status);

  // True when everything the run set out to delete is gone.
  bool Complete() const;
  std::wstring Message() const;
  platform::MessageIcon Icon() const;

 private:
  const CleanerWords& words_;
  void AddFolderLine(std::wstring line);

  // The sentences about the folder itself (unread location, refusal, missing
  // folder, unreadable listings), in the order they arose, each once.
  std::vector<std::wstring> folder_lines_;
  bool nothing_deleted_ = false;
  // Path of each entry left -> why.
  std::map<std::wstring, platform::FsStatus> left_;
  std::optional<platform::RegStatus> history_;
};

}  // namespace quellnet::cleaners
