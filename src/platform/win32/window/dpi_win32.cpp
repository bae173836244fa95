#include "platform/win32/window/dpi_win32.h"

#include "platform/win32/system/handles.h"

#include "platform/win32/system/optional_functions_win32.h"

namespace quellnet::platform::win32 {
namespace {

// GetDpiForMonitor's MDT_EFFECTIVE_DPI.
constexpr int kEffectiveDpi = 0;

}  // namespace

int SystemDpi() {
  const ScopedGetDc screen(nullptr);
  if (!screen) {
    return kDefaultDpi;
  }
  const int dpi = ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
  return dpi > 0 ? dpi : kDefaultDpi;
}

int WindowDpi(HWND window) {
  if (const auto dpi_for_window = User32().get_dpi_for_window) {
    const UINT dpi = dpi_for_window(window);
    if (dpi > 0) {
      return static_cast<int>(dpi);
    }
  }
  // shcore is loaded only on a system without the per-window function.
  if (const auto dpi_for_monitor = Shcore().get_dpi_for_monitor) {
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
  if (const auto metrics_for_dpi = User32().get_system_metrics_for_dpi) {
    const int value = metrics_for_dpi(index, static_cast<UINT>(dpi));
    if (value > 0) {
      return value;
    }
  }
  return ::GetSystemMetrics(index);
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD ex_style, int dpi) {
  const auto adjust_for_dpi = User32().adjust_window_rect_ex_for_dpi;
  if (adjust_for_dpi != nullptr &&
      adjust_for_dpi(&rect, style, FALSE, ex_style, static_cast<UINT>(dpi))) {
    return true;
  }
  return ::AdjustWindowRectEx(&rect, style, FALSE, ex_style) != FALSE;
}

}  // namespace quellnet::platform::win32
