// The main window at its monitor's density: the window's size, its icons,
// the controls' fonts and the banner made for the current DPI, and the whole
// layout again when the window moves to a monitor of another DPI.
#include "platform/win32/window/dpi_win32.h"
#include "platform/win32/window/main_window_win32.h"

// After <windows.h>.
#include <commctrl.h>

namespace quellnet::platform::win32 {

void TableMainWindow::LoadBanner() {
  const std::span<const layout::BannerResource> banners = layout_.resources.banners;
  if (banners.empty()) {
    return;
  }
  // The one drawn for this DPI, or the nearest larger one scaled down: a
  // reduction stays sharp where an enlargement would not. Above the largest
  // only that one is left to enlarge.
  const layout::BannerResource* banner = &banners.back();
  for (const layout::BannerResource& candidate : banners) {
    if (candidate.dpi >= dpi_) {
      banner = &candidate;
      break;
    }
  }
  // Without its banner the window still works; the space stays empty, or
  // keeps the banner it had.
  banner_.Show(
      Picture::FromBitmapResource(instance_, std::wstring(banner->name).c_str(), banner->dpi));
}

SIZE TableMainWindow::OuterSize(int dpi) const {
  const layout::PixelRect client = layout::ToPixels(layout_.client, dpi);
  RECT frame = {0, 0, client.width, client.height};
  if (!AdjustWindowRectForDpi(frame, kStyle, 0, dpi)) {
    return SIZE{0, 0};
  }
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void TableMainWindow::LoadWindowIcons() {
  // Each at the size the system draws it at this DPI, so nothing is scaled.
  // A missing icon leaves the system's default in its place.
  UniqueIcon big(static_cast<HICON>(
      ::LoadImageW(instance_, MAKEINTRESOURCEW(layout_.resources.icon), IMAGE_ICON,
                   SystemMetricForDpi(SM_CXICON, dpi_), SystemMetricForDpi(SM_CYICON, dpi_), 0)));
  UniqueIcon small(static_cast<HICON>(::LoadImageW(
      instance_, MAKEINTRESOURCEW(layout_.resources.icon), IMAGE_ICON,
      SystemMetricForDpi(SM_CXSMICON, dpi_), SystemMetricForDpi(SM_CYSMICON, dpi_), 0)));
  if (window_ != nullptr) {
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
  }
  // The window no longer uses the old ones, which go here.
  big_icon_ = std::move(big);
  small_icon_ = std::move(small);
}

void TableMainWindow::ApplyFonts() {
  // A window not yet shown has nothing to redraw.
  fonts_.Apply(window_, layout_.font_face, layout_.controls, dpi_,
               ::IsWindowVisible(window_) != FALSE);
  // The tabs of one width across the row; a height of 0 lets the tab
  // control take the height its new font gives it.
  HWND tab = Control(tab_id_);
  if (tab != nullptr && !layout_.pages.empty()) {
    const int width = layout::ControlPixels(layout_.controls, *Layout(tab_id_), dpi_).width;
    const int tab_width = (width - 4) / static_cast<int>(layout_.pages.size());
    ::SendMessageW(tab, TCM_SETITEMSIZE, 0, MAKELPARAM(tab_width, 0));
  }
}

void TableMainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  if (dpi <= 0 || window_ == nullptr) {
    return;
  }
  dpi_ = dpi;
  for (const layout::ControlLayout& layout : layout_.controls) {
    const layout::PixelRect place = layout::ControlPixels(layout_.controls, layout, dpi_);
    // A control that refuses keeps its old place; the others still move.
    if (HWND control = Control(layout.id)) {
      ::SetWindowPos(control, nullptr, place.left, place.top, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  ApplyFonts();
  LoadWindowIcons();
  LoadBanner();
  // Refused, the window keeps its old rectangle; its controls are laid out
  // for the new DPI all the same.
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace quellnet::platform::win32
