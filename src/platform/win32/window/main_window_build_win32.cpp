// Building the main window: its class, the window itself, and every
// control of the layout table with its font.
#include "platform/win32/window/main_window_win32.h"

#include <string>

#include "platform/win32/window/dpi_win32.h"
#include "platform/win32/system/optional_functions_win32.h"
#include "platform/win32/window/private_messages.h"

// After <windows.h>.
#include <commctrl.h>

namespace quellnet::platform::win32 {

namespace {

using layout::Alignment;
using layout::ControlKind;
using layout::ControlLayout;

// The frame draws only its border, so whatever lay under its inside would
// stay there when part of it is uncovered; it fills its inside itself.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(frame, GWLP_USERDATA));
  if (message == WM_ERASEBKGND) {
    RECT inside;
    if (::GetClientRect(frame, &inside)) {
      ::FillRect(reinterpret_cast<HDC>(wparam), &inside, ::GetSysColorBrush(COLOR_BTNFACE));
    }
    return TRUE;
  }
  return ::CallWindowProcW(original, frame, message, wparam, lparam);
}

// The class, styles and extended styles of a control of `kind`.
struct WindowKind {
  const wchar_t* class_name;
  DWORD style;
  DWORD ex_style;
};

WindowKind KindOf(const ControlLayout& layout) {
  const DWORD align = layout.alignment == Alignment::kCenter ? SS_CENTER : SS_LEFT;
  switch (layout.kind) {
    case ControlKind::kImage:
    case ControlKind::kLine:
    case ControlKind::kPictureBox:
      return {L"STATIC", SS_OWNERDRAW, 0};
    case ControlKind::kTabControl:
      return {WC_TABCONTROLW, TCS_FIXEDWIDTH, 0};
    case ControlKind::kLabel:
      // SS_LEFT and SS_CENTER wrap at word boundaries and clip what does not
      // fit; no access keys.
      return {L"STATIC", align | SS_NOPREFIX, 0};
    case ControlKind::kLink:
      // A label that reports its clicks.
      return {L"STATIC", align | SS_NOPREFIX | SS_NOTIFY, 0};
    case ControlKind::kTextBox:
      // Read-only: its text can be selected and copied but not lost to a
      // key press, and screen readers announce it as such. It lies on the
      // button-face colour, as read-only fields do.
      return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
    case ControlKind::kCheckBox:
      // Not BS_AUTO3STATE: the program keeps the state and raises the click.
      return {L"BUTTON", BS_3STATE, 0};
    case ControlKind::kFrame:
      return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::kCommandButton:
      return {L"BUTTON", BS_PUSHBUTTON, 0};
  }
  return {L"STATIC", 0, 0};
}

// The icon `id` at the small-icon size, the notification area's, which is
// drawn at the session's DPI whatever monitor the window is on. Empty when it
// is missing, which leaves the system's default in its place.
UniqueIcon LoadSmallIcon(HINSTANCE instance, int id) {
  return UniqueIcon(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                                    ::GetSystemMetrics(SM_CXSMICON),
                                                    ::GetSystemMetrics(SM_CYSMICON), 0)));
}

// Registers the main window's class; false, with the thread's last error,
// when it can't.
bool RegisterMainClass(HINSTANCE instance, const std::wstring& class_name, WNDPROC procedure) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = class_name.c_str();
  return ::RegisterClassExW(&window_class) != 0;
}

// The top-left corner that centres a window of `size` on the primary screen,
// never above or left of it.
POINT CentredOnScreen(SIZE size) {
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
  return {x > 0 ? x : 0, y > 0 ? y : 0};
}

}  // namespace

