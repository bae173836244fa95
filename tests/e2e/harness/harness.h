// Drives the real quellnet.exe from a test program running beside it under
// Wine (or Windows): start it, find its window and controls, click, switch
// pages, press keys, answer its message boxes, read and preset the registry,
// and end it.
//
// Every wait has a timeout and every call into the other process goes through
// SendMessageTimeout or PostMessage, so a hung or crashed program fails the
// test instead of hanging it. A ProgramUnderTest ends its process when it goes
// out of scope, so a failing test never leaves a process behind.
//
// Each test program runs in its own copy of the Wine prefix, so tests of one
// program share the registry and the running processes only with each other;
// the fixture QuellnetTest (fixture.h) resets both before every test.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <winioctl.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "app/form1_ids.h"
#include "platform/win32/system/handles.h"
#include "platform/win32/window/private_messages.h"

namespace quellnet::e2e {

using Millis = std::chrono::milliseconds;
using platform::win32::UniqueKernelHandle;

// A search by FindFirstFileW, ended with FindClose.
struct FindHandleTraits : platform::win32::KernelHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { FindClose(h); }
};
using UniqueFindHandle = platform::win32::UniqueHandle<HANDLE, FindHandleTraits>;

// How long a test waits for the program to show, answer or reach a state.
// Generous, for a cold start under Wine on a machine kept busy by a parallel
// build; a program that really hangs still fails within it, and the whole
// test program within wine-exec.sh's limit.
inline constexpr Millis kDefaultTimeout{60000};
// How long a test waits to be sure something does NOT happen.
inline constexpr Millis kQuietPeriod{1000};

// The folder in the prefix that holds the program under test.
inline constexpr wchar_t kProgramDir[] = L"C:\\Quellnet";
inline constexpr wchar_t kOptionsKey[] = L"Software\\Quellnet\\Options";
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Quellnet";
// Where the cleaners find their folders.
inline constexpr wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A message to the program that is not answered within `within_ms` counts as
// hung: the answer is then `failed`. Not SMTO_ABORTIFHUNG: the system calls a
// window hung after a few seconds without a look at its queue, which a
// starting program on a busy machine can take.
inline DWORD_PTR Send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0,
                      DWORD_PTR failed = 0, UINT within_ms = 30000) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, within_ms, &result)
             ? result
             : failed;
}

// Polls `condition` until it holds (true) or `timeout` passes (false).
inline bool WaitUntil(const std::function<bool()>& condition, Millis timeout = kDefaultTimeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(Millis{20});
  }
  return true;
}

// Printable form of a wide text for assertion messages and the ASCII names
// of test files; other characters become "?".
inline std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) {
    narrow += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return narrow;
}

// ---------------------------------------------------------------- files

// Creates `folder` and its parents; true when it exists afterwards.
inline bool MakeFolders(const std::wstring& folder) {
  const int made = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  return made == ERROR_SUCCESS || made == ERROR_ALREADY_EXISTS;
}

inline bool WriteTextFile(const std::wstring& path, const std::string& content) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  file << content;
  file.close();
  return !file.fail();
}

// Everything below `folder` (links are listed, not entered), as paths
// relative to it ("\\sub\\file"), sorted.
inline std::vector<std::wstring> Contents(const std::wstring& folder,
                                          const std::wstring& below = {}) {
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW entry;
  const UniqueFindHandle find(
      FindFirstFileW((L"\\\\?\\" + folder + below + L"\\*").c_str(), &entry));
  for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.Get(), &entry)) {
    const std::wstring name = below + L"\\" + entry.cFileName;
    if (name == below + L"\\." || name == below + L"\\..") {
      continue;
    }
    found.push_back(name);
    if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
        FILE_ATTRIBUTE_DIRECTORY) {
      const std::vector<std::wstring> inner = Contents(folder, name);
      found.insert(found.end(), inner.begin(), inner.end());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

// The function `name` of the system library `library`, loaded already;
// nullptr where this system lacks it.
template <typename FunctionPointer>
FunctionPointer SystemFunction(const wchar_t* library, const char* name) {
  return reinterpret_cast<FunctionPointer>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(library), name)));
}

