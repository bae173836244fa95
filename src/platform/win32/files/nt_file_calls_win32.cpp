#include "platform/win32/files/nt_file_calls_win32.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <utility>

#include "platform/win32/system/optional_functions_win32.h"

namespace quellnet::platform::win32 {
namespace {

// The NTSTATUS values told apart here (ntstatus.h would clash with
// <windows.h>).
constexpr NTSTATUS kStatusNoMoreFiles = static_cast<NTSTATUS>(0x80000006);
constexpr NTSTATUS kStatusBufferOverflow = static_cast<NTSTATUS>(0x80000005);
constexpr NTSTATUS kStatusNotImplemented = static_cast<NTSTATUS>(0xC0000002);
constexpr NTSTATUS kStatusInvalidInfoClass = static_cast<NTSTATUS>(0xC0000003);
constexpr NTSTATUS kStatusInvalidParameter = static_cast<NTSTATUS>(0xC000000D);
constexpr NTSTATUS kStatusNoSuchFile = static_cast<NTSTATUS>(0xC000000F);
constexpr NTSTATUS kStatusAccessDenied = static_cast<NTSTATUS>(0xC0000022);
constexpr NTSTATUS kStatusDeletePending = static_cast<NTSTATUS>(0xC0000056);
constexpr NTSTATUS kStatusFileIsADirectory = static_cast<NTSTATUS>(0xC00000BA);
constexpr NTSTATUS kStatusNotSupported = static_cast<NTSTATUS>(0xC00000BB);
constexpr NTSTATUS kStatusNotADirectory = static_cast<NTSTATUS>(0xC0000103);
constexpr NTSTATUS kStatusCannotDelete = static_cast<NTSTATUS>(0xC0000121);

// The information classes used here, as the system numbers them.
constexpr auto kFileDirectoryInformation = static_cast<FILE_INFORMATION_CLASS>(1);
constexpr auto kFileBasicInformation = static_cast<FILE_INFORMATION_CLASS>(4);
constexpr auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);
constexpr auto kFileNameInformation = static_cast<FILE_INFORMATION_CLASS>(9);
constexpr auto kFileDispositionInformation = static_cast<FILE_INFORMATION_CLASS>(13);
constexpr auto kFileAttributeTagInformation = static_cast<FILE_INFORMATION_CLASS>(35);
constexpr auto kFileIdBothDirectoryInformation = static_cast<FILE_INFORMATION_CLASS>(37);
constexpr auto kFileDispositionInformationEx = static_cast<FILE_INFORMATION_CLASS>(64);
constexpr auto kObjectNameInformation = static_cast<OBJECT_INFORMATION_CLASS>(1);

// The parts of the listing records that are read; FileIdBothDirectoryInformation
// has the file's number (FileId) where FileDirectoryInformation, which every
// file system answers, has the name.
struct DirectoryRecord {
  ULONG next_entry_offset;
  ULONG file_index;
  LARGE_INTEGER times[4];
  LARGE_INTEGER end_of_file;
  LARGE_INTEGER allocation_size;
  ULONG attributes;
  ULONG name_length;  // in bytes
};
struct IdBothDirectoryRecord {
  DirectoryRecord base;
  ULONG ea_size;
  CCHAR short_name_length;
  WCHAR short_name[12];
  LARGE_INTEGER file_id;
};
constexpr std::size_t kDirectoryNameOffset = sizeof(DirectoryRecord);
constexpr std::size_t kIdBothNameOffset = sizeof(IdBothDirectoryRecord);
static_assert(kDirectoryNameOffset == 64 && kIdBothNameOffset == 104);

struct FileBasicInformation {
  LARGE_INTEGER times[4];
  ULONG attributes;
};
struct FileAttributeTagInformation {
  ULONG attributes;
  ULONG reparse_tag;
};
// Windows 10 1809 on: the name goes at once, even while another program
// holds the file open, and a read-only file goes too.
struct FileDispositionInformationEx {
  ULONG flags;
};
constexpr ULONG kDispositionDelete = 0x1;
constexpr ULONG kDispositionPosixSemantics = 0x2;
constexpr ULONG kDispositionIgnoreReadOnly = 0x10;

// A listing fills 64 KiB at a time: a few hundred entries per call.
constexpr ULONG kListingBuffer = 64 * 1024;

FsStatus StatusOf(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return FsStatus::kOk;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
      return FsStatus::kNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_WRITE_PROTECT:
      return FsStatus::kAccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    // A folder that still holds something after all its entries went: a
    // file deleted while another program keeps it open stays until closed.
    case ERROR_DIR_NOT_EMPTY:
      return FsStatus::kInUse;
    // STATUS_NAME_TOO_LONG: a path longer than the system can reach (Wine:
    // more than 4,096 bytes as a Unix path).
    case ERROR_FILENAME_EXCED_RANGE:
      return FsStatus::kTooLong;
    default:
      return FsStatus::kFailed;
  }
}