std::unique_ptr<TableMainWindow> TableMainWindow::Create(HINSTANCE instance,
                                                         const layout::WindowLayout& layout,
                                                         DWORD& error) {
  // The code of the step that failed, read at once: the destruction of what
  // was made before it may change the thread's last error.
  const auto failed = [&error] {
    error = ::GetLastError();
    return nullptr;
  };
  auto form = std::make_unique<TableMainWindow>(Key{});
  form->instance_ = instance;
  form->layout_ = layout;
  const std::wstring class_name(layout.class_name);

  // Twips become pixels with the screen's DPI; the manifest declares the
  // program aware of it, so these are the real pixels. The window is made
  // at the session's DPI and moves to its monitor's below.
  form->dpi_ = SystemDpi();
  form->tray_icon_ = LoadSmallIcon(instance, layout.resources.icon);
  form->tray_menu_.Reset(::LoadMenuW(instance, MAKEINTRESOURCEW(layout.resources.tray_menu)));
  if (!form->tray_menu_) {
    return failed();
  }

  if (!RegisterMainClass(instance, class_name, &TableMainWindow::WindowProc)) {
    return failed();
  }
  form->class_registered_ = true;

  const SIZE size = form->OuterSize(form->dpi_);
  if (size.cx <= 0) {
    return failed();
  }
  // Centred on the screen when first shown.
  const POINT corner = CentredOnScreen(size);
  const std::wstring caption(layout.caption);
  if (::CreateWindowExW(0, class_name.c_str(), caption.c_str(), kStyle, corner.x, corner.y, size.cx,
                        size.cy, nullptr, nullptr, instance, form.get()) == nullptr) {
    return failed();
  }
  // A monitor of another density than the session's (changed since the
  // logon): the window takes that monitor's size before it has controls.
  const int monitor_dpi = WindowDpi(form->window_);
  if (monitor_dpi != form->dpi_) {
    form->dpi_ = monitor_dpi;
    const SIZE resized = form->OuterSize(monitor_dpi);
    // Refused, the window keeps the session's size and clips the layout.
    ::SetWindowPos(form->window_, nullptr, 0, 0, resized.cx, resized.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  form->LoadWindowIcons();
  if (!form->CreateControls(instance, error)) {
    return nullptr;
  }
  // No taskbar-restart notice (registration failed) only means the tray icon
  // is not put back after Explorer restarts.
  form->taskbar_created_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  // Screen readers learn the controls' roles once the message loop runs, so
  // the window does not wait for the libraries that tell them. Not posted,
  // the controls keep what the system tells of them.
  ::PostMessageW(form->window_, kAnnotateControlsMessage, 0, 0);
  return form;
}

TableMainWindow::~TableMainWindow() {
  // Ending without an unload (start-up failed): no handler runs any more.
  unloaded_ = true;
  if (window_ != nullptr) {
    ::DestroyWindow(window_);
  }
  if (class_registered_) {
    // Fails only while a window of the class exists, and then the process
    // is ending anyway.
    ::UnregisterClassW(std::wstring(layout_.class_name).c_str(), instance_);
  }
}

bool TableMainWindow::CreateControls(HINSTANCE instance, DWORD& error) {
  // A new child window goes to the bottom of its siblings' stacking, so
  // creating the controls in the table's order, top first, stacks them as
  // the table says with no move of their own; the Tab key follows it too.
  for (const ControlLayout& layout : layout_.controls) {
    const layout::PixelRect place = layout::ControlPixels(layout_.controls, layout, dpi_);
    const WindowKind kind = KindOf(layout);
    // Each control clips the controls stacked above it, so the page controls
    // paint over the tab control and the frame does not paint over its
    // check boxes. Only the first page is shown at first.
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style;
    if (layout.page == layout::kNoPage || layout.page == 0) {
      style |= WS_VISIBLE;
    }
    if (layout.tab_stop) {
      style |= WS_TABSTOP | WS_GROUP;
    }
    const std::wstring text(layout.text);
    HWND control = ::CreateWindowExW(kind.ex_style, kind.class_name, text.c_str(), style,
                                     place.left, place.top, place.width, place.height, window_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                     instance, nullptr);
    if (control == nullptr) {
      error = ::GetLastError();
      return false;
    }
    if (layout.kind == ControlKind::kFrame) {
      ::SetWindowLongPtrW(control, GWLP_USERDATA, ::GetWindowLongPtrW(control, GWLP_WNDPROC));
      ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameProc));
    }
    if (layout.kind == ControlKind::kTabControl) {
      tab_id_ = layout.id;
      // The pages lie on the button-face colour like the rest of the window;
      // a themed tab body has a colour of its own. A class list that names
      // no class leaves the control unthemed (Wine does not take an empty
      // one). Without theme support the call fails, or the library is
      // missing, and the control already looks that way.
      if (const auto set_window_theme = UxTheme().set_window_theme) {
        set_window_theme(control, L" ", L" ");
      }
      for (std::size_t i = 0; i < layout_.pages.size(); ++i) {
        std::wstring tab_caption(layout_.pages[i]);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = tab_caption.data();
        if (::SendMessageW(control, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item)) !=
            static_cast<LRESULT>(i)) {
          error = 0;  // a message's answer carries no code
          return false;
        }
      }
      ::SendMessageW(control, TCM_SETCURSEL, 0, 0);
    }
  }

  ApplyFonts();
  AttachControls();
  LoadBanner();
  focus_ = Control(tab_id_);
  return true;
}

void TableMainWindow::AttachControls() {
  for (const ControlLayout& layout : layout_.controls) {
    HWND control = Control(layout.id);
    switch (layout.kind) {
      case ControlKind::kCheckBox:
        check_boxes_[layout.id].Attach(
            control, [this, id = layout.id] { Raise(&WindowEvents::Clicked, id); });
        break;
      case ControlKind::kLabel:
        labels_[layout.id].Attach(control);
        break;
      case ControlKind::kTextBox:
        text_boxes_[layout.id].Attach(control);
        break;
      case ControlKind::kPictureBox:
        picture_boxes_[layout.id].Attach(control, layout_.picture_names);
        break;
      case ControlKind::kImage:
        banner_.Attach(control);
        break;
      default:
        break;
    }
  }
}

}  // namespace quellnet::platform::win32
