#include "platform/win32/folder_win32.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win32/file_identity_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/file_holders_win32.h"
#include "platform/win32/nt_file_calls_win32.h"

namespace quellnet::platform::win32 {
namespace {

class Win32Entry final : public OpenEntry {
 public:
  Win32Entry(UniqueKernelHandle handle, std::uint64_t volume)
      : handle_(std::move(handle)), volume_(volume) {}

  FsResult Show(Shown& shown) override { return ShowHandle(handle_.Get(), volume_, shown); }
  FsResult Remove() override { return DeleteThroughHandle(handle_.Get()); }

 private:
  UniqueKernelHandle handle_;
  std::uint64_t volume_;
};

class Win32Folder final : public Folder {
 public:
  // `holders` is shared by every folder opened through this one, so that a
  // whole run asks one Restart Manager session.
  Win32Folder(UniqueKernelHandle handle, FileIdentity identity,
              std::shared_ptr<FileHolders> holders)
      : handle_(std::move(handle)), identity_(identity), holders_(std::move(holders)) {}

  FsResult Show(Shown& shown) override {
    return ShowHandle(handle_.Get(), identity_.volume, shown);
  }
  FsResult Remove() override { return DeleteThroughHandle(handle_.Get()); }
  FileIdentity Identity() override { return identity_; }

  std::vector<std::optional<FileIdentity>> Chain() override {
    std::vector<std::optional<FileIdentity>> chain = {identity_};
    // The system's name less the path on the volume is the volume itself
    // ("\Device\HarddiskVolume2", under Wine "\??\C:"); each folder above
    // is opened by its full name there, below no link, and so lies on the
    // same volume.
    const std::optional<std::wstring> name = SystemName(handle_.Get());
    const std::wstring path = PathOnVolume(handle_.Get()).value_or(L"");
    if (!name || path.empty() || path[0] != L'\\' || name->size() < path.size() ||
        !SameName(std::wstring_view(*name).substr(name->size() - path.size()), path)) {
      return chain;
    }
    const std::wstring volume = name->substr(0, name->size() - path.size());
    for (std::size_t end = path.find_last_of(L'\\'); path.size() > 1 && end != std::wstring::npos;
         end = end == 0 ? std::wstring::npos : path.find_last_of(L'\\', end - 1)) {
      UniqueKernelHandle above;
      const std::wstring above_name = volume + (end == 0 ? L"\\" : path.substr(0, end));
      chain.push_back(
          NT_SUCCESS(OpenNt(nullptr, above_name, FILE_READ_ATTRIBUTES, FILE_DIRECTORY_FILE, above))
              ? IdentityOn(identity_.volume, above.Get())
              : std::nullopt);
    }
    return chain;
  }

  FsResult List(std::vector<Entry>& entries) override {
    return ListDirectory(handle_.Get(), entries);
  }

  // The entry is opened by name as before, whatever kind was listed; this
  // side does not tell kinds apart at the open, so every entry is looked at.
  FsResult Open(const std::wstring& name, const EntryType&,
                std::unique_ptr<OpenEntry>& entry) override {
    if (!IsPlainName(name)) {
      return {FsStatus::kFailed, ERROR_INVALID_NAME};
    }
    UniqueKernelHandle handle;
    const NTSTATUS status = OpenNt(handle_.Get(), name, DELETE | FILE_READ_ATTRIBUTES, 0, handle);
    if (!NT_SUCCESS(status)) {
      return ResultOf(status);
    }
    entry = std::make_unique<Win32Entry>(std::move(handle), identity_.volume);
    return {};
  }

  bool OpensEntriesAsThemselves() override { return false; }

  FsResult OpenFolder(const std::wstring& name, std::unique_ptr<Folder>& folder) override {
    if (!IsPlainName(name)) {
      return {FsStatus::kFailed, ERROR_INVALID_NAME};
    }
    UniqueKernelHandle handle;
    const NTSTATUS status =
        OpenNtWithout(handle_.Get(), name, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, DELETE,
                      FILE_DIRECTORY_FILE, handle);
    if (!NT_SUCCESS(status)) {
      return ResultOf(status);
    }
    const std::optional<FileIdentity> identity = IdentityOn(identity_.volume, handle.Get());
    if (!identity) {
      return LastResult();
    }
    folder = std::make_unique<Win32Folder>(std::move(handle), *identity, holders_);
    return {};
  }

  std::vector<Holder> HoldersOf(const std::wstring& name) override {
    // Asking takes no right a holder can refuse, so it lets the entry be
    // opened even when it lets nobody delete it.
    UniqueKernelHandle handle;
    if (!IsPlainName(name) ||
        !NT_SUCCESS(OpenNt(handle_.Get(), name, FILE_READ_ATTRIBUTES, 0, handle))) {
      return {};
    }
    return holders_->Of(handle.Get());
  }

 private:
  UniqueKernelHandle handle_;
  FileIdentity identity_;
  std::shared_ptr<FileHolders> holders_;
};

}  // namespace

FsResult OpenFolderAt(const std::wstring& extended, std::unique_ptr<Folder>& folder) {
  if (!NtFilesPresent()) {
    return {FsStatus::kFailed, ERROR_PROC_NOT_FOUND};
  }
  UniqueKernelHandle handle(
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
                                         std::make_shared<FileHolders>());
  return {};
}

}  // namespace quellnet::platform::win32