template <typename Information>
NTSTATUS Query(HANDLE handle, FILE_INFORMATION_CLASS type, Information& information) {
  IO_STATUS_BLOCK io;
  return Ntdll().nt_query_information_file(handle, &io, &information, sizeof information, type);
}

template <typename Information>
NTSTATUS Set(HANDLE handle, FILE_INFORMATION_CLASS type, Information& information) {
  IO_STATUS_BLOCK io;
  return Ntdll().nt_set_information_file(handle, &io, &information, sizeof information, type);
}

// A name the system answers into a buffer that it may find too small: a
// header, then the name.
template <typename Header, typename Ask>
std::optional<std::wstring> AskName(Ask ask) {
  std::vector<std::uint64_t> buffer(512);
  for (int tries = 0; tries < 2; ++tries) {
    ULONG needed = 0;
    const NTSTATUS status =
        ask(buffer.data(), static_cast<ULONG>(buffer.size() * sizeof buffer[0]), needed);
    if (NT_SUCCESS(status)) {
      return std::wstring(reinterpret_cast<const Header*>(buffer.data())->Name());
    }
    if (status != kStatusBufferOverflow && needed == 0) {
      return std::nullopt;
    }
    buffer.resize((needed != 0 ? needed : 64 * 1024 + 512) / sizeof buffer[0] + 1);
  }
  return std::nullopt;
}

struct FileNameHeader {
  ULONG length;
  WCHAR name[1];
  std::wstring_view Name() const { return {name, length / sizeof(WCHAR)}; }
};
struct ObjectNameHeader {
  UNICODE_STRING name;
  std::wstring_view Name() const { return {name.Buffer, name.Length / sizeof(WCHAR)}; }
};

void ReadRecords(const std::uint64_t* buffer, FILE_INFORMATION_CLASS type,
                 std::vector<Entry>& entries) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(buffer);
  const bool with_ids = type == kFileIdBothDirectoryInformation;
  for (std::size_t offset = 0;;) {
    const auto* record = reinterpret_cast<const DirectoryRecord*>(bytes + offset);
    const auto* name = reinterpret_cast<const wchar_t*>(
        bytes + offset + (with_ids ? kIdBothNameOffset : kDirectoryNameOffset));
    std::wstring entry_name(name, record->name_length / sizeof(wchar_t));
    if (entry_name != L"." && entry_name != L"..") {
      const std::uint64_t index =
          with_ids ? static_cast<std::uint64_t>(
                         reinterpret_cast<const IdBothDirectoryRecord*>(record)->file_id.QuadPart)
                   : 0;
      entries.push_back({std::move(entry_name),
                         {(record->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                          (record->attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0},
                         index});
    }
    if (record->next_entry_offset == 0) {
      return;
    }
    offset += record->next_entry_offset;
  }
}

}  // namespace

FsResult ResultOf(NTSTATUS status) {
  if (NT_SUCCESS(status)) {
    return {};
  }
  const auto to_error = Ntdll().rtl_nt_status_to_dos_error;
  const DWORD error = to_error != nullptr ? to_error(status) : ERROR_GEN_FAILURE;
  if (status == kStatusDeletePending) {
    return {FsStatus::kNotFound, error};  // going already
  }
  if (status == kStatusFileIsADirectory || status == kStatusNotADirectory) {
    return {FsStatus::kChanged, error};  // not the kind asked for
  }
  return {StatusOf(error), error};
}

