// Creates the Win32 implementation of each platform contract. Each factory is
// defined beside its implementation and makes its object or throws
// (std::bad_alloc); none returns null, so callers do not check.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include <windows.h>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/network.h"
#include "platform/registry.h"
#include "platform/service_control.h"
#include "platform/shell.h"
#include "platform/tray_icon.h"

namespace quellnet::platform::win32 {

std::unique_ptr<Registry> CreateRegistry();
// Waits `milliseconds` between two looks at a service; false to give up
// the wait (the program is ending).
using WaitFn = std::function<bool(DWORD milliseconds)>;
// The service control waits for a service through `wait`, so the window can
// go on answering meanwhile.
std::unique_ptr<ServiceControl> CreateServiceControl(WaitFn wait);
std::unique_ptr<FileSystem> CreateFileSystem();
std::unique_ptr<Shell> CreateShell(HWND owner);
std::unique_ptr<Network> CreateNetwork();
// `callback_message` is the private message the icon's notifications arrive
// on; `tip` the icon's tip, the program's title.
std::unique_ptr<TrayIcon> CreateTrayIcon(HWND window, UINT callback_message, HICON icon,
                                         std::wstring_view tip);
// The output of a run from the command line (console_win32.cpp).
std::unique_ptr<Console> CreateConsole();

}  // namespace quellnet::platform::win32