inline bool IsWine() {
  return SystemFunction<void (*)()>(L"ntdll.dll", "wine_get_version") != nullptr;
}

// The Linux path of a path on C: under Wine; empty outside Wine.
inline std::string UnixPath(const std::wstring& path) {
  const auto unix_name =
      SystemFunction<char*(CDECL*)(const wchar_t*)>(L"kernel32.dll", "wine_get_unix_file_name");
  char* name = unix_name != nullptr ? unix_name(path.c_str()) : nullptr;
  const std::string taken(name != nullptr ? name : "");
  HeapFree(GetProcessHeap(), 0, name);
  return taken;
}

// Starts the Linux program `program` ("\bin\ln", its path written the
// Windows way) under Wine. Wine does not let the handle of a Unix process tell
// when it ends: wait for its effect.
inline bool StartUnix(const std::string& program, const std::string& arguments) {
  std::string line = "\\\\?\\unix" + program + " " + arguments;
  STARTUPINFOA startup = {sizeof(startup)};
  PROCESS_INFORMATION process = {};
  // Nothing to close: Wine gives a Unix process no handle, and what it
  // leaves in hThread may be any handle of this process (closing it once
  // cost the registry its HKEY_CURRENT_USER).
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process) != FALSE;
}

// A junction (a mount-point reparse point, which needs no privilege) at the
// new folder `link`, leading to the folder `target`, a full path.
inline bool MakeJunction(const std::wstring& link, const std::wstring& target) {
  const std::wstring names = L"\\??\\" + target + L'\0' + target + L'\0';
  const auto size = static_cast<WORD>(target.size() * sizeof(wchar_t));
  // A REPARSE_DATA_BUFFER: the tag, the data's length, a reserved word, then
  // where the substitute name ("\??\C:\...") and the print name are and their lengths.
  std::vector<WORD> data = {LOWORD(IO_REPARSE_TAG_MOUNT_POINT), HIWORD(IO_REPARSE_TAG_MOUNT_POINT)};
  data.insert(data.end(),
              {WORD(8 + 2 * names.size()), 0, 0, WORD(size + 8), WORD(size + 10), size});
  data.insert(data.end(), names.begin(), names.end());
  if (!MakeFolders(link)) {
    return false;
  }
  const UniqueKernelHandle folder(
      CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  DWORD returned = 0;
  if (folder.IsValid() && DeviceIoControl(folder.Get(), FSCTL_SET_REPARSE_POINT, data.data(),
                                          2 * data.size(), nullptr, 0, &returned, nullptr)) {
    return true;
  }
  RemoveDirectoryW(link.c_str());  // not left behind as a plain folder
  return false;
}

// A link at `link` to the folder or file `target` (full paths on C:). Windows
// makes a junction to a folder, and a symbolic link to a file: unprivileged
// where developer mode allows it (SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE,
// Windows 10 1703 and later), else with the privilege the caller may hold.
// Wine makes neither, so there it is a symbolic link on the Linux side, which
// Wine shows as a reparse point when it leads to a folder and as a plain file
// otherwise.
inline bool MakeLink(const std::wstring& link, const std::wstring& target) {
  const auto create = SystemFunction<BOOLEAN(WINAPI*)(const wchar_t*, const wchar_t*, DWORD)>(
      L"kernel32.dll", "CreateSymbolicLinkW");
  if (IsWine()) {
    return StartUnix("\\bin\\ln", "-s \"" + UnixPath(target) + "\" \"" + UnixPath(link) + "\"") &&
           WaitUntil([&] { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; });
  }
  return PathIsDirectoryW(target.c_str())
             ? MakeJunction(link, target)
             : create != nullptr && (create(link.c_str(), target.c_str(), 0x2) ||
                                     create(link.c_str(), target.c_str(), 0));
}

// Renames each of the `folders` of `parent` aside and puts a link to
// `target` in its place, as another program may: here, or under Wine all in
// one shell on the Linux side. A folder that can't be renamed (it is being
// emptied) is left. False when a link could not be made.
inline bool SwapForLinks(const std::wstring& parent, const std::vector<std::wstring>& folders,
                         const std::wstring& target) {
  std::string swaps = "cd '" + UnixPath(parent) + "'";
  bool linked = true;
  for (const std::wstring& folder : folders) {
    const std::wstring at = parent + L"\\" + folder;
    linked = (IsWine() || !MoveFileW(at.c_str(), (at + L".moved").c_str()) ||
              MakeJunction(at, target)) &&
             linked;
    swaps += "; mv " + Narrow(folder) + " " + Narrow(folder) + ".moved && ln -s '" +
             UnixPath(target) + "' " + Narrow(folder);
  }
  const std::wstring done = target + L".swapped";
  return IsWine()
             ? StartUnix("\\bin\\sh", "-c \"" + swaps + "; touch '" + UnixPath(done) + "'\"") &&
                   WaitUntil([&] { return DeleteFileW(done.c_str()) != FALSE; })
             : linked;
}

// ---------------------------------------------------------------- registry, below
// HKEY_CURRENT_USER

struct RegistryValue {
  std::wstring key;
  std::wstring name;
  std::wstring text;  // stored as REG_SZ
};

// The text of a REG_SZ value stored with exactly one terminating NUL, counted
// in its size; nullopt when absent, of another type or sized otherwise.
inline std::optional<std::wstring> ReadUserString(const std::wstring& key,
                                                  const std::wstring& name) {
  wchar_t text[2048] = {};
  DWORD type = 0;
  DWORD size = sizeof text - sizeof(wchar_t);
  if (SHGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), &type, text, &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ || size != (std::wcslen(text) + 1) * sizeof(wchar_t)) {
    return std::nullopt;
  }
  return std::wstring(text);
}

