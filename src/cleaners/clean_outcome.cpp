#include "cleaners/clean_outcome.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "platform/path_text.h"
#include "platform/system_error.h"

namespace quellnet::cleaners {
namespace {

namespace paths = platform::paths;
using platform::FsStatus;
using platform::RegStatus;

// A path in quotes, shortened to what a message box shows on a line or two:
// the start and the end of a long one, which say where it is and what it is.
std::wstring Quoted(const std::wstring& path) {
  constexpr std::size_t kLongest = 120;
  constexpr std::size_t kEachEnd = (kLongest - 3) / 2;
  if (path.size() <= kLongest) {
    return L"\"" + path + L"\"";
  }
  return L"\"" + path.substr(0, kEachEnd) + L"..." + path.substr(path.size() - kEachEnd) + L"\"";
}

std::wstring RefusalReason(const FolderVerdict& verdict, const CleanerWords& words) {
  switch (verdict.refusal) {
    case Refusal::kNone:
    case Refusal::kEmpty:
      break;
    case Refusal::kNotFullPath:
      return L"is not a full path";
    case Refusal::kDriveRoot:
      return L"is a whole drive";
    case Refusal::kShareRoot:
      return L"is a whole network share";
    case Refusal::kLink:
      return L"is a link to another folder";
    case Refusal::kNotBrowsers:
      return L"is not the browser's " + std::wstring(words.folder);
    case Refusal::kProtected: {
      const std::wstring name(verdict.guarded);
      switch (verdict.relation) {
        case Relation::kIs:
          return L"is " + name;
        case Relation::kHolds:
          return L"holds " + name;
        case Relation::kInside:
          return L"lies inside " + name;
        case Relation::kIsProfile:
          return L"is a user's profile folder";
        case Relation::kInsideProfile:
          return L"lies inside another user's profile folder";
      }
      break;
    }
  }
  return L"can't be used";
}

// "1 item is in use and was left" / "3 items are in use and were left".
std::wstring Count(std::size_t count, std::wstring_view one, std::wstring_view many) {
  return std::to_wstring(count) + L" " + std::wstring(count == 1 ? one : many);
}

// "A", "A and B", "A, B and C".
std::wstring JoinNames(const std::vector<std::wstring>& names) {
  std::wstring joined;
  for (std::size_t i = 0; i < names.size(); ++i) {
    joined += (i == 0 ? L"" : i + 1 == names.size() ? L" and " : L", ") + names[i];
  }
  return joined;
}

// The browser's index of its cache or cookies. While Windows Explorer runs
// (always, on XP) it keeps the file open, and so it stays on every run.
bool IsIndexFile(const std::wstring& path) {
  return paths::SamePath(path.substr(path.rfind(L'\\') + 1), L"index.dat");
}

// Explorer keeps the browser's index files open from logon to logoff. Only
// where the system names their holders is it known to be Windows: they may
// as well be held by another program of the user's.
bool HeldByWindows(const std::vector<platform::Holder>& holders) {
  return !holders.empty() &&
         std::all_of(holders.begin(), holders.end(),
                     [](const platform::Holder& holder) { return holder.windows; });
}

// "The browser's index file (index.dat) stays: ..." for one or more.
std::wstring IndexLine(std::size_t count, std::wstring_view one_why, std::wstring_view many_why) {
  return count == 1 ? L"The browser's index file (index.dat) stays: " + std::wstring(one_why)
                    : L"The browser's index files (index.dat) stay: " + std::wstring(many_why);
}

// The end of a sentence that says what could not be done: the system's
// reason where it gave one.
std::wstring Because(platform::SystemError error) {
  return error == 0 ? L"." : L": " + platform::SystemErrorText(error);
}

// The sentence about one trouble with the folder itself.
std::wstring FolderLine(const Outcome& outcome, const CleanerWords& words) {
  const std::wstring the_folder = L"The " + std::wstring(words.folder);
  switch (outcome.kind) {
    case Outcome::Kind::kLocationUnread: {
      const std::wstring start = the_folder + L" could not be found: ";
      if (outcome.reg == RegStatus::kNotFound) {
        return start + L"its location is not recorded for this user.";
      }
      if (outcome.reg == RegStatus::kNotText) {
        return start + L"its recorded location is not a folder path.";
      }
      return start + L"its recorded location could not be read" + Because(outcome.error);
    }
    case Outcome::Kind::kRefused:
      if (outcome.verdict.refusal == Refusal::kEmpty) {
        return the_folder + L" could not be found: its recorded location is empty.";
      }
      return the_folder + L" was left alone: its recorded location, " +
             Quoted(outcome.verdict.path) + L", " + RefusalReason(outcome.verdict, words) + L".";
    case Outcome::Kind::kFolderNotOpened: {
      const std::wstring start = the_folder + L" " + Quoted(outcome.path);
      if (outcome.fs == FsStatus::kNotFound) {
        return start + L" could not be found.";
      }
      if (outcome.fs == FsStatus::kAccessDenied) {
        return start + L" could not be opened: you have no permission to open it.";
      }
      return start + L" could not be opened" + Because(outcome.error);
    }
    default: {  // the files or the subfolders could not be listed
      const std::wstring start =
          (outcome.kind == Outcome::Kind::kFilesUnlisted ? L"The files in "
                                                         : L"The subfolders of ") +
          Quoted(outcome.path);
      return start + (outcome.fs == FsStatus::kAccessDenied
                          ? L" were left: you have no permission to read that folder."
                          : L" were left: that folder could not be read" + Because(outcome.error));
    }
  }
}

// The sentences about the folder itself, in the order they arose, each once.
void AddFolderLines(const CleanerWords& words, const RunSummary& summary,
                    std::vector<std::wstring>& lines) {
  for (const Outcome& trouble : summary.folder_troubles) {
    std::wstring line = FolderLine(trouble, words);
    if (std::find(lines.begin(), lines.end(), line) == lines.end()) {
      lines.push_back(std::move(line));
    }
  }
}

// The index files, which stay on every run, in the words the system's
// knowledge of their holder allows.
std::vector<std::wstring> IndexLines(const RunSummary& summary) {
  std::vector<std::wstring> lines;
  if (summary.windows_index > 0) {
    lines.push_back(IndexLine(summary.windows_index,
                              L"Windows keeps it open while you are logged on.",
                              L"Windows keeps them open while you are logged on."));
  }
  if (summary.held_index > 0) {
    lines.push_back(IndexLine(summary.held_index, L"it is in use.", L"they are in use."));
  }
  return lines;
}

// The entries in use by other programs, named where the system names them.
void AddInUseLines(const RunSummary& summary, std::vector<std::wstring>& lines) {
  if (summary.held_by_named > 0) {
    const std::wstring names = JoinNames(summary.holders);
    std::wstring line =
        Count(summary.held_by_named, L"item is in use by " + names + L" and was left.",
              L"items are in use by " + names + L" and were left.");
    if (!summary.only_windows_holds) {
      line += summary.holders.size() == 1 ? L" Close " + names + L" and try again."
                                          : std::wstring(L" Close those programs and try again.");
    }
    lines.push_back(line);
  }
  if (summary.held_by_unknown > 0) {
    lines.push_back(Count(summary.held_by_unknown,
                          L"item is in use by another program and was left.",
                          L"items are in use by another program and were left."));
  }
}

// The entries left for a reason of their own: no permission, changed, or
// each reason the system gave, in its own words.
void AddNotDeletedLines(const RunSummary& summary, std::vector<std::wstring>& lines) {
  if (summary.denied > 0) {
    lines.push_back(Count(summary.denied,
                          L"item was left because you have no permission to delete it.",
                          L"items were left because you have no permission to delete them."));
  }
  if (summary.changed > 0) {
    lines.push_back(Count(summary.changed, L"item changed while it was being deleted and was left.",
                          L"items changed while they were being deleted and were left."));
  }
  if (summary.too_long > 0) {
    lines.push_back(
        Count(summary.too_long, L"item was left because its path is longer than Windows can reach.",
              L"items were left because their paths are longer than Windows can reach."));
  }
  if (summary.still_there > 0) {
    lines.push_back(Count(summary.still_there, L"item was still there when the clean ended.",
                          L"items were still there when the clean ended."));
  }
  for (const auto& [error, count] : summary.other_reasons) {
    lines.push_back(Count(count, L"item could not be deleted", L"items could not be deleted") +
                    Because(error));
  }
}

// The typed addresses' deletion was tried and they are still there.
bool HistoryKept(const RunSummary& summary) {
  return summary.history && *summary.history != RegStatus::kOk &&
         *summary.history != RegStatus::kNotFound;
}

// What became of the typed addresses, when that is worth a line.
void AddHistoryLine(const RunSummary& summary, std::vector<std::wstring>& lines) {
  if (summary.history == RegStatus::kOk) {
    lines.push_back(L"The list of typed addresses was cleared.");
  } else if (summary.history == RegStatus::kAccessDenied) {
    lines.push_back(
        L"The list of typed addresses could not be deleted: you have no permission to change it.");
  } else if (HistoryKept(summary)) {
    lines.push_back(L"The list of typed addresses could not be deleted" +
                    Because(summary.history_error));
  }
}

// A trouble with the folder itself, in the order it arose.
void AddFolderTrouble(const Outcome& outcome, RunSummary& summary) {
  summary.folder_troubles.push_back(outcome);
  if (outcome.kind == Outcome::Kind::kLocationUnread) {
    summary.refused = true;
    summary.nothing_deleted = true;
  } else if (outcome.kind == Outcome::Kind::kRefused) {
    summary.refused = true;
    summary.nothing_deleted = summary.nothing_deleted || outcome.verdict.refusal == Refusal::kEmpty;
  } else if (outcome.kind == Outcome::Kind::kFolderNotOpened) {
    summary.missing = outcome.fs == FsStatus::kNotFound;
  }
}

// An entry left for a reason the system gave in its own words, counted by
// that reason in the order first met.
void AddOtherReason(platform::SystemError error, RunSummary& summary) {
  ++summary.other;
  auto& reasons = summary.other_reasons;
  const auto reason = std::find_if(reasons.begin(), reasons.end(),
                                   [&](const auto& known) { return known.first == error; });
  if (reason == reasons.end()) {
    reasons.emplace_back(error, 1);
  } else {
    ++reason->second;
  }
}

// An entry left in use: the browser's index, or by the programs named.
void AddInUse(const std::wstring& path, const Outcome& outcome, RunSummary& summary) {
  if (IsIndexFile(path) && HeldByWindows(outcome.holders)) {
    ++summary.windows_index;
  } else if (IsIndexFile(path) && outcome.holders.empty()) {
    ++summary.held_index;
  } else if (outcome.holders.empty()) {
    ++summary.held_by_unknown;
  } else {
    ++summary.held_by_named;
    for (const platform::Holder& holder : outcome.holders) {
      summary.only_windows_holds = summary.only_windows_holds && holder.windows;
      if (std::find(summary.holders.begin(), summary.holders.end(), holder.name) ==
          summary.holders.end()) {
        summary.holders.push_back(holder.name);
      }
    }
  }
}

// An entry still there at the end, by why.
void AddLeft(const std::wstring& path, const Outcome& outcome, RunSummary& summary) {
  if (outcome.kind == Outcome::Kind::kStillThere) {
    ++summary.still_there;
  } else if (outcome.fs == FsStatus::kAccessDenied) {
    ++summary.denied;
  } else if (outcome.fs == FsStatus::kChanged) {
    ++summary.changed;
  } else if (outcome.fs == FsStatus::kTooLong) {
    ++summary.too_long;
  } else if (outcome.fs == FsStatus::kInUse) {
    AddInUse(path, outcome, summary);
  } else {
    AddOtherReason(outcome.error, summary);
  }
}

}  // namespace

RunSummary Summarise(const std::vector<Outcome>& outcomes) {
  RunSummary summary;
  std::map<std::wstring, const Outcome*> left;  // each entry still there, once, by its path
  for (const Outcome& outcome : outcomes) {
    switch (outcome.kind) {
      case Outcome::Kind::kLocationUnread:
      case Outcome::Kind::kRefused:
      case Outcome::Kind::kFolderNotOpened:
      case Outcome::Kind::kFilesUnlisted:
      case Outcome::Kind::kSubfoldersUnlisted:
        AddFolderTrouble(outcome, summary);
        break;
      case Outcome::Kind::kLeft:
      case Outcome::Kind::kStillThere:
        left[outcome.path] = &outcome;
        break;
      case Outcome::Kind::kHistoryDeleted:
        summary.history = outcome.reg;
        summary.history_error = outcome.error;
        break;
    }
  }
  for (const auto& [path, outcome] : left) {
    AddLeft(path, *outcome, summary);
  }
  // Every trouble with the folder is worth a line, and so is every entry
  // left but the index files.
  summary.did_all =
      summary.folder_troubles.empty() && !summary.nothing_deleted && !HistoryKept(summary) &&
      summary.held_by_named + summary.held_by_unknown + summary.denied + summary.changed +
              summary.too_long + summary.still_there + summary.other ==
          0;
  return summary;
}

RunMessage Compose(const CleanerWords& words, const RunSummary& summary) {
  const std::vector<std::wstring> index_lines = IndexLines(summary);
  if (summary.did_all) {
    // The plain success text stands alone, as it always has. The index
    // files are no failure: nothing the user could do would remove them.
    std::wstring text(words.done);
    for (const std::wstring& line : index_lines) {
      text += L"\n\n" + line;
    }
    return {text, index_lines.empty() ? platform::MessageIcon::kNone
                                      : platform::MessageIcon::kInformation};
  }
  // Anything left behind is worth the user's attention.
  std::vector<std::wstring> lines;
  AddFolderLines(words, summary, lines);
  AddInUseLines(summary, lines);
  lines.insert(lines.end(), index_lines.begin(), index_lines.end());
  AddNotDeletedLines(summary, lines);
  if (summary.nothing_deleted) {
    lines.push_back(L"Nothing was deleted.");
  }
  AddHistoryLine(summary, lines);
  std::wstring text(words.headline);
  text += L"\n";
  for (const auto& line : lines) {
    text += L"\n" + line;
  }
  return {text, platform::MessageIcon::kWarning};
}

CleanResult ResultOf(const RunSummary& summary) {
  if (summary.refused) {
    return CleanResult::kRefused;
  }
  if (summary.did_all) {
    return CleanResult::kEmptied;
  }
  // A folder that does not exist held nothing to delete; that is all there
  // is to tell when nothing else went wrong.
  return summary.missing && summary.folder_troubles.size() == 1 && !HistoryKept(summary)
             ? CleanResult::kMissing
             : CleanResult::kLeft;
}

}  // namespace quellnet::cleaners
