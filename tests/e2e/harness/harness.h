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
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/form1_ids.h"

namespace quellnet::e2e {

using Millis = std::chrono::milliseconds;

// Long enough for a cold start under Wine on a busy machine.
inline constexpr Millis kDefaultTimeout{15000};
// How long a test waits to be sure something does NOT happen.
inline constexpr Millis kQuietPeriod{1000};

inline constexpr wchar_t kProgramFileName[] = L"quellnet.exe";
inline constexpr wchar_t kOptionsKey[] = L"Software\\Quellnet\\Options";
inline constexpr wchar_t kQuellnetKey[] = L"Software\\Quellnet";
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Quellnet";

// ---------------------------------------------------------------- waiting

// Polls `condition` until it holds (true) or `timeout` passes (false).
bool WaitUntil(const std::function<bool()>& condition, Millis timeout = kDefaultTimeout,
               Millis poll = Millis{20});

// ---------------------------------------------------------------- files

// The folder in the prefix that holds the program under test: C:\Quellnet, or
// the environment variable QUELLNET_E2E_PROGRAM_DIR.
std::wstring ProgramDir();

// Copies quellnet.exe and the files beside it (the status pictures) from
// ProgramDir() into `folder`, creating it. For tests that need the program in
// a folder of their own, e.g. one without its pictures.
bool CopyProgramTo(const std::wstring& folder);

// Creates `folder` and its parents; true when it exists afterwards.
bool MakeFolders(const std::wstring& folder);
bool FileExists(const std::wstring& path);
bool WriteTextFile(const std::wstring& path, const std::string& content);
std::optional<std::string> ReadTextFile(const std::wstring& path);
// Deletes a folder with everything in it; true when it is gone afterwards.
bool DeleteTree(const std::wstring& folder);

// ---------------------------------------------------------------- registry (HKCU)

struct RegistryValue {
  std::wstring key;  // below HKEY_CURRENT_USER
  std::wstring name;
  std::wstring text;  // stored as REG_SZ
};

// The text of a REG_SZ/REG_EXPAND_SZ value; nullopt when absent or of another type.
std::optional<std::wstring> ReadUserString(const std::wstring& key, const std::wstring& name);
// True when the value exists, whatever its type.
bool UserValueExists(const std::wstring& key, const std::wstring& name);
bool WriteUserString(const std::wstring& key, const std::wstring& name, const std::wstring& text);
bool WriteUserDword(const std::wstring& key, const std::wstring& name, DWORD value);
// A REG_SZ value below HKEY_LOCAL_MACHINE (the prefix is the test's own, and
// Wine gives every program write access there), e.g. a URL handler under
// Software\Classes\http\shell\open\command.
bool WriteMachineString(const std::wstring& key, const std::wstring& name,
                        const std::wstring& text);
// True when the value is absent afterwards.
bool DeleteUserValue(const std::wstring& key, const std::wstring& name);
// Deletes the key and all below it; true when it is absent afterwards.
bool DeleteUserKeyTree(const std::wstring& key);

// A stored option of the program ("StartUp", "HideOnStart", "mess").
inline std::optional<std::wstring> ReadOption(const std::wstring& name) {
  return ReadUserString(kOptionsKey, name);
}
inline bool WriteOption(const std::wstring& name, const std::wstring& text) {
  return WriteUserString(kOptionsKey, name, text);
}

// ---------------------------------------------------------------- processes

// Ends every running process whose file name is `exe_name` (e.g. L"quellnet.exe")
// and waits for them to be gone. Returns how many were ended.
int KillProcessesNamed(const std::wstring& exe_name);

// Removes what one test may leave for the next: running copies of the
// program, its options key and its run-at-logon value.
void ResetProgramState();

// ---------------------------------------------------------------- windows and controls

// Text by WM_GETTEXT (works across processes for every standard control).
std::wstring WindowText(HWND window);
std::wstring ClassNameOf(HWND window);
// The window's rectangle in the client coordinates of `reference`.
RECT RectIn(HWND window, HWND reference);
// The check state (BST_UNCHECKED 0, BST_CHECKED 1, BST_INDETERMINATE 2), or
// nullopt when the window did not answer.
std::optional<int> CheckState(HWND button);
LONG StyleOf(HWND window);
LONG ExStyleOf(HWND window);

// Clicks a button or check box the way the mouse does (BM_CLICK, posted:
// returns at once, so a handler that opens a message box cannot block the
// test). Wait for the effect with WaitUntil / WaitForMessageBox.
bool Click(HWND button);
// Posts a left mouse click at `point` (client coordinates of `window`).
bool ClickAt(HWND window, POINT point);

// A real left click of the mouse at `point` (client coordinates of `window`),
// through SendInput: the window under that point gets it, exactly as a
// user's click. The window must not be covered there.
bool MouseClickAt(HWND window, POINT point);

// Keyboard: posts WM_KEYDOWN/WM_KEYUP of `virtual_key` to `target`.
bool PressKey(HWND target, UINT virtual_key);

// The tab control: item count, the page shown, the tab captions (read through
// memory allocated in the program's process), and switching pages by a mouse
// click on the tab, which raises TCN_SELCHANGING/TCN_SELCHANGE as a user's
// click does. SelectTab waits until the page is shown.
int TabCount(HWND tab);
int CurrentTab(HWND tab);
std::optional<std::wstring> TabCaption(HANDLE process, HWND tab, int index);
std::optional<RECT> TabItemRect(HANDLE process, HWND tab, int index);
bool SelectTab(HANDLE process, HWND tab, int index, Millis timeout = kDefaultTimeout);

// The window's pixels as the screen shows them now, row by row from the top
// left (COLORREF values, RGB()); empty on failure. Covered parts show what
// covers them.
std::vector<COLORREF> ScreenPixelsOf(HWND window);

// Keyboard focus of the thread that owns `window` (nullptr when none).
HWND FocusOf(HWND window);
// The foreground window of the (virtual) desktop.
HWND ForegroundWindow();

// A message box (#32770 dialog) shown by a process.
struct MessageBoxInfo {
  HWND dialog = nullptr;
  std::wstring caption;
  std::wstring text;  // from the static control with id 0xFFFF
};
std::optional<MessageBoxInfo> FindMessageBox(DWORD process_id);
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD process_id, Millis timeout = kDefaultTimeout);
// Presses the box's button with `button_id` (IDOK by default) and waits until
// the box is gone.
bool AnswerMessageBox(const MessageBoxInfo& box, int button_id = IDOK,
                      Millis timeout = kDefaultTimeout);