// The message hooks the tests set on the program's thread
// (harness/thread_hooks.cpp), a library beside each test program, where the
// search for a library looks first.
inline constexpr wchar_t kThreadHooks[] = L"thread_hooks.dll";
using UniqueHook = std::unique_ptr<std::remove_pointer_t<HHOOK>, decltype(&UnhookWindowsHookEx)>;

// Sets on `thread` the hook that `watch`, an export of kThreadHooks, sets;
// empty when that fails.
inline UniqueHook HookThread(const char* watch, DWORD thread) {
  const auto set = reinterpret_cast<HHOOK (*)(DWORD)>(
      reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(kThreadHooks), watch)));
  return UniqueHook(set != nullptr ? set(thread) : nullptr, &UnhookWindowsHookEx);
}

// Creates the key when needed.
inline bool WriteString(const RegistryValue& value) {
  return SHSetValueW(HKEY_CURRENT_USER, value.key.c_str(), value.name.c_str(), REG_SZ,
                     value.text.c_str(),
                     static_cast<DWORD>((value.text.size() + 1) * 2)) == ERROR_SUCCESS;
}

// The screen's DPI for the programs started from now on: the user's
// "LogPixels", which Wine reads as each program starts.
inline bool SetScreenDpi(DWORD dpi) {
  return SHSetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi,
                     sizeof dpi) == ERROR_SUCCESS;
}

// Removes what one test may leave for the next: the program's options and
// its run-at-logon value.
inline void ResetProgramState() {
  SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Quellnet");
  SHDeleteValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName);
}

// ---------------------------------------------------------------- windows and controls

