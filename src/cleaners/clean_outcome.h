// What one cleaner run did, step by step, as a plain list; and the one
// message that tells the user about it afterwards.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cleaners/folder_safety.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/registry.h"

namespace quellnet::cleaners {

// The words that differ between the cleaners.
struct CleanerWords {
  std::wstring_view done;      // the whole message when everything is gone
  std::wstring_view headline;  // its first line when something is left
  std::wstring_view folder;    // names the folder in a sentence: "cache folder"
};

struct Outcome {
  enum class Kind {
    kLocationUnread,      // the registry value naming the folder: `reg`
    kRefused,             // the folder was refused: `verdict`
    kFolderNotOpened,     // `path` could not be opened: `fs`
    kFilesUnlisted,       // the files in `path` could not be listed: `fs`
    kSubfoldersUnlisted,  // the subfolders of `path` could not be listed: `fs`
    kLeft,                // `path` stays, left by the run: `fs`
    kStillThere,          // `path` is still there at the end, for no reason the run knows
    kHistoryDeleted,      // the typed-address history: `reg`
  };
  Kind kind;
  std::wstring path{};
  platform::FsStatus fs = platform::FsStatus::kOk;
  platform::SystemError error = 0;  // the system's code for `fs` or `reg`, where it gave one
  platform::RegStatus reg = platform::RegStatus::kOk;
  FolderVerdict verdict{};
  std::vector<platform::Holder> holders{};  // for kLeft in use: who holds it, where known
};

// What a run left and why, folded from its outcomes.
struct RunSummary {
  // The outcomes about the folder itself (its location, refusal, opening,
  // listing), in the order they arose.
  std::vector<Outcome> folder_troubles;
  bool refused = false;          // its location was refused, missing or unreadable
  bool nothing_deleted = false;  // the location was never found
  bool missing = false;          // no folder is where the location says
  // The entries left, by why.
  std::size_t windows_index = 0;      // the browser's index files that Windows keeps open
  std::size_t held_index = 0;         // ... that something the system can't name holds
  std::size_t held_by_named = 0;      // in use by programs the system names...
  std::vector<std::wstring> holders;  // ... each program once
  bool only_windows_holds = true;     // ... and all of them Windows itself
  std::size_t held_by_unknown = 0;    // in use by a program the system can't name
  std::size_t denied = 0;             // no permission
  std::size_t changed = 0;            // replaced or changed since it was listed
  std::size_t too_long = 0;           // its path is longer than the system can reach
  std::size_t still_there = 0;        // still there, though nothing the run knows kept it
  std::size_t other = 0;              // any other reason...
  // ... by the system's code, each with its count, in the order first met
  std::vector<std::pair<platform::SystemError, std::size_t>> other_reasons;
  std::optional<platform::RegStatus> history;  // the typed addresses' deletion, if tried
  platform::SystemError history_error = 0;     // ... and the system's code for its failure
  // The run did all it set out to: nothing stays but the index files that
  // no one could delete.
  bool did_all = false;
};

RunSummary Summarise(const std::vector<Outcome>& outcomes);

struct RunMessage {
  std::wstring text;
  platform::MessageIcon icon;
};

// The plain success text when the run did all it set out to; otherwise the
// headline and one line for each kind of trouble, with a warning icon.
RunMessage Compose(const CleanerWords& words, const RunSummary& summary);

// How a run ended, in one word: what a run from the command line reports.
enum class CleanResult {
  kEmptied,  // the plain success message: all is gone but the index files Windows holds
  kLeft,     // something stays, or the folder could not be opened or read
  kRefused,  // its location was refused, missing or unreadable: nothing in it was touched
  kMissing,  // no folder is where its location says, so nothing was in it to delete
  kStopped,  // the program ended during the run
};

CleanResult ResultOf(const RunSummary& summary);

}  // namespace quellnet::cleaners
