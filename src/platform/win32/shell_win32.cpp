// The desktop shell (opening an address in the user's browser) and the
// program file's own path.
#include <string>

#include "platform/program_folder.h"
#include "platform/win32/factories.h"

// After <windows.h>, which factories.h brings in.
#include <shellapi.h>

namespace quellnet::platform::win32 {
namespace {

// Long enough for any path the system hands out, "\\?\" form included.
constexpr DWORD kLongestPath = 32768;

class Win32Shell final : public Shell {
 public:
  explicit Win32Shell(HWND owner) : owner_(owner) {}

  void Open(std::wstring_view target) override {
    const std::wstring terminated(target);
    // The result is ignored on purpose: when no browser is set up the link
    // does nothing visible, and the window stays as it was.
    ::ShellExecuteW(owner_, L"open", terminated.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }

  std::wstring ExecutablePath() override {
    // The path may be longer than MAX_PATH; grow the buffer until it fits.
    // A cut-off path fills the buffer exactly (XP does not even end it with
    // a NUL), which is how a too small buffer shows on every version.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
      const DWORD size = static_cast<DWORD>(path.size());
      const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
      if (length == 0) {
        return std::wstring();
      }
      if (length < size) {
        path.resize(length);
        return path;
      }
      if (size >= kLongestPath) {
        return std::wstring();
      }
      path.resize(size * 2 > kLongestPath ? kLongestPath : size * 2);
    }
  }

  std::wstring ProgramFolder() override { return FolderOfPath(ExecutablePath()); }

 private:
  HWND owner_;
};

}  // namespace

std::unique_ptr<Shell> CreateShell(HWND owner) {
  return std::make_unique<Win32Shell>(owner);
}

}  // namespace quellnet::platform::win32