FsResult LastResult() {
  const DWORD error = ::GetLastError();
  return {StatusOf(error), error};
}

bool NtFilesPresent() {
  const NtdllFunctions& nt = Ntdll();
  return nt.nt_open_file != nullptr && nt.nt_close != nullptr &&
         nt.nt_query_directory_file != nullptr && nt.nt_query_information_file != nullptr &&
         nt.nt_set_information_file != nullptr && nt.nt_query_object != nullptr;
}

void NtHandleTraits::Close(HANDLE h) {
  Ntdll().nt_close(h);
}

NtBehaviour ProbeNtBehaviour() {
  return {Ntdll().wine_get_version == nullptr, true};
}

NTSTATUS OpenNt(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG options,
                UniqueNtHandle& handle) {
  UNICODE_STRING text;
  text.Buffer = const_cast<PWSTR>(name.c_str());
  text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, root, nullptr);
  IO_STATUS_BLOCK io;
  return Ntdll().nt_open_file(handle.Receive(), access | SYNCHRONIZE, &attributes, &io, kShareAll,
                              options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT);
}

NTSTATUS OpenNtWithout(HANDLE root, const std::wstring& name, ACCESS_MASK access,
                       ACCESS_MASK optional, ULONG options, UniqueNtHandle& handle) {
  const NTSTATUS opened = OpenNt(root, name, access | optional, options, handle);
  return opened == kStatusAccessDenied ? OpenNt(root, name, access, options, handle) : opened;
}

std::optional<std::wstring> PathOnVolume(HANDLE handle) {
  return AskName<FileNameHeader>([&](void* buffer, ULONG size, ULONG& needed) {
    IO_STATUS_BLOCK io;
    const NTSTATUS status =
        Ntdll().nt_query_information_file(handle, &io, buffer, size, kFileNameInformation);
    needed =
        status == kStatusBufferOverflow
            ? static_cast<ULONG>(sizeof(ULONG) + reinterpret_cast<FileNameHeader*>(buffer)->length)
            : 0;
    return status;
  });
}

std::optional<std::wstring> SystemName(HANDLE handle) {
  return AskName<ObjectNameHeader>([&](void* buffer, ULONG size, ULONG& needed) {
    return Ntdll().nt_query_object(handle, kObjectNameInformation, buffer, size, &needed);
  });
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && ::_wcsnicmp(a.data(), b.data(), a.size()) == 0;
}

// A name that can only be one entry's: no separator, no wildcard, no "." or
// "..", nothing the system would read as more than a name. Wine lists Unix
// names that break these rules ("a*b", "back\slash").
bool IsPlainName(const std::wstring& name) {
  if (name.empty() || name == L"." || name == L"..") {
    return false;
  }
  constexpr std::wstring_view kNotInNames = L"\\/:*?\"<>|";
  return std::none_of(name.begin(), name.end(), [&](wchar_t c) {
    return c < 0x20 || std::find(kNotInNames.begin(), kNotInNames.end(), c) != kNotInNames.end();
  });
}

// The identity of what `handle` holds on the volume `volume`. Asking the
// volume too would cost more than all else (under Wine, a call to its mount
// manager); an entry opened through a folder, without following a link, is
// on that folder's volume.
std::optional<FileIdentity> IdentityOn(std::uint64_t volume, HANDLE handle) {
  LARGE_INTEGER index;
  if (!NT_SUCCESS(Query(handle, kFileInternalInformation, index))) {
    return std::nullopt;
  }
  return FileIdentity{volume, static_cast<std::uint64_t>(index.QuadPart)};
}

