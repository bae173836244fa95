// The desktop shell (opening an address in the user's browser) and the
// program file's own path.
#include <string>

#include "platform/path_text.h"
#include "platform/win32/system/com_win32.h"
#include "platform/win32/process/factories.h"
#include "platform/win32/files/program_file_win32.h"

// After <windows.h>, which factories.h brings in.
#include <shellapi.h>

namespace quellnet::platform::win32 {
namespace {

class Win32Shell final : public Shell {
 public:
  explicit Win32Shell(HWND owner) : owner_(owner) {}

  void Open(std::wstring_view target) override {
    // ShellExecute may hand the address to a shell extension that is a COM
    // object; without COM it still opens what needs none.
    StartCom();
    const std::wstring terminated(target);
    // The result is ignored on purpose: when no browser is set up the link
    // does nothing visible, and the window stays as it was.
    ::ShellExecuteW(owner_, L"open", terminated.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }

  std::wstring ExecutablePath() override { return ProgramFilePath(); }

  std::wstring ProgramFolder() override { return paths::FolderOfPath(ExecutablePath()); }

 private:
  HWND owner_;
};

}  // namespace

std::unique_ptr<Shell> CreateShell(HWND owner) {
  return std::make_unique<Win32Shell>(owner);
}

}  // namespace quellnet::platform::win32
