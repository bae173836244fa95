// The folders the cleaners work in, held open by handle: listed with
// NtQueryDirectoryFile, their entries opened with NtOpenFile relative to the
// folder's handle without following a link, told apart by their own handles
// and deleted through them.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/win32/files/nt_file_calls_win32.h"

namespace quellnet::platform::win32 {

// Opens the folder at `extended`, a full path in its extended form
// ("\\?\C:\..."), wherever the links on the way and at its end lead. The
// folders opened through it behave as `behaviour` says this system does.
FsResult OpenFolderAt(const std::wstring& extended, const std::shared_ptr<NtBehaviour>& behaviour,
                      std::unique_ptr<Folder>& folder);

}  // namespace quellnet::platform::win32
