// Command-line remote control of a running quellnet.exe, for the scripts
// (run.sh, screenshots.sh, the package test) that cannot reach into Windows
// themselves.
//
//   quellnet_driver wait-window [seconds]  waits for the visible main window,
//                                          prints its rectangle as WxH+X+Y
//   quellnet_driver wait-running [seconds] waits for the main window, shown or
//                                          hidden in the tray once started
//   quellnet_driver select-page N          shows tab page N (0, 1, 2)
//   quellnet_driver minimize               minimises the shown window (into the tray)
//   quellnet_driver close [seconds]        closes the window, waits for the end
//
// Exit code 0 on success, 1 on failure (with a message on stderr), 2 on wrong use.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "harness.h"

namespace {

using namespace quellnet::e2e;

// The main window once its start-up code has run, which shows it or hides it
// in the tray (minimised); with `visible_only`, only a shown one.
HWND MainWindow(bool visible_only) {
  HWND window = FindWindowW(quellnet::app::kForm1ClassName, nullptr);
  return window != nullptr && (IsWindowVisible(window) || (!visible_only && IsIconic(window)))
             ? window
             : nullptr;
}

int Failed(const char* why) {
  std::fprintf(stderr, "%s\n", why);
  return 1;
}

// Lets the window finish painting before anyone looks at it.
void Paint(HWND window) {
  Send(window, WM_NULL);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The rectangle printed is in the screen's pixels whatever its DPI.
  SeeUnscaledPixels();
  const Millis timeout(1000 * (argc > 2 ? _wtoi(argv[2]) : 30));
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  HWND window = nullptr;
  RECT rect{};
  if (command == L"wait-window" || command == L"wait-running") {
    const bool visible_only = command == L"wait-window";
    if (!WaitUntil([&] { return (window = MainWindow(visible_only)) != nullptr; }, timeout)) {
      return Failed("no Quellnet window");
    }
    if (visible_only) {
      Paint(window);
      if (!GetWindowRect(window, &rect)) {
        return Failed("cannot read the window's rectangle");
      }
      std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                  rect.top);
    }
    return 0;
  }
  if (command == L"select-page" && argc == 3) {
    window = MainWindow(true);
    if (window == nullptr ||
        !SelectTab(GetDlgItem(window, quellnet::app::kIdSSTab1), _wtoi(argv[2]))) {
      return Failed("the page was not shown");
    }
    Paint(window);
    return 0;
  }
  if (command == L"minimize") {
    window = MainWindow(true);
    return window && !Send(window, WM_SYSCOMMAND, SC_MINIMIZE, 0, 1) ? 0 : Failed("not minimised");
  }
  if (command == L"close") {
    window = MainWindow(false);
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    const UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, process_id));
    const bool ended =
        window == nullptr || (process && PostMessageW(window, WM_CLOSE, 0, 0) &&
                              WaitForSingleObject(process.Get(), timeout.count()) == WAIT_OBJECT_0);
    return ended ? 0 : Failed("Quellnet did not end");
  }
  std::fputs("usage: quellnet_driver wait-window|wait-running|select-page|minimize|close\n",
             stderr);
  return 2;
}
