// Command-line remote control of a running quellnet.exe, for the scripts
// (run.sh, screenshots.sh) that cannot reach into Windows themselves.
//
//   quellnet_driver wait-window [seconds]  waits for the visible main window,
//                                          prints its rectangle as WxH+X+Y
//   quellnet_driver wait-running [seconds] waits for the main window, shown or
//                                          hidden in the tray
//   quellnet_driver select-page N          shows tab page N (0, 1, 2)
//   quellnet_driver close [seconds]        closes the window, waits for the end
//   quellnet_driver tick CAPTION           ticks the check box of that caption
//                                          (blanks around it ignored) on the
//                                          page shown, as a click does
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
using quellnet::platform::kForm1ClassName;

HWND FindVisibleMainWindow() {
  HWND window = FindWindowW(kForm1ClassName, nullptr);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

int Fail(const char* message) {
  std::fprintf(stderr, "%s\n", message);
  return 1;
}

int WaitWindow(Millis timeout) {
  HWND window = nullptr;
  if (!quellnet::e2e::WaitUntil([&] { return (window = FindVisibleMainWindow()) != nullptr; },
                                timeout)) {
    return Fail("no visible Quellnet window");
  }
  // Let the first paint finish before anyone looks at the window.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT rect{};
  if (!GetWindowRect(window, &rect)) {
    return Fail("cannot read the window's rectangle");
  }
  std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
              rect.top);
  return 0;
}

int WaitRunning(Millis timeout) {
  return quellnet::e2e::WaitUntil([] { return FindWindowW(kForm1ClassName, nullptr) != nullptr; },
                                  timeout)
             ? 0
             : Fail("no Quellnet window");
}

int SelectPage(int index) {
  HWND window = FindVisibleMainWindow();
  if (window == nullptr ||
      !quellnet::e2e::SelectTab(GetDlgItem(window, quellnet::platform::kIdSSTab1), index)) {
    return Fail("the page was not shown");
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
  return ended ? 0 : Fail("Quellnet did not end");
}

// The check box (or other button) of the main window with `caption`, blanks around its text
// ignored; nullptr when there is none.
HWND FindCheckBox(HWND window, const std::wstring& caption) {
  struct Search {
    const std::wstring& caption;
    HWND found;
  } search{caption, nullptr};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM context) -> BOOL {
        auto& search = *reinterpret_cast<Search*>(context);
        std::wstring text = quellnet::e2e::WindowText(child);
        const size_t first = text.find_first_not_of(L' ');
        const size_t last = text.find_last_not_of(L' ');
        text = first == std::wstring::npos ? L"" : text.substr(first, last - first + 1);
        if (text == search.caption && quellnet::e2e::ClassNameOf(child) == L"Button") {
          search.found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int Tick(const std::wstring& caption) {
  HWND window = FindVisibleMainWindow();
  HWND box = window != nullptr ? FindCheckBox(window, caption) : nullptr;
  if (box == nullptr) {
    return Fail("no such check box in a visible Quellnet window");
  }
  if (quellnet::e2e::CheckState(box) != BST_CHECKED && !quellnet::e2e::Click(box)) {
    return Fail("the click could not be sent");
  }
  return quellnet::e2e::WaitUntil([&] { return quellnet::e2e::CheckState(box) == BST_CHECKED; })
             ? 0
             : Fail("the check box did not become ticked");
}

int RecordArguments(int argc, wchar_t** argv) {
  std::wstring lines;
  for (int i = 3; i < argc; ++i) {
    lines += argv[i] + std::wstring(L"\n");
  }
  return quellnet::e2e::WriteTextFile(argv[2], quellnet::e2e::Narrow(lines))
             ? 0
             : Fail("cannot write the file");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const auto seconds = [&](int fallback) {
    return Millis(1000 * (argc > 2 ? _wtoi(argv[2]) : fallback));
  };
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  if (command == L"wait-window") {
    return WaitWindow(seconds(30));
  }
  if (command == L"wait-running") {
    return WaitRunning(seconds(30));
  }
  if (command == L"select-page" && argc == 3) {
    return SelectPage(_wtoi(argv[2]));
  }
  if (command == L"close") {
    return Close(seconds(15));
  }
  if (command == L"tick" && argc == 3) {
    return Tick(argv[2]);
  }
  if (command == L"record-args" && argc >= 3) {
    return RecordArguments(argc, argv);
  }
  std::fprintf(
      stderr,
      "usage: quellnet_driver wait-window [s] | wait-running [s] | select-page N | close [s] |"
      " tick CAPTION | record-args FILE ARG...\n");
  return 2;
}
