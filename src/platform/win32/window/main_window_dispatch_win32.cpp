// The main window's messages: each one goes to its event of WindowEvents,
// or is answered here (owner-drawn controls, cursors, pages).
#include "platform/win32/window/main_window_win32.h"

#include <algorithm>
#include <iterator>

#include "platform/tray_icon.h"
#include "platform/win32/window/dpi_win32.h"
#include "platform/win32/window/private_messages.h"

// After <windows.h>.
#include <commctrl.h>

namespace quellnet::platform::win32 {

// The tray icon's notifications pass the shell's mouse message code on as
// it is; the portable code names the codes it answers.
static_assert(kTrayLeftButtonDoubleClick == WM_LBUTTONDBLCLK && kTrayRightButtonUp == WM_RBUTTONUP,
              "the portable names of the tray's mouse codes are Windows' own");

// Tells a debugger (or DebugView) that a handler was ended by `what`. It
// takes no memory, since running out of it may be the very error.
void ReportHandlerFailure(std::wstring_view program, const char* what) noexcept {
  constexpr std::wstring_view kEnded = L": an event handler was ended by an error: ";
  wchar_t text[256];
  const std::size_t name_length = std::min(program.size(), std::size(text) - kEnded.size() - 2);
  std::size_t length = program.copy(text, name_length);
  length += kEnded.copy(text + length, kEnded.size());
  for (; *what != '\0' && length + 2 < std::size(text); ++what) {
    text[length++] = static_cast<unsigned char>(*what);
  }
  text[length++] = L'\n';
  text[length] = L'\0';
  ::OutputDebugStringW(text);
}

LRESULT CALLBACK TableMainWindow::WindowProc(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  TableMainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<TableMainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<TableMainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (self == nullptr) {
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT TableMainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      // The controls paint themselves; the window has nothing to draw.
      { const ScopedPaint painted(window_); }
      Raise(&WindowEvents::Painted);
      return 0;
    }
    case WM_SIZE:
      ++resizes_;
      Raise(&WindowEvents::Resized);
      return 0;
    case WM_CLOSE:
      Unload();
      return 0;
    case WM_ENDSESSION:
      // The session ends: save what a close would save, before the process
      // is ended, with no message box to hold up the log-off, even in the
      // middle of long work (which then stops).
      if (wparam != FALSE) {
        UnloadFor(UnloadReason::kSessionEnd);
      }
      return 0;
    case WM_DESTROY:
      // The controls still exist here; they go after the window.
      annotations_.Clear();
      ::PostQuitMessage(0);
      return 0;
    case kAnnotateControlsMessage:
      Guarded([&] { annotations_.Annotate(window_, layout_.controls); });
      return 0;
    case kWmDpiChanged:
      // Moved to a monitor of another density (per-monitor aware systems
      // only). Both halves of wparam carry the same DPI. The new fonts take
      // memory; without it the controls keep the fonts they have.
      Guarded([&] { OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam)); });
      return 0;
    case kWmGetDpiScaledSize: {
      // Asked first: the size the layout needs at the new
      // DPI, so the suggested rectangle fits it exactly.
      const SIZE size = OuterSize(static_cast<int>(wparam));
      if (size.cx <= 0) {
        break;  // the system scales the window itself
      }
      *reinterpret_cast<SIZE*>(lparam) = size;
      return TRUE;
    }
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (tab_id_ != 0 && header->idFrom == static_cast<UINT_PTR>(tab_id_) &&
          header->code == TCN_SELCHANGE) {
        ShowPage(static_cast<int>(::SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      return OnControlColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wparam), LOWORD(lparam))) {
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      // A plain window forgets its focused control when it loses the
      // activation; keep it, and give it back in WM_SETFOCUS.
      if (LOWORD(wparam) == WA_INACTIVE) {
        KeepFocus();
      }
      break;
    case WM_SETFOCUS:
      GiveFocusBack();
      return 0;
    case WM_SYSCOLORCHANGE:
      OnSchemeChanged(wparam, lparam);
      return 0;
    case WM_SETTINGCHANGE:
      if (wparam == SPI_SETHIGHCONTRAST) {
        OnSchemeChanged(0, 0);
      }
      break;
    default:
      if (message == kTrayCallbackMessage) {
        Raise(&WindowEvents::TrayIconNotified, LOWORD(lparam));
        return 0;
      }
      if (message == kActivateInstanceMessage) {
        // Once unloading, or closing when its work is done, the window can't
        // come back (it may still show what could not be saved): the new
        // start waits for this copy to end.
        if (unload_started_ || close_pending_) {
          return kInstanceIsClosing;
        }
        Raise(&WindowEvents::ActivationAsked);
        return kInstanceComesForward;
      }
      if (taskbar_.ButtonCreatedMessage() != 0 && message == taskbar_.ButtonCreatedMessage()) {
        taskbar_.ButtonCreated();
        return 0;
      }
      if (taskbar_created_ != 0 && message == taskbar_created_) {
        Raise(&WindowEvents::TrayAreaRecreated);
        return 0;
      }
      break;
  }
  return ::DefWindowProcW(window_, message, wparam, lparam);
}

void TableMainWindow::OnCommand(int id, int code, HWND control) {
  if (control == nullptr) {
    // An item of the tray's pop-up menu; not the IDOK and IDCANCEL that the
    // dialog keys (Enter, Esc) send without a control.
    const std::span<const int> items = layout_.resources.menu_items;
    if (std::find(items.begin(), items.end(), id) != items.end()) {
      Raise(&WindowEvents::Clicked, id);
    }
    return;
  }
  // BN_CLICKED and STN_CLICKED are both 0. A busy window takes no clicks,
  // not even one sent by another program.
  if (code != BN_CLICKED || busy_depth_ > 0) {
    return;
  }
  const layout::ControlLayout* layout = Layout(id);
  if (layout == nullptr) {
    return;
  }
  switch (layout->kind) {
    case layout::ControlKind::kCheckBox:
      // Found, not made: nothing here may take memory and throw into Windows.
      if (Win32CheckBox* box = Find(check_boxes_, id)) {
        box->OnUserClick();
      }
      break;
    case layout::ControlKind::kCommandButton:
    case layout::ControlKind::kLink:
      Raise(&WindowEvents::Clicked, id);
      break;
    default:
      break;
  }
}

void TableMainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const auto id = static_cast<int>(item.CtlID);
  const layout::ControlLayout* layout = Layout(id);
  if (layout == nullptr) {
    return;
  }
  switch (layout->kind) {
    case layout::ControlKind::kImage:
      banner_.Draw(item, dpi_);
      break;
    case layout::ControlKind::kPictureBox:
      if (const Win32PictureBox* box = Find(picture_boxes_, id)) {
        box->Draw(item, dpi_);
      }
      break;
    case layout::ControlKind::kLine:
      ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_WINDOWTEXT));
      break;
    default:
      break;
  }
}

bool TableMainWindow::IsLink(HWND control) const {
  for (const layout::ControlLayout& layout : layout_.controls) {
    if (layout.kind == layout::ControlKind::kLink && Control(layout.id) == control) {
      return true;
    }
  }
  return false;
}

bool TableMainWindow::OnSetCursor(HWND under_cursor, int hit_test) {
  if (busy_depth_ > 0) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return true;
  }
  if (hit_test == HTCLIENT && under_cursor != nullptr && IsLink(under_cursor)) {
    // The hand is missing only on systems older than this program supports;
    // the arrow stays then.
    if (HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND)) {
      ::SetCursor(hand);
      return true;
    }
  }
  return false;
}

}  // namespace quellnet::platform::win32