// Text by WM_GETTEXT (works across processes for every standard control).
inline std::wstring WindowText(HWND window) {
  std::wstring text(Send(window, WM_GETTEXTLENGTH) + 1, L'\0');
  text.resize(Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  return text;
}

// Clicks a button or check box the way the mouse does (BM_CLICK, posted:
// returns at once, so a handler that opens a message box cannot block the
// test). Wait for the effect with WaitUntil / WaitForMessageBox.
inline bool Click(HWND button) {
  return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

// The real mouse: moves the pointer to `at` (screen coordinates), then one
// input for each MOUSEEVENTF_ button flag there. The inputs go in one call
// and carry one time, so that a busy machine that delays this process
// between two of them cannot turn a double-click into two clicks.
inline bool Mouse(POINT at, std::initializer_list<DWORD> buttons) {
  const bool moved = SetCursorPos(at.x, at.y) != 0;
  std::vector<INPUT> inputs;
  const DWORD now = GetTickCount();
  for (DWORD button : buttons) {
    inputs.push_back({INPUT_MOUSE, {{0, 0, 0, button, now, 0}}});
  }
  return moved &&
         SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// The real keyboard: presses `keys` in order and lets them go in reverse, as
// a user holds Ctrl (and Shift) while pressing Tab; they reach the
// foreground window.
inline void PressKeys(const std::vector<BYTE>& keys) {
  for (BYTE key : keys) {
    keybd_event(key, 0, 0, 0);
  }
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
    keybd_event(*key, 0, KEYEVENTF_KEYUP, 0);
  }
}

// The control that has the keyboard focus in the thread of `window`.
inline HWND FocusOf(HWND window) {
  GUITHREADINFO info{sizeof info};
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                            : nullptr;
}

// The pixels of `source` in `rect`, row by row from the top, each 0x00RRGGBB;
// empty when they can't be read.
inline std::vector<DWORD> Pixels(HDC source, const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}};
  void* bits = nullptr;
  const platform::win32::UniqueGdiObject copy(
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const platform::win32::UniqueMemoryDc dc(CreateCompatibleDC(source));
  if (!copy || !dc || !SelectObject(dc.Get(), copy.Get()) ||
      !BitBlt(dc.Get(), 0, 0, width, height, source, rect.left, rect.top, SRCCOPY)) {
    return {};
  }
  std::vector<DWORD> pixels(width * height);
  std::transform(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + pixels.size(),
                 pixels.begin(), [](DWORD pixel) { return pixel & 0xFFFFFF; });
  return pixels;
}

// What `window` shows on the screen, frame and all.
inline std::vector<DWORD> ScreenPixels(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);  // failed, it is empty, and so are the pixels
  const HDC screen = GetDC(nullptr);
  const std::vector<DWORD> pixels = Pixels(screen, rect);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Makes the calling thread see window coordinates as the program's own
// pixels, not scaled to this process's DPI: per-monitor aware where the
// system knows that (Windows 10 1607 and later, and Wine).
inline void SeeUnscaledPixels() {
  const auto set =
      SystemFunction<void*(WINAPI*)(void*)>(L"user32.dll", "SetThreadDpiAwarenessContext");
  if (set != nullptr) {
    set(reinterpret_cast<void*>(-3));  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE
  }
}

// A structure in another process's memory, for messages whose parameter
// points to one (the system copies such parameters only for standard
// messages). Send copies `value` there, sends the message with its address
// and copies it back: the answer, or 0 when a copy failed.
template <typename T>
struct Remote {
  explicit Remote(HANDLE process, const T& value = {})
      : value(value),
        process(process),
        address(static_cast<T*>(
            VirtualAllocEx(process, nullptr, sizeof(T), MEM_COMMIT, PAGE_READWRITE))) {}
  ~Remote() { VirtualFreeEx(process, address, 0, MEM_RELEASE); }
  Remote(const Remote&) = delete;
  Remote& operator=(const Remote&) = delete;
  DWORD_PTR Send(HWND window, UINT message, WPARAM wparam) {
    const DWORD_PTR answer =
        address != nullptr && WriteProcessMemory(process, address, &value, sizeof(T), nullptr)
            ? e2e::Send(window, message, wparam, reinterpret_cast<LPARAM>(address))
            : 0;
    return ReadProcessMemory(process, address, &value, sizeof(T), nullptr) ? answer : 0;
  }
  T value;
  HANDLE process;
  T* address;
};

// The page the tab control shows, and switching pages as a user's choice
// does, with TCN_SELCHANGING and TCN_SELCHANGE.
inline int CurrentTab(HWND tab) {
  return static_cast<int>(Send(tab, TCM_GETCURSEL, 0, 0, static_cast<DWORD_PTR>(-1)));
}

inline bool SelectTab(HWND tab, int index) {
  Send(tab, TCM_SETCURFOCUS, index);
  return CurrentTab(tab) == index;
}

// A top-level window of that class (of any, for nullptr) that the process
// owns (a visible one when asked), or nullptr.
inline HWND WindowOf(DWORD process_id, const wchar_t* class_name, bool visible_only) {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, nullptr));) {
    DWORD owner = 0;
    wchar_t name[64] = {};
    GetWindowThreadProcessId(window, &owner);
    GetClassNameW(window, name, 64);
    if (owner == process_id && (class_name == nullptr || std::wcscmp(name, class_name) == 0) &&
        (!visible_only || IsWindowVisible(window))) {
      return window;
    }
  }
  return nullptr;
}

