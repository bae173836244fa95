#include "cleaners/folder_safety.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "cleaners/tree_deletion.h"
#include "platform/path_text.h"

namespace quellnet::cleaners {
namespace paths = platform::paths;

namespace {

FolderVerdict Refuse(Refusal refusal, const std::wstring& path) {
  FolderVerdict verdict;
  verdict.refusal = refusal;
  verdict.path = path;
  return verdict;
}

FolderVerdict RefuseProtected(const std::wstring& given, const ProtectedFolder& guarded,
                              Relation relation) {
  FolderVerdict verdict = Refuse(Refusal::kProtected, given);
  verdict.guarded = guarded.name;
  verdict.relation = relation;
  return verdict;
}

// How `folder` stands to a protected folder, judged by the names alone.
std::optional<Relation> ByName(const std::wstring& folder, const ProtectedFolder& guarded) {
  if (paths::SamePath(folder, guarded.path)) {
    return Relation::kIs;
  }
  if (paths::IsBelow(guarded.path, folder)) {
    return Relation::kHolds;
  }
  if (guarded.reach == Reach::kAllInside && paths::IsBelow(folder, guarded.path)) {
    return Relation::kInside;
  }
  if (guarded.reach == Reach::kEachProfile && paths::IsBelow(folder, guarded.path)) {
    const std::wstring& own = guarded.own_profile;
    if (!own.empty() && (paths::SamePath(folder, own) || paths::IsBelow(folder, own))) {
      return std::nullopt;  // the user's own profile has rows of its own
    }
    return paths::SamePath(paths::Parent(folder), guarded.path) ? Relation::kIsProfile
                                                                : Relation::kInsideProfile;
  }
  return std::nullopt;
}

// The same, judged by what the folders really are: a link, a junction, a
// drive letter or a short name can lead to a protected folder, to a folder
// that holds one, or into one, under a name that looks harmless. The folder
// is judged by its chain, itself and the folders that really hold it; each
// protected folder by its own chain, read once, and each folder above them
// read once for all.
class ByIdentity {
 public:
  using Chain = std::vector<std::optional<platform::FileIdentity>>;

  ByIdentity(platform::Folder& folder, platform::FileSystem& files)
      : files_(files), chain_(folder.Chain(read_)) {
    if (chain_.empty()) {
      chain_.push_back(folder.Identity());
    }
  }

  std::optional<Relation> Of(const ProtectedFolder& guarded) {
    const Chain& protected_chain = ChainOf(guarded.path);
    if (protected_chain.empty() || !protected_chain.front()) {
      return std::nullopt;  // no folder there, so nothing to lose either
    }
    const platform::FileIdentity& protected_identity = *protected_chain.front();
    if (chain_.front() == protected_identity) {
      return Relation::kIs;
    }
    if (std::find(protected_chain.begin() + 1, protected_chain.end(), chain_.front()) !=
        protected_chain.end()) {
      return Relation::kHolds;
    }
    const auto inside = std::find(chain_.begin() + 1, chain_.end(), protected_identity);
    if (guarded.reach == Reach::kAllInside && inside != chain_.end()) {
      return Relation::kInside;
    }
    if (guarded.reach != Reach::kEachProfile) {
      return std::nullopt;
    }
    const Chain& own = ChainOf(guarded.own_profile);
    // A profile whose folder could not be opened is not known to be the
    // user's own, so it is taken for another user's.
    const auto is_own = [&](const std::optional<platform::FileIdentity>& profile) {
      return profile && !own.empty() && profile == own.front();
    };
    // The folder of the chain that lies directly in the profiles folder is
    // a profile; anything but the user's own is another user's.
    if (inside == chain_.end() || is_own(*(inside - 1))) {
      return std::nullopt;
    }
    return inside - 1 == chain_.begin() ? Relation::kIsProfile : Relation::kInsideProfile;
  }

 private:
  const Chain& ChainOf(const std::wstring& path) {
    const auto known = chains_.find(path);
    if (known != chains_.end()) {
      return known->second;
    }
    std::unique_ptr<platform::Folder> folder;
    Chain chain;
    if (!path.empty() && files_.OpenFolder(path, folder).status == platform::FsStatus::kOk) {
      chain = folder->Chain(read_);
    }
    return chains_[path] = std::move(chain);
  }

