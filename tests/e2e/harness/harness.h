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

#include <chrono>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/form1_ids.h"
#include "platform/win32/handles.h"

namespace quellnet::e2e {

using Millis = std::chrono::milliseconds;

// Long enough for a cold start under Wine on a busy machine.
inline constexpr Millis kDefaultTimeout{15000};
// How long a test waits to be sure something does NOT happen.
inline constexpr Millis kQuietPeriod{1000};

// The folder in the prefix that holds the program under test.
inline constexpr wchar_t kProgramDir[] = L"C:\\Quellnet";
inline constexpr wchar_t kOptionsKey[] = L"Software\\Quellnet\\Options";
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Quellnet";

// Polls `condition` until it holds (true) or `timeout` passes (false).
bool WaitUntil(const std::function<bool()>& condition, Millis timeout = kDefaultTimeout);

// ---------------------------------------------------------------- files

// Creates `folder` and its parents; true when it exists afterwards.
bool MakeFolders(const std::wstring& folder);
bool FileExists(const std::wstring& path);
bool WriteTextFile(const std::wstring& path, const std::string& content);
// Everything below `folder` (links are listed, not entered), as paths
// relative to it ("\\sub\\file"), sorted.
std::vector<std::wstring> Contents(const std::wstring& folder, const std::wstring& below = {});
// A symbolic link at `link` to the folder `target` (both on C:), made on the
// Linux side with "ln": Wine shows it to Windows programs as a reparse point.
// False outside Wine.
bool MakeUnixFolderLink(const std::wstring& link, const std::wstring& target);

// ---------------------------------------------------------------- registry, below
// HKEY_CURRENT_USER

struct RegistryValue {
  std::wstring key;
  std::wstring name;
  std::wstring text;  // stored as REG_SZ
};

// The text of a REG_SZ value; nullopt when absent or of another type.
std::optional<std::wstring> ReadUserString(const std::wstring& key, const std::wstring& name);
// Creates the key when needed.
bool WriteString(const RegistryValue& value);
// Deletes the key and all below it; true when it is absent afterwards.
bool DeleteUserKeyTree(const std::wstring& key);
// Removes what one test may leave for the next: the program's options and
// its run-at-logon value.
void ResetProgramState();

// ---------------------------------------------------------------- windows and controls

// Text by WM_GETTEXT (works across processes for every standard control).
std::wstring WindowText(HWND window);
// The check state (BST_UNCHECKED 0, BST_CHECKED 1, BST_INDETERMINATE 2), or
// -1 when the window did not answer.
int CheckState(HWND button);
// Clicks a button or check box the way the mouse does (BM_CLICK, posted:
// returns at once, so a handler that opens a message box cannot block the
// test). Wait for the effect with WaitUntil / WaitForMessageBox.
bool Click(HWND button);
// The real mouse, through SendInput: moves the pointer to `at` (screen
// coordinates), then one input for each MOUSEEVENTF_ button flag there.
bool Mouse(POINT at, std::initializer_list<DWORD> buttons);
// Posts WM_KEYDOWN/WM_KEYUP of `virtual_key` to `target`.
bool PressKey(HWND target, UINT virtual_key);
// Makes the calling thread see window coordinates as the program's own
// pixels, not scaled to this process's DPI: per-monitor aware where the
// system knows that (Windows 10 1607 and later, and Wine).
void SeeUnscaledPixels();
// Memory in another process, for messages whose parameter points to a
// structure (the system copies such parameters only for standard messages).
struct RemoteMemory {
  RemoteMemory(HANDLE process, size_t size)
      : process(process),
        address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~RemoteMemory() { VirtualFreeEx(process, address, 0, MEM_RELEASE); }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  bool Write(const void* data, size_t size) const {
    return address != nullptr && WriteProcessMemory(process, address, data, size, nullptr);
  }
  bool Read(void* data, size_t size) const {
    return address != nullptr && ReadProcessMemory(process, address, data, size, nullptr);
  }
  HANDLE process;
  void* address;
};
// The page the tab control shows, and switching pages with the arrow keys,
// which raises TCN_SELCHANGING and TCN_SELCHANGE as a user's choice does.
int CurrentTab(HWND tab);
bool SelectTab(HWND tab, int index);
// A top-level window of that class that the process owns (a visible one
// when asked), or nullptr.
HWND WindowOf(DWORD process_id, const wchar_t* class_name, bool visible_only);

// What a control shows, read from the screen: mostly green or mostly red
// pixels (more than 100 of one, fewer than 20 of the other), or neither.
enum class Shown { kNothing, kGreen, kRed };
Shown MostlyShown(HWND control);

// ---------------------------------------------------------------- the notification area

// Shell_NotifyIcon on the program's icon (window + id 1, no other data). A
// NIM_MODIFY that changes nothing succeeds only for an icon that is there.
bool NotifyIcon(DWORD message, HWND window);
// An icon that the notification area shows: where it is on the screen and its tip.
struct ShownIcon {
  POINT centre;
  std::wstring tip;
};
std::vector<ShownIcon> ShownIcons();

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
};

class ProgramUnderTest {
 public:
  ProgramUnderTest() = default;
  ~ProgramUnderTest() { Kill(); }
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

  // Writes the presets, starts folder\quellnet.exe with that folder as its
  // current directory and, unless told not to, waits for its main window.
  // False (with the reason in LastError()) when any of that fails.
  bool Start(const StartOptions& options = {});

  DWORD Pid() const { return pid_; }
  HANDLE Process() const { return process_.Get(); }
  const std::string& LastError() const { return last_error_; }
  // The top-level window of class kForm1ClassName found by Start.
  HWND MainWindow() const { return main_window_; }
  // A control of the main window by its id (form1_ids.h).
  HWND Control(int id) const { return GetDlgItem(main_window_, id); }

  bool IsRunning() const;
  // Waits for the process to end; true only when it ended with exit code 0.
  bool WaitForExit(Millis timeout = kDefaultTimeout);
  // Asks the window to close (WM_CLOSE, posted) and waits for a clean end.
  bool Close();
  // Ends the process at once (no-op when it has ended).
  void Kill();

  bool SelectPage(int index) const { return SelectTab(Control(platform::kIdSSTab1), index); }
  int CurrentPage() const { return CurrentTab(Control(platform::kIdSSTab1)); }
  std::optional<MessageBoxInfo> WaitForMessageBox(Millis timeout = kDefaultTimeout) const;
  // Presses the box's OK button and waits until the box is gone.
  static bool Answer(const MessageBoxInfo& box);

 private:
  platform::win32::UniqueKernelHandle process_;
  DWORD pid_ = 0;
  HWND main_window_ = nullptr;
  std::string last_error_;
};

// Printable form of a wide text for assertion messages and the ASCII names
// of test files; other characters become "?".
std::string Narrow(const std::wstring& text);

}  // namespace quellnet::e2e
