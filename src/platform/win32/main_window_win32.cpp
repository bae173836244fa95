#include "platform/win32/main_window_win32.h"

#include <cwchar>
#include <exception>
#include <iterator>
#include <string>

#include "app/app_info.h"
#include "platform/win32/form1_ids.h"
#include "resource.h"

// After <windows.h>.
#include <commctrl.h>
#include <uxtheme.h>

namespace quellnet::platform::win32 {

static_assert(kIdMnuopen == IDM_MNUOPEN && kIdMnuclose == IDM_MNUCLOSE,
              "the menu resource and the window agree on the item ids");

namespace {

using layout::Alignment;
using layout::ControlKind;
using layout::ControlLayout;
using layout::TabPage;

// The resource type of the banner picture in quellnet.rc.
constexpr wchar_t kPictureResourceType[] = L"GIF";

constexpr int kDefaultDpi = 96;

COLORREF ToColorRef(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

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
      // fit; no access keys. The web link reports its clicks.
      return {L"STATIC",
              align | SS_NOPREFIX | (layout.id == kIdLabel3 ? static_cast<DWORD>(SS_NOTIFY) : 0u),
              0};
    case ControlKind::kTextBox:
      return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
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

// Tells a debugger (or DebugView) that a handler was ended by `what`. It
// takes no memory, since running out of it may be the very error.
void ReportHandlerFailure(const char* what) noexcept {
  wchar_t text[256] = L"Quellnet: an event handler was ended by an error: ";
  std::size_t length = std::wcslen(text);
  for (; *what != '\0' && length + 2 < std::size(text); ++what) {
    text[length++] = static_cast<unsigned char>(*what);
  }
  text[length++] = L'\n';
  text[length] = L'\0';
  ::OutputDebugStringW(text);
}

bool IsOnPage(const ControlLayout& layout, int page) {
  return layout.page != TabPage::kNone && static_cast<int>(layout.page) == page;
}

}  // namespace

std::unique_ptr<Form1Window> Form1Window::Create(HINSTANCE instance) {
  auto form = std::make_unique<Form1Window>(Key{});
  form->instance_ = instance;

  // Twips become pixels with the screen's DPI; the manifest declares the
  // program DPI-aware, so these are the real pixels.
  if (HDC screen = ::GetDC(nullptr)) {
    form->dpi_x_ = ::GetDeviceCaps(screen, LOGPIXELSX);
    form->dpi_y_ = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
  }
  if (form->dpi_x_ <= 0 || form->dpi_y_ <= 0) {
    form->dpi_x_ = form->dpi_y_ = kDefaultDpi;
  }

  // A missing icon leaves the system's default in its place.
  form->big_icon_.Reset(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUELLNET),
                                                        IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                        ::GetSystemMetrics(SM_CYICON), 0)));
  form->small_icon_.Reset(static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUELLNET), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0)));
  form->menutray_.Reset(::LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MENUTRAY)));
  if (!form->menutray_) {
    return nullptr;
  }

  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &Form1Window::WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = form->big_icon_.Get();
  window_class.hIconSm = form->small_icon_.Get();
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kForm1ClassName;
  if (::RegisterClassExW(&window_class) == 0) {
    return nullptr;
  }
  form->class_registered_ = true;

  // Minimise and close buttons only, and a border that does not resize.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT frame = {0, 0, layout::TwipsToPixels(layout::kClientWidthTwips, form->dpi_x_),
                layout::TwipsToPixels(layout::kClientHeightTwips, form->dpi_y_)};
  if (!::AdjustWindowRectEx(&frame, style, FALSE, 0)) {
    return nullptr;
  }
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // Centred on the screen when first shown.
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  const std::wstring caption(app::kWindowCaption);
  if (::CreateWindowExW(0, kForm1ClassName, caption.c_str(), style, x > 0 ? x : 0, y > 0 ? y : 0,
                        width, height, nullptr, nullptr, instance, form.get()) == nullptr) {
    return nullptr;
  }
  if (!form->CreateControls(instance)) {
    return nullptr;
  }
  // No taskbar-restart notice (registration failed) only means the tray icon
  // is not put back after Explorer restarts.
  form->taskbar_created_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  return form;
}

Form1Window::~Form1Window() {
  // Ending without an unload (start-up failed): no handler runs any more.
  unloaded_ = true;
  if (window_ != nullptr) {
    ::DestroyWindow(window_);
  }
  if (class_registered_) {
    // Fails only while a window of the class exists, and then the process
    // is ending anyway.
    ::UnregisterClassW(kForm1ClassName, instance_);
  }
}

