// Where the system keeps the folders the cleaners must judge a location
// against.
#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"

namespace quellnet::platform::win32 {

// The folder as the system names it for this user and machine; nullopt where
// it names none.
std::optional<std::wstring> KnownFolderPathOf(KnownFolder folder);

}  // namespace quellnet::platform::win32
