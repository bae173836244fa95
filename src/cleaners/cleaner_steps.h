// The steps both cleaners take: find their folder through the registry and
// delete what lies in it, entry by entry, going on past any entry that stays.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cleaners/clean_report.h"
#include "cleaners/folder_safety.h"
#include "platform/file_system.h"
#include "platform/main_window.h"
#include "platform/registry.h"

namespace quellnet::cleaners {

// The per-user key whose values name the browser's folders.
inline constexpr std::wstring_view kShellFoldersKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Reads the folder named by `value_name` of the "Shell Folders" key and
// checks it. nullopt, with the reason in `report`, when the value could not
// be read; otherwise the verdict (refused or not).
std::optional<FolderVerdict> LocateFolder(platform::Registry& registry, platform::FileSystem& files,
                                          std::wstring_view value_name, CleanReport& report);

// Deletes each file (and link to a file) directly in `folder`.
void DeleteFilesIn(platform::FileSystem& files, const std::wstring& folder, CleanReport& report);
// Deletes each subfolder of `folder` with everything in it; a link to a
// folder is removed as a link.
void DeleteSubfoldersOf(platform::FileSystem& files, const std::wstring& folder,
                        CleanReport& report);

// Shows the run's one message, captioned with the application title.
void Tell(platform::MainWindow& window, const CleanReport& report);

}  // namespace quellnet::cleaners
