// Command-line remote control of a running quellnet.exe, for the scripts
// (run.sh, screenshots.sh) that cannot reach into Windows themselves.
//
//   quellnet_driver wait-window [seconds]  waits for the visible main window,
//                                          prints its rectangle as WxH+X+Y
//   quellnet_driver select-page N          shows tab page N (0, 1, 2)
//   quellnet_driver close [seconds]        closes the window, waits for the end
//   quellnet_driver record-args FILE ARG...
//                                          writes the ARGs, one a line, to FILE:
//                                          a stand-in handler that tests register
//                                          (e.g. for http links) to see what the
//                                          program asked the shell to open
//
// Exit code 0 on success, 1 on failure (with a message on stderr), 2 on wrong use.
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "harness.h"

namespace {

using quellnet::e2e::Millis;
using quellnet::platform::win32::kForm1ClassName;
using quellnet::platform::win32::kIdSSTab1;

HWND FindVisibleMainWindow() {
  HWND window = FindWindowW(kForm1ClassName, nullptr);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

Millis Seconds(int argc, wchar_t** argv, int index, int fallback) {
  return Millis(1000 * (argc > index ? _wtoi(argv[index]) : fallback));
}

int WaitWindow(Millis timeout) {
  HWND window = nullptr;
  if (!quellnet::e2e::WaitUntil([&] { return (window = FindVisibleMainWindow()) != nullptr; },
                                timeout)) {
    std::fprintf(stderr, "no visible Quellnet window\n");
    return 1;
  }
  // Let the first paint finish before anyone looks at the window.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT rect{};
  if (!GetWindowRect(window, &rect)) {
    std::fprintf(stderr, "cannot read the window's rectangle\n");
    return 1;
  }
  std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
              rect.top);
  return 0;
}

int SelectPage(int index) {
  HWND window = FindVisibleMainWindow();
  if (window == nullptr) {
    std::fprintf(stderr, "no visible Quellnet window\n");
    return 1;
  }
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  HANDLE process = OpenProcess(
      PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE,
      process_id);
  if (process == nullptr) {
    std::fprintf(stderr, "cannot open the Quellnet process\n");
    return 1;
  }
  const bool selected =
      quellnet::e2e::SelectTab(process, GetDlgItem(window, kIdSSTab1), index, Millis(10000));
  CloseHandle(process);
  if (!selected) {
    std::fprintf(stderr, "page %d was not shown\n", index);
    return 1;
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return 0;
}

int Close(Millis timeout) {
  HWND window = FindWindowW(kForm1ClassName, nullptr);
  if (window == nullptr) {
    return 0;
  }
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);
  PostMessageW(window, WM_CLOSE, 0, 0);
  const bool ended =
      process != nullptr &&
      WaitForSingleObject(process, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
  if (process != nullptr) {
    CloseHandle(process);
  }
  if (!ended) {
    std::fprintf(stderr, "Quellnet did not end\n");
    return 1;
  }
  return 0;
}

int RecordArguments(int argc, wchar_t** argv) {
  std::wstring lines;
  for (int i = 3; i < argc; ++i) {
    lines += argv[i];
    lines += L"\n";
  }
  if (!quellnet::e2e::WriteTextFile(argv[2], quellnet::e2e::Narrow(lines))) {
    std::fprintf(stderr, "cannot write %ls\n", argv[2]);
    return 1;
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wcscmp(argv[1], L"wait-window") == 0) {
    return WaitWindow(Seconds(argc, argv, 2, 30));
  }
  if (argc == 3 && std::wcscmp(argv[1], L"select-page") == 0) {
    return SelectPage(_wtoi(argv[2]));
  }
  if (argc >= 2 && std::wcscmp(argv[1], L"close") == 0) {
    return Close(Seconds(argc, argv, 2, 15));
  }
  if (argc >= 3 && std::wcscmp(argv[1], L"record-args") == 0) {
    return RecordArguments(argc, argv);
  }
  std::fprintf(stderr,
               "usage: quellnet_driver wait-window [s] | select-page N | close [s] |"
               " record-args FILE ARG...\n");
  return 2;
}