// ---------------------------------------------------------------- the notification area

// Shell_NotifyIcon on the program's icon (window + id 1, no other data). A
// NIM_MODIFY that changes nothing succeeds only for an icon that is there.
inline bool NotifyIcon(DWORD message, HWND window) {
  NOTIFYICONDATAW data{NOTIFYICONDATAW_V1_SIZE, window, platform::win32::kTrayIconId};
  return Shell_NotifyIconW(message, &data) != FALSE;
}

// An icon that the notification area shows: where it is on the screen and its tip.
struct ShownIcon {
  POINT centre;
  std::wstring tip;
};

// Wine's notification area draws its icons into its own window and gives
// each one a tooltip of its own, whose tool covers the icon while it is
// shown and nothing once it is gone. The tool's data must be in the area's
// process, since the system copies no structure for these messages.
inline std::vector<ShownIcon> ShownIcons() {
  std::vector<ShownIcon> icons;
  HWND area = FindWindowW(L"Shell_TrayWnd", nullptr);
  DWORD process_id = 0;
  GetWindowThreadProcessId(area, &process_id);
  const UniqueKernelHandle process(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id));
  struct Tool {
    TTTOOLINFOW info;
    wchar_t text[1024];  // the longest text a tooltip hands out
  };
  Remote<Tool> remote(process.Get());
  Tool& tool = remote.value;
  for (HWND tooltip = nullptr;
       area != nullptr && remote.address != nullptr &&
       (tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
    tool = {{sizeof tool.info, 0, nullptr, 0, {}, nullptr, remote.address->text}};
    if (GetWindow(tooltip, GW_OWNER) != area || remote.Send(tooltip, TTM_ENUMTOOLSW, 0) == 0) {
      continue;
    }
    remote.Send(tooltip, TTM_GETTEXTW, 1023);  // which answers nothing
    if (IsRectEmpty(&tool.info.rect)) {
      continue;
    }
    MapWindowPoints(area, nullptr, reinterpret_cast<POINT*>(&tool.info.rect), 2);
    tool.text[1023] = L'\0';
    icons.push_back({{(tool.info.rect.left + tool.info.rect.right) / 2,
                      (tool.info.rect.top + tool.info.rect.bottom) / 2},
                     tool.text});
  }
  return icons;
}

// ---------------------------------------------------------------- the program under test

// A message box (#32770 dialog) shown by a process.
struct MessageBoxInfo {
  HWND dialog = nullptr;
  std::wstring caption;
  std::wstring text;  // from the static control with id 0xFFFF
};

struct StartOptions {
  std::wstring folder = kProgramDir;
  std::vector<RegistryValue> presets;  // written to HKCU before the start
  // Start() also waits until the main window has been shown, which happens
  // only once its start-up code has run: it is visible, or already minimised
  // (hidden to the tray by a stored "HideOnStart" of 1).
  bool wait_for_window = true;
  std::wstring arguments;   // after the program's name, with their leading blank
  HANDLE output = nullptr;  // inherited as its output, when given
};

// Neither copied nor moved: it owns its process handle and ends the process.
class ProgramUnderTest {
 public:
  ~ProgramUnderTest() { Kill(); }

