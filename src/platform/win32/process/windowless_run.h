// A run of the program without any window, declared without a Windows header
// so that the composition root stays portable: the command line's work.
#pragma once

#include <functional>
#include <string_view>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/registry.h"

namespace quellnet::platform::win32 {

// What a run without a window may use; it lives until the run returns.
struct WindowlessParts {
  Registry& registry;
  FileSystem& files;
  Console& console;
  // Message boxes of no window, captioned with the program's title: only for
  // what the user asked to see and has no console to read it in.
  MessageBoxes& boxes;
};

// The work; returns the program's exit code.
using WindowlessWork = std::function<int(const WindowlessParts& parts)>;

// Runs `work` beside any running copy of the program: no window, no tray
// icon, and no hand-over to a copy that runs. `title` captions the boxes.
int RunWithoutWindow(std::wstring_view title, const WindowlessWork& work);

}  // namespace quellnet::platform::win32
