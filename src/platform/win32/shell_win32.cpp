// The desktop shell (opening an address in the user's browser) and the
// program file's own path.
#include <string>

#include "platform/program_folder.h"
#include "platform/win32/factories.h"
#include "platform/win32/known_folders_win32.h"

// After <windows.h>, which factories.h brings in.
#include <objbase.h>
#include <shellapi.h>

namespace quellnet::platform::win32 {
namespace {

// COM on this thread for ShellExecute, which may hand the address to a shell
// extension that is a COM object. It is started at the first use, not at
// start-up, and ole32 is loaded only then: the window does not wait for it.
class ComForShell {
 public:
  ComForShell() = default;
  ~ComForShell() {
    if (uninitialise_ != nullptr) {
      uninitialise_();
    }
  }
  ComForShell(const ComForShell&) = delete;
  ComForShell& operator=(const ComForShell&) = delete;

  // Once; without COM, ShellExecute still opens what needs no COM object.
  void Start() {
    if (started_) {
      return;
    }
    started_ = true;
    // ole32 stays loaded for the rest of the run.
    HMODULE ole32 = ::LoadLibraryW(L"ole32.dll");
    if (ole32 == nullptr) {
      return;
    }
    using Initialise = HRESULT(WINAPI*)(LPVOID, DWORD);
    using Uninitialise = void(WINAPI*)();
    // Through void(*)(), the one function type GCC lets any other be cast to.
    const auto initialise = reinterpret_cast<Initialise>(
        reinterpret_cast<void (*)()>(::GetProcAddress(ole32, "CoInitializeEx")));
    const auto uninitialise = reinterpret_cast<Uninitialise>(
        reinterpret_cast<void (*)()>(::GetProcAddress(ole32, "CoUninitialize")));
    // S_FALSE (already started on this thread) is balanced by an uninitialise too.
    if (initialise != nullptr && uninitialise != nullptr &&
        SUCCEEDED(initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
      uninitialise_ = uninitialise;
    }
  }

 private:
  bool started_ = false;
  void(WINAPI* uninitialise_)() = nullptr;
};

class Win32Shell final : public Shell {
 public:
  explicit Win32Shell(HWND owner) : owner_(owner) {}

  void Open(std::wstring_view target) override {
    com_.Start();
    const std::wstring terminated(target);
    // The result is ignored on purpose: when no browser is set up the link
    // does nothing visible, and the window stays as it was.
    ::ShellExecuteW(owner_, L"open", terminated.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }

  std::wstring ExecutablePath() override { return ProgramFilePath(); }

  std::wstring ProgramFolder() override { return FolderOfPath(ExecutablePath()); }

 private:
  HWND owner_;
  ComForShell com_;
};

}  // namespace

std::unique_ptr<Shell> CreateShell(HWND owner) {
  return std::make_unique<Win32Shell>(owner);
}

}  // namespace quellnet::platform::win32
