// The NT file calls the cleaners' folders are made of (folder_win32.cpp),
// each one call through the table of optional functions: an entry opened
// relative to its folder's handle, a folder listed through its handle, what
// a handle shows, a deletion through it, the names the system gives it, and
// how its answers stand for the contract's.
#pragma once

#include <windows.h>

// After <windows.h>.
#include <winternl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/system/handles.h"

namespace quellnet::platform::win32 {

// A handle an NT call opened, closed with NtClose: one call, as the system's
// own CloseHandle makes it.
struct NtHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h);
};
using UniqueNtHandle = UniqueHandle<HANDLE, NtHandleTraits>;

// What this system's NT calls were found to do, found out once per run and
// shared by every folder of the run.
struct NtBehaviour {
  // Whether FILE_OPEN_REPARSE_POINT opens a link as the link itself
  // (Windows); Wine follows a symbolic link whatever it is asked.
  bool opens_reparse_points_as_themselves = false;
  // Whether the POSIX disposition (Windows 10 1809 on) is taken: until the
  // first deletion finds the system turns it down.
  bool posix_deletion = true;
};
// How this system opens links. Wine's ntdll exports wine_get_version, its
// documented way of telling a program it runs under Wine; no Windows has it.
// A probe needs no link present and costs one look-up, where opening a link
// made for the purpose would cost a folder, a link and their removal on
// every run.
NtBehaviour ProbeNtBehaviour();

// Every handle shares everything: the cleaners never keep another program
// from its files, and a file another program shares no deletion with stays.
inline constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Whether this system's ntdll has every call below (every Windows from XP on).
bool NtFilesPresent();
FsResult ResultOf(NTSTATUS status);
// The last Win32 error, as a result.
FsResult LastResult();

// Opens `name`, relative to the folder `root` or, without one, a full NT
// path; a link is opened as itself where the system can.
NTSTATUS OpenNt(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG options,
                UniqueNtHandle& handle);
// Opens with `access`, or without `optional` where the user may not have it
// all.
NTSTATUS OpenNtWithout(HANDLE root, const std::wstring& name, ACCESS_MASK access,
                       ACCESS_MASK optional, ULONG options, UniqueNtHandle& handle);
// A name that can only be one entry's: no separator, no wildcard, no "." or
// "..". Wine lists Unix names that break these rules ("a*b", "back\slash").
bool IsPlainName(const std::wstring& name);

// Every entry of the folder `folder` holds, "." and ".." left out.
FsResult ListDirectory(HANDLE folder, std::vector<Entry>& entries);
// The identity of what `handle` holds, on the volume `volume`.
std::optional<FileIdentity> IdentityOn(std::uint64_t volume, HANDLE handle);
// What the handle shows: its kind from its attributes, and its number on
// the volume `volume`, that of the folder it was opened through.
FsResult ShowHandle(HANDLE handle, std::uint64_t volume, Shown& shown);
// Deletes what the handle holds once the last handle to it is closed, a
// read-only file too: with the POSIX disposition that also ignores the
// read-only attribute where `behaviour` says the system takes it, else with
// the plain one after clearing the attribute.
FsResult DeleteThroughHandle(HANDLE handle, NtBehaviour& behaviour);
// Deletes the entry `name` of the folder `root`, opened as itself with
// `options` (FILE_NON_DIRECTORY_FILE, say): where the POSIX disposition is
// taken, open, disposition, close; elsewhere the open itself carries the
// deletion (FILE_DELETE_ON_CLOSE) and the close carries it out.
FsResult DeleteByName(HANDLE root, const std::wstring& name, ULONG options, NtBehaviour& behaviour);

// The path of what `handle` holds on its volume ("\Users\Bob"), as the file
// system tells it: after every link on the way.
std::optional<std::wstring> PathOnVolume(HANDLE handle);
// Its full name in the system's namespace ("\Device\HarddiskVolume2\Users\Bob").
std::optional<std::wstring> SystemName(HANDLE handle);
// Names as the file system tells them, which differ in case at most.
bool SameName(std::wstring_view a, std::wstring_view b);

}  // namespace quellnet::platform::win32