  // Writes the presets, starts folder\quellnet.exe with that folder as its
  // current directory and, unless told not to, waits for its main window.
  // False (with the reason in LastError()) when any of that fails.
  bool Start(const StartOptions& options = {}) {
    Kill();
    last_error_.clear();
    for (const RegistryValue& preset : options.presets) {
      if (!WriteString(preset)) {
        last_error_ = "could not preset " + Narrow(preset.key) + "\\" + Narrow(preset.name);
        return false;
      }
    }
    const std::wstring path = options.folder + L"\\quellnet.exe";
    std::wstring command_line = L"\"" + path + L"\"" + options.arguments;
    STARTUPINFOW startup{sizeof startup};
    startup.dwFlags = options.output != nullptr ? STARTF_USESTDHANDLES : 0;
    startup.hStdOutput = startup.hStdError = options.output;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr,
                        options.output != nullptr, 0, nullptr, options.folder.c_str(), &startup,
                        &info)) {
      last_error_ =
          "could not start " + Narrow(path) + " (error " + std::to_string(GetLastError()) + ")";
      return false;
    }
    CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    pid_ = info.dwProcessId;
    if (!options.wait_for_window) {
      return true;
    }
    // The window is created before its start-up code has run and shown after it.
    const auto shown = [&] {
      return main_window_ != nullptr && (IsWindowVisible(main_window_) || IsIconic(main_window_));
    };
    WaitUntil([&] {
      main_window_ = WindowOf(pid_, app::kForm1ClassName, false);
      return shown() || !IsRunning();
    });
    if (!shown()) {
      DWORD code = 0;
      last_error_ =
          IsRunning()
              ? "the main window was not shown"
              : "the program ended at start-up with exit code " +
                    std::to_string(GetExitCodeProcess(process_.Get(), &code) ? code : ~DWORD{0});
    } else if (WaitForInputIdle(process_.Get(), static_cast<DWORD>(kDefaultTimeout.count())) != 0) {
      last_error_ = "the program did not become idle";
    }
    return last_error_.empty();
  }

  DWORD Pid() const { return pid_; }
  HANDLE Process() const { return process_.Get(); }
  const std::string& LastError() const { return last_error_; }
  // The top-level window of class kForm1ClassName found by Start.
  HWND MainWindow() const { return main_window_; }
  // A control of the main window by its id (form1_ids.h).
  HWND Control(int id) const { return GetDlgItem(main_window_, id); }

  bool IsRunning() const {
    return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
  }
  // Waits for the process to end; true only when it ended with exit code 0.
  bool WaitForExit(Millis timeout = kDefaultTimeout) {
    DWORD exit_code = 1;
    return process_ &&
           WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) ==
               WAIT_OBJECT_0 &&
           GetExitCodeProcess(process_.Get(), &exit_code) && exit_code == 0;
  }
  // Asks the window to close (WM_CLOSE, posted) and waits for a clean end.
  bool Close() {
    return main_window_ != nullptr && PostMessageW(main_window_, WM_CLOSE, 0, 0) && WaitForExit();
  }
  // Ends the process at once (no-op when it has ended).
  void Kill() {
    if (IsRunning()) {
      TerminateProcess(process_.Get(), 1);
      WaitForSingleObject(process_.Get(), static_cast<DWORD>(kDefaultTimeout.count()));
    }
    process_.Reset();
    pid_ = 0;
    main_window_ = nullptr;
  }

  bool SelectPage(int index) const { return SelectTab(Control(app::kIdSSTab1), index); }
  std::optional<MessageBoxInfo> WaitForMessageBox(Millis timeout = kDefaultTimeout) const {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = WindowOf(pid_, L"#32770", true)) != nullptr; }, timeout)) {
      return std::nullopt;
    }
    return MessageBoxInfo{box, WindowText(box), WindowText(GetDlgItem(box, 0xFFFF))};
  }
  // Presses the box's OK button (or IDRETRY, IDCANCEL, ...) and waits until
  // the box is gone.
  static bool Answer(const MessageBoxInfo& box, int button = IDOK) {
    return PostMessageW(box.dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(box.dialog, button))) &&
           WaitUntil([&] { return !IsWindow(box.dialog); });
  }

 private:
  UniqueKernelHandle process_;
  DWORD pid_ = 0;
  HWND main_window_ = nullptr;
  std::string last_error_;
};

}  // namespace quellnet::e2e
