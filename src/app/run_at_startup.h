// The run-at-logon entry: a value named by the application title under the
// current user's "Run" key, which Windows starts at every logon.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/shell.h"

namespace quellnet::app {

inline constexpr std::wstring_view kRunKeyPath =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Adds or replaces the entry (enable) or removes it. Its data is the
// executable's full path in double quotes, so a path with blanks can't be
// taken for a shorter one ("C:\Program.exe"). The key is only opened,
// never created. kOk when the entry is as asked afterwards (an entry that
// was not there needs no removal); otherwise it could not be written or
// removed, which the caller tells the user, with the system's code for why
// where it gave one.
platform::RegResult SetRunAtStartup(bool enable, platform::Registry& registry,
                                    platform::Shell& shell);

}  // namespace quellnet::app
