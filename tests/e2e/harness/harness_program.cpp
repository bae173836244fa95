// Starting, watching and ending the program under test.
#include "harness.h"

namespace quellnet::e2e {

namespace {

using platform::win32::kForm1ClassName;
using platform::win32::kIdSSTab1;
using platform::win32::kTrayCallbackMessage;
using platform::win32::kTrayIconId;

std::string Describe(const char* what) {
  return std::string(what) + " (error " + std::to_string(GetLastError()) + ")";
}

HWND FindMainWindowOf(DWORD process_id) {
  for (HWND window : TopLevelWindowsOf(process_id)) {
    if (ClassNameOf(window) == kForm1ClassName) {
      return window;
    }
  }
  return nullptr;
}

}  // namespace

ProgramUnderTest::~ProgramUnderTest() {
  Kill();
}

bool ProgramUnderTest::Start(const StartOptions& options) {
  Kill();
  last_error_.clear();
  main_window_ = nullptr;
  for (const RegistryValue& preset : options.presets) {
    if (!WriteUserString(preset.key, preset.name, preset.text)) {
      last_error_ = "could not preset " + Narrow(preset.key) + "\\" + Narrow(preset.name);
      return false;
    }
  }
  const std::wstring folder = options.folder.empty() ? ProgramDir() : options.folder;
  const std::wstring path = folder + L"\\" + kProgramFileName;
  std::wstring command_line = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    last_error_ = Describe(("could not start " + Narrow(path)).c_str());
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
  thread_id_ = info.dwThreadId;
  if (!options.wait_for_window) {
    return true;
  }
  if (WaitForMainWindow(options.timeout) == nullptr) {
    last_error_ =
        IsRunning() ? "no main window appeared" : "the program ended before showing its window";
    return false;
  }
  // The window is created before its start-up code has run and shown after it.
  const auto shown = [&] { return IsWindowVisible(main_window_) || IsIconic(main_window_); };
  if (options.wait_until_shown &&
      !WaitUntil([&] { return shown() || !IsRunning(); }, options.timeout)) {
    last_error_ = "the main window was not shown";
    return false;
  }
  if (!IsRunning()) {
    last_error_ = "the program ended during its start-up";
    return false;
  }
  if (WaitForInputIdle(process_, static_cast<DWORD>(options.timeout.count())) != 0) {
    last_error_ = "the program did not become idle";
    return false;
  }
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(main_window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                           static_cast<UINT>(options.timeout.count()), &ignored)) {
    last_error_ = "the main window does not answer";
    return false;
  }
  return true;
}

HWND ProgramUnderTest::WaitForMainWindow(Millis timeout) {
  if (process_ == nullptr) {
    return nullptr;
  }
  WaitUntil(
      [&] {
        main_window_ = FindMainWindowOf(pid_);
        return main_window_ != nullptr || !IsRunning();
      },
      timeout);
  return main_window_;
}

HWND ProgramUnderTest::Control(int id) const {
  return main_window_ != nullptr ? GetDlgItem(main_window_, id) : nullptr;
}

bool ProgramUnderTest::IsRunning() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool ProgramUnderTest::WaitForExit(Millis timeout, DWORD* exit_code) {
  if (process_ == nullptr) {
    return false;
  }
  if (WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return false;
  }
  if (exit_code != nullptr && !GetExitCodeProcess(process_, exit_code)) {
    return false;
  }
  return true;
}

bool ProgramUnderTest::Close(Millis timeout) {
  if (main_window_ == nullptr || !PostMessageW(main_window_, WM_CLOSE, 0, 0)) {
    return false;
  }
  return WaitForExit(timeout);
}

void ProgramUnderTest::Kill() {
  if (process_ == nullptr) {
    return;
  }
  if (IsRunning()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
  pid_ = 0;
  thread_id_ = 0;
  main_window_ = nullptr;
}

bool ProgramUnderTest::SelectPage(int index, Millis timeout) {
  return SelectTab(process_, Control(kIdSSTab1), index, timeout);
}

int ProgramUnderTest::CurrentPage() const {
  return CurrentTab(Control(kIdSSTab1));
}

bool ProgramUnderTest::SendTrayNotification(UINT mouse_message) {
  return main_window_ != nullptr &&
         PostMessageW(main_window_, kTrayCallbackMessage, kTrayIconId, mouse_message) != 0;
}

std::optional<MessageBoxInfo> ProgramUnderTest::WaitForMessageBox(Millis timeout) const {
  return e2e::WaitForMessageBox(pid_, timeout);
}

}  // namespace quellnet::e2e
