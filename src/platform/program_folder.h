// The folder part of the program file's full path, as Shell::ProgramFolder
// reports it. No Windows header here, so the unit tests can check it.
#pragma once

#include <string>
#include <string_view>

namespace quellnet::platform {

// "C:\Program Files\Example\example.exe" -> "C:\Program Files\Example";
// a file in a drive's root keeps the separator ("C:\q.exe" -> "C:\"), so the
// result always names the folder. An empty text when `path` has no folder.
inline std::wstring FolderOfPath(std::wstring_view path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring_view::npos) {
    return std::wstring();
  }
  std::wstring folder(path.substr(0, separator));
  // "C:" alone would mean the drive's current folder, not its root; the
  // same holds after a "\\?\" prefix. A leading separator alone is the root
  // of the current drive.
  if (folder.empty() || folder.back() == L':') {
    folder += path[separator];
  }
  return folder;
}

}  // namespace quellnet::platform
