#include "platform/win32/files/folder_win32.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win32/files/file_identity_win32.h"
#include "platform/win32/files/file_holders_win32.h"
#include "platform/win32/system/handles.h"
#include "platform/win32/files/nt_file_calls_win32.h"

namespace quellnet::platform::win32 {
namespace {

// What the folders opened through one another share: how the system's NT
// calls behave (found out once for the file system's whole run), and one
// Restart Manager session for the programs that hold their files.
struct FolderRun {
  explicit FolderRun(std::shared_ptr<NtBehaviour> found) : behaviour(std::move(found)) {}
  std::shared_ptr<NtBehaviour> behaviour;
  FileHolders holders;
};

// An entry opened to be looked at, then removed through its handle.
class Win32Entry final : public OpenEntry {
 public:
  Win32Entry(UniqueNtHandle handle, std::uint64_t volume, std::shared_ptr<FolderRun> run)
      : handle_(std::move(handle)), volume_(volume), run_(std::move(run)) {}

  FsResult Show(Shown& shown) override { return ShowHandle(handle_.Get(), volume_, shown); }
  FsResult Remove() override { return DeleteThroughHandle(handle_.Get(), *run_->behaviour); }

 private:
  UniqueNtHandle handle_;
  std::uint64_t volume_;
  std::shared_ptr<FolderRun> run_;
};

// A file where the system opens a link as itself: the open is put off till
// the removal, which it then carries (DeleteByName), so an ordinary file
// costs two or three NT calls in all. Looked at first, it is opened then.
class DeferredFile final : public OpenEntry {
 public:
  DeferredFile(std::shared_ptr<UniqueNtHandle> folder, std::uint64_t volume, std::wstring name,
               std::shared_ptr<FolderRun> run)
      : folder_(std::move(folder)), volume_(volume), name_(std::move(name)), run_(std::move(run)) {}

  FsResult Show(Shown& shown) override {
    if (!handle_) {
      const NTSTATUS status = OpenNt(folder_->Get(), name_, DELETE | FILE_READ_ATTRIBUTES,
                                     FILE_NON_DIRECTORY_FILE, handle_);
      if (!NT_SUCCESS(status)) {
        return ResultOf(status);
      }
    }
    return ShowHandle(handle_.Get(), volume_, shown);
  }
  FsResult Remove() override {
    return handle_ ? DeleteThroughHandle(handle_.Get(), *run_->behaviour)
                   : DeleteByName(folder_->Get(), name_, FILE_NON_DIRECTORY_FILE, *run_->behaviour);
  }

 private:
  std::shared_ptr<UniqueNtHandle> folder_;
  std::uint64_t volume_;
  std::wstring name_;
  std::shared_ptr<FolderRun> run_;
  UniqueNtHandle handle_;
};

class Win32Folder final : public Folder {
 public:
  // `run` is shared by every folder opened through this one, so that a
  // whole run probes the system once and asks one Restart Manager session.
  Win32Folder(UniqueNtHandle handle, FileIdentity identity, std::shared_ptr<FolderRun> run)
      : handle_(std::make_shared<UniqueNtHandle>(std::move(handle))),
        identity_(identity),
        run_(std::move(run)) {}

  FsResult Show(Shown& shown) override {
    return ShowHandle(handle_->Get(), identity_.volume, shown);
  }
  FsResult Remove() override { return DeleteThroughHandle(handle_->Get(), *run_->behaviour); }
  FileIdentity Identity() override { return identity_; }
  bool OpensEntriesAsThemselves() override {
    return run_->behaviour->opens_reparse_points_as_themselves;
  }