FsResult ShowHandle(HANDLE handle, std::uint64_t volume, Shown& shown) {
  FileAttributeTagInformation tag;
  LARGE_INTEGER index;
  NTSTATUS status = Query(handle, kFileAttributeTagInformation, tag);
  if (NT_SUCCESS(status)) {
    status = Query(handle, kFileInternalInformation, index);
  }
  if (!NT_SUCCESS(status)) {
    return ResultOf(status);
  }
  shown.type = {(tag.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                (tag.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0};
  shown.identity = {volume, static_cast<std::uint64_t>(index.QuadPart)};
  return {};
}

// Deletes what the handle holds once the last handle to it is closed; a
// read-only file is made writable first, through a second handle on the very
// same file (asked for only then, since most files are not read-only), and
// read-only again if it still can't go.
FsResult DeleteThroughHandle(HANDLE handle, NtBehaviour& behaviour) {
  if (behaviour.posix_deletion) {
    FileDispositionInformationEx disposition{kDispositionDelete | kDispositionPosixSemantics |
                                             kDispositionIgnoreReadOnly};
    const NTSTATUS status = Set(handle, kFileDispositionInformationEx, disposition);
    if (status != kStatusInvalidInfoClass && status != kStatusInvalidParameter &&
        status != kStatusNotImplemented && status != kStatusNotSupported) {
      return ResultOf(status);
    }
    behaviour.posix_deletion = false;
  }
  BOOLEAN remove = TRUE;
  NTSTATUS status = Set(handle, kFileDispositionInformation, remove);
  if (status != kStatusCannotDelete) {
    return ResultOf(status);
  }
  UniqueNtHandle writable;
  FileBasicInformation basic;
  if (!NT_SUCCESS(OpenNt(handle, L"", FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0, writable)) ||
      !NT_SUCCESS(Query(writable.Get(), kFileBasicInformation, basic)) ||
      (basic.attributes & FILE_ATTRIBUTE_READONLY) == 0) {
    return ResultOf(status);
  }
  const ULONG read_only = basic.attributes;
  basic = {};  // zero times leave them as they are
  basic.attributes = (read_only & ~FILE_ATTRIBUTE_READONLY) != 0
                         ? read_only & ~FILE_ATTRIBUTE_READONLY
                         : FILE_ATTRIBUTE_NORMAL;
  if (!NT_SUCCESS(Set(writable.Get(), kFileBasicInformation, basic))) {
    return ResultOf(status);
  }
  status = Set(handle, kFileDispositionInformation, remove);
  if (!NT_SUCCESS(status)) {
    // If this fails the file merely stays writable, which harms nothing.
    basic.attributes = read_only;
    Set(writable.Get(), kFileBasicInformation, basic);
  }
  return ResultOf(status);
}

FsResult DeleteByName(HANDLE root, const std::wstring& name, ULONG options,
                      NtBehaviour& behaviour) {
  UniqueNtHandle handle;
  if (!behaviour.posix_deletion) {
    const NTSTATUS status = OpenNt(root, name, DELETE, options | FILE_DELETE_ON_CLOSE, handle);
    // A read-only file can't be opened for deletion: it goes through its
    // handle below, which clears the attribute first.
    if (status != kStatusCannotDelete) {
      return ResultOf(status);
    }
  }
  const NTSTATUS status = OpenNt(root, name, DELETE, options, handle);
  return NT_SUCCESS(status) ? DeleteThroughHandle(handle.Get(), behaviour) : ResultOf(status);
}

FsResult ListDirectory(HANDLE folder, std::vector<Entry>& entries) {
  std::vector<std::uint64_t> buffer(kListingBuffer / sizeof(std::uint64_t));
  FILE_INFORMATION_CLASS type = kFileIdBothDirectoryInformation;
  for (bool first = true;;) {
    IO_STATUS_BLOCK io;
    const NTSTATUS status =
        Ntdll().nt_query_directory_file(folder, nullptr, nullptr, nullptr, &io, buffer.data(),
                                        kListingBuffer, type, FALSE, nullptr, first);
    if (status == kStatusNoMoreFiles || (first && status == kStatusNoSuchFile)) {
      return {};
    }
    if (first && type == kFileIdBothDirectoryInformation &&
        (status == kStatusInvalidInfoClass || status == kStatusInvalidParameter ||
         status == kStatusNotSupported || status == kStatusNotImplemented)) {
      // A file system that gives no numbers: the entries are then judged
      // by their kind alone.
      type = kFileDirectoryInformation;
      continue;  // from the start again
    }
    if (!NT_SUCCESS(status)) {
      return ResultOf(status);
    }
    ReadRecords(buffer.data(), type, entries);
    first = false;
  }
}

}  // namespace quellnet::platform::win32
