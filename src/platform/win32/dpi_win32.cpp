#include "platform/win32/dpi_win32.h"

#include <string>

namespace quellnet::platform::win32 {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
// shcore's GetDpiForMonitor; 0 is MDT_EFFECTIVE_DPI.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;

template <typename Function>
Function Find(HMODULE module, const char* name) {
  return module == nullptr ? nullptr
                           : reinterpret_cast<Function>(
                                 reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// The functions of user32 that know a DPI per window (Windows 10 1607 on);
// null where the system lacks them. user32 is loaded already.
struct PerWindowFunctions {
  GetDpiForWindowFn dpi_for_window = nullptr;
  GetSystemMetricsForDpiFn metrics_for_dpi = nullptr;
  AdjustWindowRectExForDpiFn adjust_for_dpi = nullptr;

  static const PerWindowFunctions& Get() {
    static const PerWindowFunctions functions = [] {
      HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
      return PerWindowFunctions{
          Find<GetDpiForWindowFn>(user32, "GetDpiForWindow"),
          Find<GetSystemMetricsForDpiFn>(user32, "GetSystemMetricsForDpi"),
          Find<AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi")};
    }();
    return functions;
  }
};

// Windows 8.1 knows each monitor's DPI, through shcore.dll; loaded from the
// system folder, and only on a system without the per-window functions.
GetDpiForMonitorFn DpiForMonitor() {
  static const GetDpiForMonitorFn function = []() -> GetDpiForMonitorFn {
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
      return nullptr;
    }
    // Windows XP has no shcore; the library stays loaded for the run.
    const std::wstring path = std::wstring(folder, length) + L"\\shcore.dll";
    return Find<GetDpiForMonitorFn>(::LoadLibraryW(path.c_str()), "GetDpiForMonitor");
  }();
  return function;
}

}  // namespace

int SystemDpi() {
  HDC screen = ::GetDC(nullptr);
  if (screen == nullptr) {
    return kDefaultDpi;
  }
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDefaultDpi;
}

int WindowDpi(HWND window) {
  const PerWindowFunctions& functions = PerWindowFunctions::Get();
  if (functions.dpi_for_window != nullptr) {
    const UINT dpi = functions.dpi_for_window(window);
    if (dpi > 0) {
      return static_cast<int>(dpi);
    }
  }
  if (GetDpiForMonitorFn dpi_for_monitor = DpiForMonitor()) {
    UINT dpi_x = 0;
    UINT dpi_y = 0;
    HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && SUCCEEDED(dpi_for_monitor(monitor, kEffectiveDpi, &dpi_x, &dpi_y)) &&
        dpi_y > 0) {
      return static_cast<int>(dpi_y);
    }
  }
  return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  const PerWindowFunctions& functions = PerWindowFunctions::Get();
  if (functions.metrics_for_dpi != nullptr) {
    const int value = functions.metrics_for_dpi(index, static_cast<UINT>(dpi));
    if (value > 0) {
      return value;
    }
  }
  return ::GetSystemMetrics(index);
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD ex_style, int dpi) {
  const PerWindowFunctions& functions = PerWindowFunctions::Get();
  if (functions.adjust_for_dpi != nullptr &&
      functions.adjust_for_dpi(&rect, style, FALSE, ex_style, static_cast<UINT>(dpi))) {
    return true;
  }
  return ::AdjustWindowRectEx(&rect, style, FALSE, ex_style) != FALSE;
}

}  // namespace quellnet::platform::win32
