// The system's own words for what went wrong, for the messages that say why
// something stayed. Every message words a system error code here, whatever
// failed: a file, a registry key, a window.
#pragma once

#include <cstdint>
#include <string>

namespace quellnet::platform {

// A code the system gave for a failure (on Windows, a GetLastError code);
// 0 where it gave none.
using SystemError = std::uint32_t;

// The system's sentence for `code` in the user's language, on one line
// ("Access is denied."); "Error <code>." where the system has none.
std::wstring SystemErrorText(SystemError code);

}  // namespace quellnet::platform
