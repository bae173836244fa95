// What makes a file itself, as the system tells it of a handle: the serial
// number of its volume and its index there. The cleaners' folders and the
// installer's helper both recognise files by it.
#pragma once

#include <optional>

#include <windows.h>

#include "platform/file_system.h"

namespace quellnet::platform::win32 {

struct HandleIdentity {
  DWORD attributes = 0;  // FILE_ATTRIBUTE_DIRECTORY and the others
  FileIdentity identity;
};

// The identity and attributes of what `handle` holds (opened with at least
// FILE_READ_ATTRIBUTES); nullopt, with the system's code in GetLastError,
// when the system does not tell.
std::optional<HandleIdentity> IdentityOf(HANDLE handle);

}  // namespace quellnet::platform::win32
