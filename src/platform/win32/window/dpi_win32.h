// The screen density a window is shown at, and the measures that follow it.
// Each asks the newest function the system has (Windows 10 1607 and later
// know every window's own DPI; Windows 8.1 each monitor's; older systems
// one DPI for the whole session) and falls back step by step, so the
// program still starts on Windows XP: the newer functions are looked up at
// run time, never imported.
#pragma once

#include <windows.h>

namespace quellnet::platform::win32 {

inline constexpr int kDefaultDpi = 96;

// Messages of per-monitor aware systems, which the Windows XP headers this
// program is built with do not name. WM_GETDPISCALEDSIZE comes first and
// asks for the window's size at the new DPI; WM_DPICHANGED then brings that
// DPI and the rectangle the window should take.
inline constexpr UINT kWmDpiChanged = 0x02E0;
inline constexpr UINT kWmGetDpiScaledSize = 0x02E4;

// The session's DPI: what the taskbar and its notification area are drawn
// at. 96 when the screen can't be asked.
int SystemDpi();
// The DPI of the monitor `window` is on; the session's DPI where the system
// has only that one.
int WindowDpi(HWND window);
// GetSystemMetrics as it would answer at `dpi`; at the session's DPI where
// the system can't scale for another one.
int SystemMetricForDpi(int index, int dpi);
// The outer rectangle of a window with this client rectangle, style and
// extended style at `dpi`; false when the system refused.
bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD ex_style, int dpi);

}  // namespace quellnet::platform::win32
