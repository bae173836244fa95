#include "platform/win32/shell/wait_notice_win32.h"

#include <string>

namespace quellnet::platform::win32 {
namespace {

// The text's width and the margin around it, in heights of the font's line.
constexpr int kTextWidthInLines = 22;
constexpr int kMarginInLines = 1;

LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // Alt+F4 would close it, though the wait goes on: the wait ends it.
  if (message == WM_CLOSE) {
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

bool RegisterNoticeClass(HINSTANCE instance, const wchar_t* class_name) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = NoticeProc;
  window_class.hInstance = instance;
  // The pointer over it says that something is under way.
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_APPSTARTING);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = class_name;
  return ::RegisterClassExW(&window_class) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The font of message boxes, which the notice is one of in all but name;
// nullptr when the system does not tell it.
HFONT MessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  return ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)
             ? ::CreateFontIndirectW(&metrics.lfMessageFont)
             : nullptr;
}

// The rectangle `text` takes in `font`, broken into lines of a width that
// suits the font, and the font's line height; both empty when the screen
// can't be measured.
RECT MeasureText(HFONT font, const std::wstring& text, int& line_height) {
  RECT rect{};
  line_height = 0;
  const ScopedGetDc screen(nullptr);
  if (!screen) {
    return rect;
  }
  // Without the font the system's is measured, as the label then shows it.
  const ScopedSelectObject selected(screen.Get(), font);
  TEXTMETRICW metrics{};
  if (::GetTextMetricsW(screen.Get(), &metrics)) {
    line_height = metrics.tmHeight;
    rect.right = kTextWidthInLines * line_height;
    ::DrawTextW(screen.Get(), text.c_str(), -1, &rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  }
  return rect;
}

// Sizes the window around the text and puts it in the middle of the work area.
void Place(HWND window, HWND label, HFONT font, const std::wstring& text) {
  int line = 0;
  const RECT inside = MeasureText(font, text, line);
  const int margin = kMarginInLines * line;
  RECT outer{0, 0, inside.right + 2 * margin, inside.bottom + 2 * margin};
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
  RECT area{};
  if (!::AdjustWindowRectEx(&outer, style, FALSE, ex_style) ||
      !::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
    return;  // left where and as large as it was made
  }
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  ::SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(label, nullptr, margin, margin, inside.right, inside.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

WaitNotice::WaitNotice(std::wstring_view class_name, std::wstring_view title,
                       std::wstring_view text) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const std::wstring notice_class(class_name);
  if (!RegisterNoticeClass(instance, notice_class.c_str())) {
    return;
  }
  const std::wstring caption(title);
  window_ =
      ::CreateWindowExW(WS_EX_APPWINDOW, notice_class.c_str(), caption.c_str(),
                        WS_POPUP | WS_CAPTION, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  label_ = window_ != nullptr
               ? ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0,
                                   0, window_, nullptr, instance, nullptr)
               : nullptr;
  if (label_ == nullptr) {
    return;  // the destructor takes the window, if any
  }
  font_.Reset(MessageFont());
  if (font_) {
    ::SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  }
  SetText(text);
  ::ShowWindow(window_, SW_SHOWNORMAL);
  ::UpdateWindow(window_);
}

WaitNotice::~WaitNotice() {
  // Takes the label with it, so that the font is no longer in use. Fails
  // only for a window already gone.
  if (window_ != nullptr) {
    ::DestroyWindow(window_);
  }
}

void WaitNotice::SetText(std::wstring_view text) {
  if (label_ == nullptr) {
    return;
  }
  const std::wstring shown(text);
  ::SetWindowTextW(label_, shown.c_str());
  Place(window_, label_, static_cast<HFONT>(font_.Get()), shown);
}

}  // namespace quellnet::platform::win32
