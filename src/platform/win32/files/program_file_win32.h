// Where this program's own file is.
#pragma once

#include <string>

namespace quellnet::platform::win32 {

// The full path of this program's file; empty when the system can't say.
std::wstring ProgramFilePath();

}  // namespace quellnet::platform::win32