HFONT Form1Window::FontFor(const layout::FontSpec& layout) {
  for (const Font& font : fonts_) {
    if (font.layout.centipoints == layout.centipoints && font.layout.bold == layout.bold &&
        font.layout.underline == layout.underline) {
      return static_cast<HFONT>(font.font.Get());
    }
  }
  const std::wstring face(layout::kFontFace);
  // Where "MS Sans Serif" is missing the font mapper picks the nearest sans
  // serif face at the same size.
  HFONT created = ::CreateFontW(-layout::FontPixelHeight(layout, dpi_y_), 0, 0, 0,
                                layout.bold ? FW_BOLD : FW_NORMAL, FALSE, layout.underline, FALSE,
                                DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str());
  if (created == nullptr) {
    return nullptr;  // the control keeps the system font
  }
  fonts_.push_back({layout, UniqueGdiObject(created)});
  return created;
}

bool Form1Window::CreateControls(HINSTANCE instance) {
  for (const ControlLayout& layout : layout::kControls) {
    const layout::PixelRect place = layout::ControlPixels(layout, dpi_x_, dpi_y_);
    const WindowKind kind = KindOf(layout);
    // Each control clips the controls stacked above it, so the page controls
    // paint over the tab control and the frame does not paint over its
    // check boxes. Only page "Main" is shown at first.
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style;
    if (layout.page == TabPage::kNone || layout.page == TabPage::kMain) {
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
      return false;
    }
    // Stacking follows the table, top first; the Tab key follows it too.
    if (!::SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0,
                        SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE)) {
      return false;
    }
    if (HFONT font = FontFor(layout.font)) {
      ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (layout.kind == ControlKind::kFrame) {
      ::SetWindowLongPtrW(control, GWLP_USERDATA, ::GetWindowLongPtrW(control, GWLP_WNDPROC));
      ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameProc));
    }
    if (layout.kind == ControlKind::kTabControl) {
      // The pages lie on the button-face colour like the rest of the window;
      // a themed tab body has a colour of its own. A class list that names
      // no class leaves the control unthemed (Wine does not take an empty
      // one). Without theme support the call fails and the control already
      // looks that way.
      ::SetWindowTheme(control, L" ", L" ");
      for (std::size_t i = 0; i < layout::kTabCaptions.size(); ++i) {
        std::wstring tab_caption(layout::kTabCaptions[i]);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = tab_caption.data();
        if (::SendMessageW(control, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item)) !=
            static_cast<LRESULT>(i)) {
          return false;
        }
      }
      // Three tabs of one width across the row, at the height the font
      // gives them.
      RECT first = {};
      if (::SendMessageW(control, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first))) {
        const int tab_width = (place.width - 4) / static_cast<int>(layout::kTabCaptions.size());
        ::SendMessageW(control, TCM_SETITEMSIZE, 0,
                       MAKELPARAM(tab_width, first.bottom - first.top));
      }
      ::SendMessageW(control, TCM_SETCURSEL, 0, 0);
    }
  }

  chkmess_.Attach(Control(kIdChkmess), [this] { Raise(&Form1Events::chkmess_Click); });
  chkStartup_.Attach(Control(kIdChkStartup), nullptr);
  chkHideOnStart_.Attach(Control(kIdChkHideOnStart), nullptr);
  Label2_.Attach(Control(kIdLabel2));
  Text1_.Attach(Control(kIdText1));
  Picture1_.Attach(Control(kIdPicture1));
  Image1_.Attach(Control(kIdImage1));
  // Without its banner the window still works; the space stays empty.
  Image1_.Show(Picture::FromResource(instance, IDR_BANNER, kPictureResourceType));
  focus_ = Control(kIdSSTab1);
  return true;
}

void Form1Window::Load() {
  Raise(&Form1Events::Form_Load);
}

bool Form1Window::PreTranslate(MSG& message) {
  return window_ != nullptr && ::IsDialogMessageW(window_, &message) != FALSE;
}

template <typename... Args>
void Form1Window::Raise(void (Form1Events::*handler)(Args...), std::type_identity_t<Args>... args) {
  if (events_ == nullptr || unloaded_) {
    return;
  }
  // An error that a handler does not handle itself (such as no memory left
  // for a text) ends that handler, and only that one: the window goes on
  // with its next message, and an unload still destroys the window. The
  // exception must not travel on into Windows, whose frames it cannot unwind
  // through; the program would end. The handlers raise nothing but the
  // standard library's exceptions, so nothing else is caught.
  try {
    (events_->*handler)(args...);
  } catch (const std::exception& error) {
    ReportHandlerFailure(error.what());
  }
}