  std::vector<std::optional<FileIdentity>> Chain(ReadParents& read) override {
    std::vector<std::optional<FileIdentity>> chain = {identity_};
    // The system's name less the path on the volume is the volume itself
    // ("\Device\HarddiskVolume2", under Wine "\??\C:"); each folder above
    // is opened by its full name there, below no link, and so lies on the
    // same volume.
    const std::optional<std::wstring> name = SystemName(handle_->Get());
    const std::wstring path = PathOnVolume(handle_->Get()).value_or(L"");
    if (!name || path.empty() || path[0] != L'\\' || name->size() < path.size() ||
        !SameName(std::wstring_view(*name).substr(name->size() - path.size()), path)) {
      return chain;
    }
    const std::wstring volume = name->substr(0, name->size() - path.size());
    for (std::size_t end = path.find_last_of(L'\\'); path.size() > 1 && end != std::wstring::npos;
         end = end == 0 ? std::wstring::npos : path.find_last_of(L'\\', end - 1)) {
      const std::wstring above_name = volume + (end == 0 ? L"\\" : path.substr(0, end));
      const auto [known, unread] = read.try_emplace(above_name);
      if (unread) {
        UniqueNtHandle above;
        if (NT_SUCCESS(
                OpenNt(nullptr, above_name, FILE_READ_ATTRIBUTES, FILE_DIRECTORY_FILE, above))) {
          known->second = IdentityOn(identity_.volume, above.Get());
        }
      }
      chain.push_back(known->second);
    }
    return chain;
  }

  FsResult List(std::vector<Entry>& entries) override {
    return ListDirectory(handle_->Get(), entries);
  }

  FsResult Open(const std::wstring& name, const EntryType& listed,
                std::unique_ptr<OpenEntry>& entry) override {
    if (!IsPlainName(name)) {
      return {FsStatus::kFailed, ERROR_INVALID_NAME};
    }
    if (!listed.folder && run_->behaviour->opens_reparse_points_as_themselves) {
      entry = std::make_unique<DeferredFile>(handle_, identity_.volume, name, run_);
      return {};
    }
    UniqueNtHandle handle;
    const NTSTATUS status =
        OpenNt(handle_->Get(), name, DELETE | FILE_READ_ATTRIBUTES,
               listed.folder ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE, handle);
    if (!NT_SUCCESS(status)) {
      return ResultOf(status);
    }
    entry = std::make_unique<Win32Entry>(std::move(handle), identity_.volume, run_);
    return {};
  }

  FsResult OpenFolder(const std::wstring& name, std::unique_ptr<Folder>& folder) override {
    if (!IsPlainName(name)) {
      return {FsStatus::kFailed, ERROR_INVALID_NAME};
    }
    UniqueNtHandle handle;
    const NTSTATUS status =
        OpenNtWithout(handle_->Get(), name, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, DELETE,
                      FILE_DIRECTORY_FILE, handle);
    if (!NT_SUCCESS(status)) {
      return ResultOf(status);
    }
    const std::optional<FileIdentity> identity = IdentityOn(identity_.volume, handle.Get());
    if (!identity) {
      return LastResult();
    }
    folder = std::make_unique<Win32Folder>(std::move(handle), *identity, run_);
    return {};
  }

  std::vector<Holder> HoldersOf(const std::wstring& name) override {
    // Asking takes no right a holder can refuse, so it lets the entry be
    // opened even when it lets nobody delete it.
    UniqueNtHandle handle;
    if (!IsPlainName(name) ||
        !NT_SUCCESS(OpenNt(handle_->Get(), name, FILE_READ_ATTRIBUTES, 0, handle))) {
      return {};
    }
    return run_->holders.Of(handle.Get());
  }

 private:
  std::shared_ptr<UniqueNtHandle> handle_;  // shared with the files whose open is put off
  FileIdentity identity_;
  std::shared_ptr<FolderRun> run_;
};

}  // namespace

FsResult OpenFolderAt(const std::wstring& extended, const std::shared_ptr<NtBehaviour>& behaviour,
                      std::unique_ptr<Folder>& folder) {
  if (!NtFilesPresent()) {
    return {FsStatus::kFailed, ERROR_PROC_NOT_FOUND};
  }
  UniqueNtHandle handle(
      ::CreateFileW(extended.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                    kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) {
    return LastResult();
  }
  const std::optional<HandleIdentity> information = IdentityOf(handle.Get());
  if (!information) {
    return LastResult();
  }
  if ((information->attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return {FsStatus::kNotFound, ERROR_DIRECTORY};
  }
  folder = std::make_unique<Win32Folder>(std::move(handle), information->identity,
                                         std::make_shared<FolderRun>(behaviour));
  return {};
}

}  // namespace quellnet::platform::win32
