#include "cleaners/clean_outcome.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace quellnet::cleaners {
namespace {

using platform::FsStatus;
using platform::RegStatus;

std::wstring Quoted(const std::wstring& path) {
  return L"\"" + path + L"\"";
}

std::wstring_view ProtectedName(platform::ProtectedKind kind) {
  switch (kind) {
    case platform::ProtectedKind::kProfile:
      return L"your user folder";
    case platform::ProtectedKind::kDesktop:
      return L"your Desktop";
    case platform::ProtectedKind::kDocuments:
      return L"your Documents folder";
    case platform::ProtectedKind::kWindows:
      return L"the Windows folder";
    case platform::ProtectedKind::kSystem:
      return L"the Windows system folder";
    case platform::ProtectedKind::kProgramFiles:
      return L"the Program Files folder";
  }
  return L"a folder that must be kept";
}

std::wstring RefusalReason(const FolderVerdict& verdict) {
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
    case Refusal::kProtected:
      return std::wstring(verdict.holds ? L"holds " : L"is ") +
             std::wstring(ProtectedName(verdict.kind));
  }
  return L"can't be used";
}

// "1 item is in use and was left" / "3 items are in use and were left".
std::wstring Count(std::size_t count, std::wstring_view one, std::wstring_view many) {
  return std::to_wstring(count) + L" " + std::wstring(count == 1 ? one : many);
}

}  // namespace

RunMessage Compose(const CleanerWords& words, const std::vector<Outcome>& outcomes) {
  // The sentences about the folder itself, in the order they arose, each once.
  std::vector<std::wstring> lines;
  auto add_line = [&lines](std::wstring line) {
    if (std::find(lines.begin(), lines.end(), line) == lines.end()) {
      lines.push_back(std::move(line));
    }
  };
  const std::wstring the_folder = L"The " + std::wstring(words.folder);
  bool nothing_deleted = false;
  std::map<std::wstring, FsStatus> left;  // path of each entry left -> why
  std::optional<RegStatus> history;

  for (const Outcome& outcome : outcomes) {
    switch (outcome.kind) {
      case Outcome::Kind::kLocationUnread: {
        const std::wstring start = the_folder + L" could not be found: ";
        if (outcome.reg == RegStatus::kNotFound) {
          add_line(start + L"its location is not recorded for this user.");
        } else if (outcome.reg == RegStatus::kNotText) {
          add_line(start + L"its recorded location is not a folder path.");
        } else {
          add_line(start + L"its recorded location could not be read.");
        }
        nothing_deleted = true;
        break;
      }
      case Outcome::Kind::kRefused:
        if (outcome.verdict.refusal == Refusal::kEmpty) {
          add_line(the_folder + L" could not be found: its recorded location is empty.");
          nothing_deleted = true;
        } else {
          add_line(the_folder + L" was left alone: its recorded location, " +
                   Quoted(outcome.verdict.path) + L", " + RefusalReason(outcome.verdict) + L".");
        }
        break;
      case Outcome::Kind::kFolderNotOpened: {
        const std::wstring start = the_folder + L" " + Quoted(outcome.path);
        if (outcome.fs == FsStatus::kNotFound) {
          add_line(start + L" could not be found.");
        } else if (outcome.fs == FsStatus::kAccessDenied) {
          add_line(start + L" could not be opened: you have no permission to open it.");
        } else {
          add_line(start + L" could not be opened.");
        }
        break;
      }
      case Outcome::Kind::kFilesUnlisted:
      case Outcome::Kind::kSubfoldersUnlisted: {
        const std::wstring start =
            (outcome.kind == Outcome::Kind::kFilesUnlisted ? L"The files in "
                                                           : L"The subfolders of ") +
            Quoted(outcome.path);
        add_line(start + (outcome.fs == FsStatus::kAccessDenied
                              ? L" were left: you have no permission to read that folder."
                              : L" were left: that folder could not be read."));
        break;
      }
      case Outcome::Kind::kTried:
        // Forget what earlier attempts left of this entry; '\\' + 1 is ']',
        // so the range holds exactly the paths below it.
        left.erase(outcome.path);
        left.erase(left.lower_bound(outcome.path + L"\\"), left.lower_bound(outcome.path + L"]"));
        break;
      case Outcome::Kind::kLeft:
        if (outcome.fs != FsStatus::kOk && outcome.fs != FsStatus::kNotFound) {
          left[outcome.path] = outcome.fs;
        }
        break;
      case Outcome::Kind::kHistoryDeleted:
        history = outcome.reg;
        break;
    }
  }

  const bool history_kept =
      history && *history != RegStatus::kOk && *history != RegStatus::kNotFound;
  if (lines.empty() && left.empty() && !nothing_deleted && !history_kept) {
    // The plain success text stands alone, as it always has.
    return {std::wstring(words.done), platform::MessageIcon::kNone};
  }

  std::size_t in_use = 0;
  std::size_t denied = 0;
  std::size_t other = 0;
  for (const auto& [path, reason] : left) {
    ++(reason == FsStatus::kInUse ? in_use : reason == FsStatus::kAccessDenied ? denied : other);
  }
  if (in_use > 0) {
    lines.push_back(
        Count(in_use, L"item is in use and was left.", L"items are in use and were left.") +
        L" Close the browser and try again.");
  }
  if (denied > 0) {
    lines.push_back(Count(denied, L"item was left because you have no permission to delete it.",
                          L"items were left because you have no permission to delete them."));
  }
  if (other > 0) {
    lines.push_back(Count(other, L"item could not be deleted.", L"items could not be deleted."));
  }
  if (nothing_deleted) {
    lines.push_back(L"Nothing was deleted.");
  }
  if (history == RegStatus::kOk) {
    lines.push_back(L"The list of typed addresses was cleared.");
  } else if (history == RegStatus::kAccessDenied) {
    lines.push_back(
        L"The list of typed addresses could not be deleted: you have no permission to change it.");
  } else if (history_kept) {
    lines.push_back(L"The list of typed addresses could not be deleted.");
  }

  // Anything left behind is worth the user's attention.
  std::wstring text(words.headline);
  text += L"\n";
  for (const auto& line : lines) {
    text += L"\n" + line;
  }
  return {text, platform::MessageIcon::kWarning};
}

}  // namespace quellnet::cleaners