LRESULT CALLBACK Form1Window::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Form1Window* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<Form1Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Form1Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
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

LRESULT Form1Window::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      if (::BeginPaint(window_, &paint) != nullptr) {
        ::EndPaint(window_, &paint);
      }
      Raise(&Form1Events::Form_Paint);
      return 0;
    }
    case WM_SIZE:
      ++resizes_;
      Raise(&Form1Events::Form_Resize);
      return 0;
    case WM_CLOSE:
      Unload();
      return 0;
    case WM_ENDSESSION:
      // The session ends: save what a close would save, before the process
      // is ended, with no message box to hold up the log-off.
      if (wparam != FALSE) {
        UnloadFor(UnloadReason::kSessionEnd);
      }
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->idFrom == kIdSSTab1 && header->code == TCN_SELCHANGE) {
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
        HWND focused = ::GetFocus();
        if (focused != nullptr && ::IsChild(window_, focused)) {
          focus_ = focused;
        }
      }
      break;
    case WM_SETFOCUS: {
      HWND target = focus_;
      if (target == nullptr || !::IsChild(window_, target) || !::IsWindowVisible(target)) {
        target = Control(kIdSSTab1);
      }
      ::SetFocus(target);
      return 0;
    }
    default:
      if (message == kTrayCallbackMessage) {
        Raise(&Form1Events::TrayIcon_Notify, LOWORD(lparam));
        return 0;
      }
      if (message == kActivateInstanceMessage) {
        Raise(&Form1Events::Instance_Activate);
        return 0;
      }
      if (taskbar_created_ != 0 && message == taskbar_created_) {
        Raise(&Form1Events::TrayIcon_AreaRecreated);
        return 0;
      }
      break;
  }
  return ::DefWindowProcW(window_, message, wparam, lparam);
}

void Form1Window::OnCommand(int id, int code, HWND control) {
  if (control == nullptr) {
    // A menu item (the tray's pop-up menu).
    if (id == kIdMnuopen) {
      Raise(&Form1Events::mnuopen_Click);
    } else if (id == kIdMnuclose) {
      Raise(&Form1Events::mnuclose_Click);
    }
    return;
  }
  // BN_CLICKED and STN_CLICKED are both 0.
  if (code != BN_CLICKED) {
    return;
  }
  switch (id) {
    case kIdChkmess:
      chkmess_.OnUserClick();
      break;
    case kIdChkStartup:
      chkStartup_.OnUserClick();
      break;
    case kIdChkHideOnStart:
      chkHideOnStart_.OnUserClick();
      break;
    case kIdCommand1:
      Raise(&Form1Events::Command1_Click);
      break;
    case kIdCommand2:
      Raise(&Form1Events::Command2_Click);
      break;
    case kIdLabel3:
      Raise(&Form1Events::Label3_Click);
      break;
    default:
      break;
  }
}

LRESULT Form1Window::OnControlColour(HDC dc, HWND control) {
  // Labels, check boxes and the frame lie on the button-face colour.
  COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
  const ControlLayout* layout =
      layout::FindControl(static_cast<Form1ControlId>(::GetDlgCtrlID(control)));
  if (layout != nullptr && layout->colour.has_value()) {
    text = ToColorRef(*layout->colour);
  }
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

void Form1Window::OnDrawItem(const DRAWITEMSTRUCT& item) {
  switch (item.CtlID) {
    case kIdImage1:
      Image1_.Draw(item);
      break;
    case kIdPicture1:
      Picture1_.Draw(item);
      break;
    case kIdLine2:
      ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_WINDOWTEXT));
      break;
    default:
      break;
  }
}

bool Form1Window::OnSetCursor(HWND under_cursor, int hit_test) {
  if (wait_cursor_depth_ > 0) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return true;
  }
  if (hit_test == HTCLIENT && under_cursor != nullptr && under_cursor == Control(kIdLabel3)) {
    // The hand is missing only on systems older than this program supports;
    // the arrow stays then.
    if (HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND)) {
      ::SetCursor(hand);
      return true;
    }
  }
  return false;
}