// Top-level windows of a process; visible ones only when asked.
std::vector<HWND> TopLevelWindowsOf(DWORD process_id, bool visible_only = false);

// ---------------------------------------------------------------- the program under test

struct StartOptions {
  std::wstring folder;                 // empty: ProgramDir()
  std::vector<RegistryValue> presets;  // written to HKCU before the start
  bool wait_for_window = true;         // Start() also waits for the main window
  Millis timeout = kDefaultTimeout;
  // With wait_for_window: also wait until the window has been shown, which
  // happens only once its start-up code has run: it is visible, or already
  // minimised (hidden to the tray by a stored "HideOnStart" of 1).
  bool wait_until_shown = true;
};

class ProgramUnderTest {
 public:
  ProgramUnderTest() = default;
  ~ProgramUnderTest();
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

  // Writes the presets, starts folder\quellnet.exe with that folder as its
  // current directory and, unless told not to, waits for its main window.
  // False (with the reason in LastError()) when any of that fails.
  bool Start(const StartOptions& options = {});

  DWORD Pid() const { return pid_; }
  DWORD ThreadId() const { return thread_id_; }
  HANDLE Process() const { return process_; }
  const std::string& LastError() const { return last_error_; }

  // The top-level window of class kForm1ClassName owned by the process,
  // visible or not; nullptr on timeout.
  HWND WaitForMainWindow(Millis timeout = kDefaultTimeout);
  // The main window found by Start/WaitForMainWindow.
  HWND MainWindow() const { return main_window_; }
  // A control of the main window by its id (form1_ids.h).
  HWND Control(int id) const;

  bool IsRunning() const;
  // Waits for the process to end; its exit code goes to `exit_code`.
  bool WaitForExit(Millis timeout = kDefaultTimeout, DWORD* exit_code = nullptr);
  // Asks the window to close (WM_CLOSE, posted) and waits for the process to end.
  bool Close(Millis timeout = kDefaultTimeout);
  // Ends the process at once (no-op when it has ended).
  void Kill();

  // Conveniences on the main window.
  bool SelectPage(int index, Millis timeout = kDefaultTimeout);
  int CurrentPage() const;
  // Posts the tray icon's notification (WM_APP + 1) carrying `mouse_message`
  // (WM_LBUTTONDBLCLK, WM_RBUTTONUP, ...), as the shell does.
  bool SendTrayNotification(UINT mouse_message);
  std::optional<MessageBoxInfo> WaitForMessageBox(Millis timeout = kDefaultTimeout) const;

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  DWORD thread_id_ = 0;
  HWND main_window_ = nullptr;
  std::string last_error_;
};

// Printable form of a wide text for assertion messages.
std::string Narrow(const std::wstring& text);

}  // namespace quellnet::e2e
