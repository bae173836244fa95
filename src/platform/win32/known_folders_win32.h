// Where the system keeps the folders the cleaners must judge a location
// against, and the programs that hold a file open.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/file_system.h"

namespace quellnet::platform::win32 {

// The folder as the system names it for this user and machine; nullopt where
// it names none.
std::optional<std::wstring> KnownFolderPathOf(KnownFolder folder);

// The full path of this program's file; empty when the system can't say.
std::wstring ProgramFilePath();

// The programs that hold open the file that `file` holds (this one aside):
// which processes, as the file system tells (Vista and later), and what they
// are, as the Restart Manager tells (loaded from the system folder only when
// present); empty where the system can't tell.
std::vector<Holder> HoldersOfFile(HANDLE file);

}  // namespace quellnet::platform::win32
