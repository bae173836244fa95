// The composition root: the Win32 side of the program runs the window and
// hands its parts to the application, which answers the window's events.
// wmain, not wWinMain, keeps this file free of Windows headers; the program
// is still a windowed one (linked with -municode -mwindows).
#include <memory>

#include "app/form1.h"
#include "platform/win32/program.h"

extern "C" int wmain(int, wchar_t**) {
  using namespace quellnet;
  return platform::win32::RunProgram([](const platform::win32::ProgramParts& parts) {
    return std::make_unique<app::Form1>(
        app::Form1Controls{parts.window, parts.chkmess, parts.chkStartup, parts.chkHideOnStart,
                           parts.Label2, parts.Text1, parts.Picture1},
        app::Form1Platform{parts.registry, parts.services, parts.files, parts.shell, parts.network,
                           parts.tray_icon});
  });
}
