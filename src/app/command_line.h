// Quellnet's command line: one cleaner run without any window, for logon
// scripts and scheduled tasks. It recognises, refuses and deletes exactly
// as the buttons do, writes the text their message would show to the
// console it was started from, and tells how it went by its exit code.
#pragma once

#include <string_view>
#include <vector>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/registry.h"

namespace quellnet::app {

enum class Command {
  kOpenWindow,     // no argument: the program as usual
  kClearCache,     // "/ClearCache"
  kClearCookies,   // "/ClearCookies"
  kShowUsage,      // "/?"
  kNotUnderstood,  // anything else
};

// The exit codes of a run from the command line.
inline constexpr int kExitSuccess = 0;        // everything was deleted (or the usage shown)
inline constexpr int kExitLeft = 1;           // something was left
inline constexpr int kExitRefused = 2;        // the folder's location was refused or is unknown
inline constexpr int kExitNotUnderstood = 3;  // the command line was not understood
inline constexpr int kExitMissing = 4;        // the folder does not exist: nothing to delete

// What `arguments` (those after the program's name) ask for. One switch at
// most, in any letter case, with "/" or "-" before it.
Command ReadCommandLine(const std::vector<std::wstring_view>& arguments);

// What a run from the command line takes from the system.
struct CommandPlatform {
  platform::Registry& registry;
  platform::FileSystem& files;
  platform::Console& console;
  // Shows the usage text asked for with "/?" where there is no console.
  platform::MessageBoxes& boxes;
};

// Runs `command` (anything but kOpenWindow) to its end and returns the exit
// code. `arguments` are written back when they are not understood.
int RunCommand(Command command, const std::vector<std::wstring_view>& arguments,
               const CommandPlatform& platform);

}  // namespace quellnet::app
