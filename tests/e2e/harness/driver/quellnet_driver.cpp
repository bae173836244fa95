// Command-line remote control of a running quellnet.exe, for the scripts
// (run.sh, screenshots.sh, the package test) that cannot reach into Windows
// themselves.
//
//   quellnet_driver wait-window [seconds]  waits for the visible main window,
//                                          prints its rectangle as WxH+X+Y
//   quellnet_driver wait-running [seconds] waits for the main window, shown or
//                                          hidden in the tray once started
//   quellnet_driver select-page N          shows tab page N (0, 1, 2)
//   quellnet_driver close [seconds]        closes the window, waits for the end
//
// Exit code 0 on success, 1 on failure (with a message on stderr), 2 on wrong use.
#include <cstdio>
#include <cstdlib>

#include "harness.h"

namespace {

using namespace quellnet::e2e;
using quellnet::platform::kForm1ClassName;

// The main window once its start-up code has run, which shows it or hides it
// in the tray (minimised); with `visible_only`, only a shown one.
HWND MainWindow(bool visible_only = true) {
  HWND window = FindWindowW(kForm1ClassName, nullptr);
  return window != nullptr && (IsWindowVisible(window) || (!visible_only && IsIconic(window)))
             ? window
             : nullptr;
}

int Result(bool ok, const char* failure) {
  if (!ok) {
    std::fprintf(stderr, "%s\n", failure);
  }
  return ok ? 0 : 1;
}

// Lets the window finish painting before anyone looks at it.
void Paint(HWND window) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int WaitWindow(Millis timeout) {
  HWND window = nullptr;
  RECT rect{};
  if (!WaitUntil([&] { return (window = MainWindow()) != nullptr; }, timeout)) {
    return Result(false, "no visible Quellnet window");
  }
  Paint(window);
  if (!GetWindowRect(window, &rect)) {
    return Result(false, "cannot read the window's rectangle");
  }
  std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
              rect.top);
  return 0;
}

int Close(Millis timeout) {
  HWND window = MainWindow(false);
  if (window == nullptr) {
    return 0;
  }
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  quellnet::platform::win32::UniqueKernelHandle process(
      OpenProcess(SYNCHRONIZE, FALSE, process_id));
  return Result(
      process && PostMessageW(window, WM_CLOSE, 0, 0) &&
          WaitForSingleObject(process.Get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0,
      "Quellnet did not end");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The rectangle printed is in the screen's pixels whatever its DPI.
  quellnet::e2e::SeeUnscaledPixels();
  const auto seconds = [&](int fallback) {
    return Millis(1000 * (argc > 2 ? _wtoi(argv[2]) : fallback));
  };
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  if (command == L"wait-window") {
    return WaitWindow(seconds(30));
  }
  if (command == L"wait-running") {
    return Result(WaitUntil([] { return MainWindow(false) != nullptr; }, seconds(30)),
                  "no Quellnet window");
  }
  if (command == L"select-page" && argc == 3) {
    HWND window = MainWindow();
    const bool shown = window != nullptr &&
                       SelectTab(GetDlgItem(window, quellnet::platform::kIdSSTab1), _wtoi(argv[2]));
    if (shown) {
      Paint(window);
    }
    return Result(shown, "the page was not shown");
  }
  if (command == L"close") {
    return Close(seconds(15));
  }
  std::fprintf(stderr,
               "usage: quellnet_driver wait-window [s] | wait-running [s] | select-page N |"
               " close [s]\n");
  return 2;
}
