// The main window's private messages and the identifier of its tray icon.
// WM_APP + 1 carries the tray icon's notifications (the mouse message code
// in lParam, the icon identifier in wParam); WM_APP + 2 asks a running copy
// to come forward, and it answers which it does. The end-to-end tests send
// them as the shell and a second start would.
#pragma once

#include <windows.h>

namespace quellnet::platform::win32 {

inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;
inline constexpr UINT kActivateInstanceMessage = WM_APP + 2;
inline constexpr LRESULT kInstanceComesForward = 1;
inline constexpr LRESULT kInstanceIsClosing = 2;  // its window is going; it ends soon
inline constexpr UINT kTrayIconId = 1;
// Posted to itself once it is made: the window tells screen readers about
// its controls.
inline constexpr UINT kAnnotateControlsMessage = WM_APP + 3;

}  // namespace quellnet::platform::win32