void Form1Window::ShowPage(int page) {
  // Hide first, so two pages never show at once.
  for (const ControlLayout& layout : layout::kControls) {
    if (layout.page != TabPage::kNone && !IsOnPage(layout, page)) {
      ::ShowWindow(Control(layout.id), SW_HIDE);
    }
  }
  for (const ControlLayout& layout : layout::kControls) {
    if (IsOnPage(layout, page)) {
      ::ShowWindow(Control(layout.id), SW_SHOWNA);
    }
  }
  // The focus never stays on a control that can no longer be seen.
  HWND focused = ::GetFocus();
  if (focused != nullptr && ::IsChild(window_, focused) && !::IsWindowVisible(focused)) {
    ::SetFocus(Control(kIdSSTab1));
  }
}

WindowState Form1Window::State() const {
  return window_ != nullptr && ::IsIconic(window_) ? WindowState::kMinimized : WindowState::kNormal;
}

void Form1Window::SetState(WindowState state) {
  const unsigned before = resizes_;
  if (window_ != nullptr) {
    // Shows the window as well when it is hidden, as a change of state does.
    ::ShowWindow(window_, state == WindowState::kMinimized ? SW_MINIMIZE : SW_RESTORE);
  }
  // A window already in that state gets no WM_SIZE; the resize is raised
  // all the same, and always before this returns.
  if (resizes_ == before) {
    Raise(&Form1Events::Form_Resize);
  }
}

bool Form1Window::IsVisible() const {
  return window_ != nullptr && ::IsWindowVisible(window_) != FALSE;
}

void Form1Window::Show() {
  if (window_ != nullptr) {
    ::ShowWindow(window_, SW_SHOW);
  }
}

void Form1Window::Hide() {
  // A hidden top-level window has no taskbar button.
  if (window_ != nullptr) {
    ::ShowWindow(window_, SW_HIDE);
  }
}

void Form1Window::Unload() {
  UnloadFor(UnloadReason::kClose);
}

void Form1Window::UnloadFor(UnloadReason reason) {
  // Once only, whether by the close box, the tray menu or the end of the
  // session, and even when one of them arrives during the unload itself.
  if (unload_started_) {
    return;
  }
  unload_started_ = true;
  Raise(&Form1Events::Form_Unload, reason);
  unloaded_ = true;
  // WM_DESTROY ends the message loop; if the window can't be destroyed the
  // program ends all the same.
  if (window_ == nullptr || !::DestroyWindow(window_)) {
    ::PostQuitMessage(0);
  }
}

bool Form1Window::SetForeground() {
  return window_ != nullptr && ::SetForegroundWindow(window_) != FALSE;
}

void Form1Window::PopupTrayMenu() {
  HMENU popup = ::GetSubMenu(menutray_.Get(), 0);
  if (window_ == nullptr || popup == nullptr) {
    return;
  }
  POINT at = {};
  if (!::GetCursorPos(&at)) {
    // Where the pointer was when the tray's message was sent.
    const DWORD position = ::GetMessagePos();
    at.x = static_cast<short>(LOWORD(position));
    at.y = static_cast<short>(HIWORD(position));
  }
  // The menu closes on a click elsewhere only when its window is in the
  // foreground; refused, the menu opens all the same.
  ::SetForegroundWindow(window_);
  // A chosen item arrives as WM_COMMAND; nothing chosen is no error.
  ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
  // Without a message after the menu, the next opening would not close on a
  // click elsewhere. A failed post costs only that.
  ::PostMessageW(window_, WM_NULL, 0, 0);
}

void Form1Window::SetWaitCursor(bool busy) {
  if (busy) {
    ++wait_cursor_depth_;
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return;
  }
  if (wait_cursor_depth_ > 0 && --wait_cursor_depth_ == 0) {
    // The next move of the pointer sets the right cursor for where it is.
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  }
}

void Form1Window::ShowMessage(std::wstring_view text, std::wstring_view caption, MessageIcon icon) {
  UINT flags = MB_OK;
  switch (icon) {
    case MessageIcon::kInformation:
      flags |= MB_ICONINFORMATION;
      break;
    case MessageIcon::kWarning:
      flags |= MB_ICONWARNING;
      break;
    case MessageIcon::kNone:
      break;
  }
  const std::wstring terminated_text(text);
  const std::wstring terminated_caption(caption);
  // The only answer is OK; a box that could not be shown has nothing to
  // report either.
  ::MessageBoxW(window_, terminated_text.c_str(), terminated_caption.c_str(), flags);
}

}  // namespace quellnet::platform::win32
