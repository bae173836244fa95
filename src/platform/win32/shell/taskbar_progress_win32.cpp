#include "platform/win32/shell/taskbar_progress_win32.h"

#include "platform/win32/system/com_win32.h"
#include "platform/win32/system/optional_functions_win32.h"

// After <windows.h>.
#include <objbase.h>
#include <shobjidl.h>

namespace quellnet::platform::win32 {
namespace {

constexpr int kSteps = 1000;

}  // namespace

void TaskbarProgress::Releaser::operator()(ITaskbarList3* list) const {
  list->Release();
}

TaskbarProgress::TaskbarProgress()
    // Without the message the taskbar can't announce the button, and the
    // work goes without progress on it.
    : button_created_(::RegisterWindowMessageW(L"TaskbarButtonCreated")) {}

bool TaskbarProgress::Ready() {
  if (list_ || tried_ || !button_) {
    return static_cast<bool>(list_);
  }
  tried_ = true;  // once: a taskbar without the interface stays without it
  // COM and ole32 start here, at the first use of the taskbar: start-up
  // never waits for them.
  const auto create = Ole32().co_create_instance;
  if (!StartCom() || create == nullptr) {
    return false;
  }
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
