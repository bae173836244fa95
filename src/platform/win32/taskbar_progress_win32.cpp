#include "platform/win32/taskbar_progress_win32.h"

#include <string>

// After <windows.h>.
#include <objbase.h>
#include <shobjidl.h>

namespace quellnet::platform::win32 {
namespace {

constexpr int kSteps = 1000;

// ole32 from the system folder, loaded at the first use of the taskbar:
// start-up never waits for it.
HMODULE LoadOle32() {
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return nullptr;
  }
  return ::LoadLibraryW((std::wstring(folder, length) + L"\\ole32.dll").c_str());
}

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
  // Through void(*)(), the one function type GCC lets any other be cast to.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace

void TaskbarProgress::Releaser::operator()(ITaskbarList3* list) const {
  list->Release();
}

TaskbarProgress::TaskbarProgress()
    // Without the message the taskbar can't announce the button, and the
    // work goes without progress on it.
    : button_created_(::RegisterWindowMessageW(L"TaskbarButtonCreated")) {}

TaskbarProgress::~TaskbarProgress() {
  list_.reset();
  if (uninitialise_ != nullptr) {
    uninitialise_();
  }
}

bool TaskbarProgress::Ready() {
  if (list_ || tried_ || !button_) {
    return static_cast<bool>(list_);
  }
  tried_ = true;  // once: a taskbar without the interface stays without it
  HMODULE ole32 = LoadOle32();
  if (ole32 == nullptr) {
    return false;
  }
  using Initialise = HRESULT(WINAPI*)(LPVOID, DWORD);
  using Uninitialise = void(WINAPI*)();
  using CreateInstance = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
  const auto initialise = Lookup<Initialise>(ole32, "CoInitializeEx");
  const auto uninitialise = Lookup<Uninitialise>(ole32, "CoUninitialize");
  const auto create = Lookup<CreateInstance>(ole32, "CoCreateInstance");
  // S_FALSE (already started on this thread) is balanced by an uninitialise too.
  if (initialise == nullptr || uninitialise == nullptr || create == nullptr ||
      FAILED(initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
    return false;
  }
  uninitialise_ = uninitialise;
  void* list = nullptr;
  if (SUCCEEDED(
          create(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &list))) {
    list_.reset(static_cast<ITaskbarList3*>(list));
  }
  return static_cast<bool>(list_);
}

void TaskbarProgress::Show(HWND window, double done) {
  const int steps = done <= 0 ? 0 : done >= 1 ? kSteps : static_cast<int>(done * kSteps);
  if (steps == shown_ || window == nullptr || !Ready()) {
    return;
  }
  // A hidden window has no button; the calls then fail and change nothing.
  if (shown_ < 0) {
    list_->SetProgressState(window, TBPF_NORMAL);
  }
  list_->SetProgressValue(window, static_cast<ULONGLONG>(steps), kSteps);
  shown_ = steps;
}

void TaskbarProgress::Clear(HWND window) {
  if (shown_ >= 0 && list_ && window != nullptr) {
    list_->SetProgressState(window, TBPF_NOPROGRESS);
  }
  shown_ = -1;
}

}  // namespace quellnet::platform::win32
