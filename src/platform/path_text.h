// Paths as text, below everything that takes paths apart: the extended
// prefix, the forms a full path takes, and Windows' way of comparing paths
// (without regard to case; a trailing separator names the same folder). No
// file system is asked.
#pragma once

#include <string>
#include <string_view>

namespace quellnet::platform::paths {

// The extended forms of a full path, "\\?\C:\..." and "\\?\UNC\server\...",
// which the system takes as they are (so entries deeper than MAX_PATH are
// reached like any other), and the ordinary forms.
inline constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
inline constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

bool StartsWith(std::wstring_view text, std::wstring_view prefix);
// Drops a "\\?\" or "\\?\UNC\" prefix ("UNC" in any case, as the system
// takes it); any other path comes back as it is.
std::wstring WithoutExtendedPrefix(const std::wstring& path);
// The extended form of a full path in its ordinary or extended form. The
// system takes such a path as it is, without resolving "." or "..", so
// callers pass canonical paths.
std::wstring WithExtendedPrefix(const std::wstring& path);
// Drops a "\\?\" or "\\?\UNC\" prefix and turns '/' into '\'.
std::wstring Plain(const std::wstring& path);
// "C:\..." or "\\server\share..."; everything else is relative to something.
bool IsFullPath(const std::wstring& plain);
bool IsDriveRoot(const std::wstring& plain);
// "\\server", "\\server\share", with or without a trailing separator.
bool IsShareRoot(const std::wstring& plain);
// "\\.\..." or "\\?\..." left after Plain: a device, not a folder path.
bool IsDevicePath(const std::wstring& plain);
// "\\localhost\C$\dir" (or this machine's name, or 127.0.0.1) -> "C:\dir":
// a drive's administrative share on this machine stands for the drive. Any
// other path comes back as it is.
std::wstring LocalPathOfAdminShare(const std::wstring& plain, const std::wstring& computer_name);
// Windows compares paths without regard to case; a trailing separator does
// not change which folder a path names.
bool SamePath(const std::wstring& a, const std::wstring& b);
// True when `inner` lies somewhere below `outer`.
bool IsBelow(const std::wstring& inner, const std::wstring& outer);
// The folder that holds `path`, or empty at a root: the cleaners' step up
// from a folder they judge, where a trailing separator names the same folder.
std::wstring Parent(const std::wstring& path);
// The folder part of a path as the system reports it (the program file's
// path, a profile's): everything before its last '\' or '/'.
// "C:\Program Files\Example\example.exe" -> "C:\Program Files\Example";
// a root keeps its separator ("C:\q.exe" -> "C:\", also after a "\\?\"
// prefix), so the result always names the folder, since "C:" alone would mean
// the drive's current folder. Empty when `path` has no folder.
std::wstring FolderOfPath(std::wstring_view path);

}  // namespace quellnet::platform::paths