  platform::FileSystem& files_;
  // Declared before chain_, which is read through it.
  platform::Folder::ReadParents read_;
  // The folder's identity, then its real parents', up to its root.
  Chain chain_;
  std::map<std::wstring, Chain> chains_;
};

// Opens the folder at the full path `full` itself: through the folder that
// holds it, which lists it, so that a link at its end is seen as one and not
// followed. `type` tells what the listing showed.
platform::FsResult OpenItself(platform::FileSystem& files, const std::wstring& full,
                              std::unique_ptr<platform::Folder>& folder,
                              platform::EntryType& type) {
  std::unique_ptr<platform::Folder> parent;
  std::vector<platform::Entry> entries;
  platform::FsResult result = files.OpenFolder(paths::Parent(full), parent);
  if (result.status == platform::FsStatus::kOk) {
    result = parent->List(entries);
  }
  if (result.status != platform::FsStatus::kOk) {
    return result;
  }
  const platform::Entry* entry = Named(entries, full.substr(full.rfind(L'\\') + 1));
  if (entry == nullptr || !entry->type.folder) {
    return {platform::FsStatus::kNotFound};  // a file is no folder to empty
  }
  type = entry->type;
  return type.link ? platform::FsResult{} : OpenListed(*parent, *entry, folder);
}

// Of all the protected folders a location meets, the one that says most
// plainly why it is refused: being or holding one comes before lying inside
// one, and of the folders it lies inside the innermost ("the Windows system
// folder", not "the Windows folder").
template <typename Judge>
std::optional<FolderVerdict> Closest(const std::wstring& given,
                                     const std::vector<ProtectedFolder>& guarded, Judge judge) {
  const ProtectedFolder* best = nullptr;
  Relation best_relation = Relation::kIs;
  for (const ProtectedFolder& folder : guarded) {
    const std::optional<Relation> relation = judge(folder);
    if (relation && (best == nullptr || *relation < best_relation ||
                     (*relation == best_relation && relation == Relation::kInside &&
                      folder.path.size() > best->path.size()))) {
      best = &folder;
      best_relation = *relation;
    }
  }
  if (best == nullptr) {
    return std::nullopt;
  }
  return RefuseProtected(given, *best, best_relation);
}

// Whether the path `form` is a whole drive or share, or no full path.
std::optional<Refusal> RootOrPartial(const std::wstring& form) {
  if (paths::IsDriveRoot(form)) {
    return Refusal::kDriveRoot;
  }
  if (paths::IsShareRoot(form)) {
    return Refusal::kShareRoot;
  }
  if (!paths::IsFullPath(form)) {
    return Refusal::kNotFullPath;
  }
  return std::nullopt;
}

// The refusals that the text of `path` decides: no path, no full path, a
// whole drive or share, before and after "." and ".." are resolved (".."
// can climb from a harmless-looking path to a root). Otherwise `full` is
// its full canonical form.
std::optional<FolderVerdict> RefuseByText(const std::wstring& path, platform::FileSystem& files,
                                          std::wstring& full) {
  if (path.empty()) {
    return Refuse(Refusal::kEmpty, path);
  }
  const std::wstring given = paths::Plain(path);
  if (paths::IsDevicePath(given)) {
    return Refuse(Refusal::kNotFullPath, path);
  }
  const std::wstring plain = paths::LocalPathOfAdminShare(given, files.ComputerName());
  if (const auto refusal = RootOrPartial(plain)) {
    return Refuse(*refusal, path);
  }
  full = files.FullPath(plain).value_or(L"");
  if (const auto refusal = RootOrPartial(full)) {
    return Refuse(*refusal, path);
  }
  return std::nullopt;
}

// The refusal that what the folder at `full` really is decides: judged by
// the folder itself once it is open, or for a link by where it leads; the
// link itself is never emptied. The folder is opened into `checked`.
std::optional<FolderVerdict> RefuseByIdentity(const std::wstring& path, const std::wstring& full,
                                              const std::vector<ProtectedFolder>& guarded,
                                              platform::FileSystem& files, CheckedFolder& checked,
                                              bool& link) {
  platform::EntryType type;
  checked.opened = OpenItself(files, full, checked.folder, type);
  link = type.link;
  std::unique_ptr<platform::Folder> led_to;
  if (link) {
    files.OpenFolder(full, led_to);
  }
  platform::Folder* judged = link ? led_to.get() : checked.folder.get();
  if (judged == nullptr) {
    return std::nullopt;
  }
  ByIdentity identity(*judged, files);
  return Closest(path, guarded, [&](const ProtectedFolder& folder) { return identity.Of(folder); });
}

// The verdict on `path`; the folder it names opened into `checked` on the way.
FolderVerdict JudgeLocation(const std::wstring& path, BrowserFolder kind,
                            platform::FileSystem& files, CheckedFolder& checked) {
  std::wstring full;
  if (auto verdict = RefuseByText(path, files, full)) {
    return *verdict;
  }
  const std::vector<ProtectedFolder> guarded = ProtectedFolders(files);
  if (auto verdict = Closest(path, guarded,
                             [&](const ProtectedFolder& folder) { return ByName(full, folder); })) {
    return *verdict;
  }
  bool link = false;
  if (auto verdict = RefuseByIdentity(path, full, guarded, files, checked, link)) {
    return *verdict;
  }
  // Both must agree before anything goes: the table above, and the browser's
  // own name and place. The table is asked first only because its reason
  // ("is your Documents folder") tells the user more.
  if (link) {
    return Refuse(Refusal::kLink, path);
  }
  const auto profile = files.KnownFolderPath(platform::KnownFolder::kProfile);
  const auto full_profile = profile ? files.FullPath(*profile) : std::nullopt;
  if (!IsBrowsersOwn(kind, full, full_profile.value_or(L""))) {
    return Refuse(Refusal::kNotBrowsers, path);
  }
  FolderVerdict verdict;
  verdict.path = full;
  return verdict;
}

}  // namespace

const platform::Entry* Named(const std::vector<platform::Entry>& entries, std::wstring_view name) {
  const auto named =
      std::find_if(entries.begin(), entries.end(), [&](const platform::Entry& entry) {
        return paths::SamePath(entry.name, std::wstring(name));
      });
  return named == entries.end() ? nullptr : &*named;
}

CheckedFolder CheckFolder(const std::wstring& path, BrowserFolder kind,
                          platform::FileSystem& files) {
  CheckedFolder checked;
  checked.verdict = JudgeLocation(path, kind, files, checked);
  if (checked.verdict.refusal != Refusal::kNone) {
    checked.folder.reset();
  }
  return checked;
}

}  // namespace quellnet::cleaners
