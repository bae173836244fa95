#include "cleaners/clean_report.h"

#include <algorithm>
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

void CleanReport::AddFolderLine(std::wstring line) {
  if (std::find(folder_lines_.begin(), folder_lines_.end(), line) == folder_lines_.end()) {
    folder_lines_.push_back(std::move(line));
  }
}

void CleanReport::LocationUnread(RegStatus status) {
  const std::wstring start = L"The " + std::wstring(words_.folder) + L" could not be found: ";
  switch (status) {
    case RegStatus::kNotFound:
      AddFolderLine(start + L"its location is not recorded for this user.");
      break;
    case RegStatus::kNotText:
      AddFolderLine(start + L"its recorded location is not a folder path.");
      break;
    default:
      AddFolderLine(start + L"its recorded location could not be read.");
      break;
  }
  nothing_deleted_ = true;
}

void CleanReport::Refused(const FolderVerdict& verdict) {
  if (verdict.refusal == Refusal::kEmpty) {
    AddFolderLine(L"The " + std::wstring(words_.folder) +
                  L" could not be found: its recorded location is empty.");
    nothing_deleted_ = true;
    return;
  }
  AddFolderLine(L"The " + std::wstring(words_.folder) +
                L" was left alone: its recorded location, " + Quoted(verdict.path) + L", " +
                RefusalReason(verdict) + L".");
}

void CleanReport::FolderNotOpened(const std::wstring& folder, FsStatus status) {
  const std::wstring start = L"The " + std::wstring(words_.folder) + L" " + Quoted(folder);
  switch (status) {
    case FsStatus::kNotFound:
      AddFolderLine(start + L" could not be found.");
      break;
    case FsStatus::kAccessDenied:
      AddFolderLine(start + L" could not be opened: you have no permission to open it.");
      break;
    default:
      AddFolderLine(start + L" could not be opened.");
      break;
  }
}

void CleanReport::ListingFailed(const std::wstring& folder, Listing listing, FsStatus status) {
  const std::wstring start =
      (listing == Listing::kFiles ? L"The files in " : L"The subfolders of ") + Quoted(folder);
  if (status == FsStatus::kAccessDenied) {
    AddFolderLine(start + L" were left: you have no permission to read that folder.");
  } else {
    AddFolderLine(start + L" were left: that folder could not be read.");
  }
}

void CleanReport::Attempted(const std::wstring& path, FsStatus status,
                            const std::vector<platform::Leftover>& leftovers) {
  // Forget what earlier attempts left of this entry; '\\' + 1 is ']', so the
  // range holds exactly the paths below it.
  left_.erase(path);
  left_.erase(left_.lower_bound(path + L"\\"), left_.lower_bound(path + L"]"));
  if (status == FsStatus::kOk || status == FsStatus::kNotFound) {
    return;  // gone, or gone already
  }
  bool recorded = false;
  for (const auto& leftover : leftovers) {
    if (leftover.reason != FsStatus::kOk && leftover.reason != FsStatus::kNotFound) {
      left_[leftover.path] = leftover.reason;
      recorded = true;
    }
  }
  if (!recorded) {
    left_[path] = status;
  }
}

void CleanReport::HistoryDeleted(RegStatus status) {
  history_ = status;
}

bool CleanReport::Complete() const {
  const bool history_kept =
      history_ && *history_ != RegStatus::kOk && *history_ != RegStatus::kNotFound;
  return folder_lines_.empty() && left_.empty() && !nothing_deleted_ && !history_kept;
}

std::wstring CleanReport::Message() const {
  if (Complete()) {
    return std::wstring(words_.done);
  }
  std::vector<std::wstring> lines = folder_lines_;

  std::size_t in_use = 0;
  std::size_t denied = 0;
  std::size_t other = 0;
  for (const auto& [path, reason] : left_) {
    switch (reason) {
      case FsStatus::kInUse:
        ++in_use;
        break;
      case FsStatus::kAccessDenied:
        ++denied;
        break;
      default:
        ++other;
        break;
    }
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
  if (nothing_deleted_) {
    lines.push_back(L"Nothing was deleted.");
  }
  if (history_) {
    switch (*history_) {
      case RegStatus::kOk:
        lines.push_back(L"The list of typed addresses was cleared.");
        break;
      case RegStatus::kNotFound:
        break;
      case RegStatus::kAccessDenied:
        lines.push_back(
            L"The list of typed addresses could not be deleted: you have no permission to change "
            L"it.");
        break;
      default:
        lines.push_back(L"The list of typed addresses could not be deleted.");
        break;
    }
  }

  std::wstring message(words_.headline);
  message += L"\n";
  for (const auto& line : lines) {
    message += L"\n" + line;
  }
  return message;
}

platform::MessageIcon CleanReport::Icon() const {
  // The plain success text stands alone, as it always has; anything left
  // behind is worth the user's attention.
  return Complete() ? platform::MessageIcon::kNone : platform::MessageIcon::kWarning;
}

}  // namespace quellnet::cleaners
