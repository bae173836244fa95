// The colours the main window's labels and check boxes are drawn in: the
// system's scheme, and the link's own blue only where it can be read.
#include <cmath>

#include "platform/win32/window/main_window_win32.h"
#include "platform/win32/window/readable_colour_win32.h"

namespace quellnet::platform::win32 {
namespace {

// The least contrast that text needs against its background (WCAG 2).
constexpr double kLegibleContrast = 4.5;

COLORREF ToColorRef(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Relative luminance, from 0 (black) to 1 (white), of an sRGB colour.
double Luminance(COLORREF colour) {
  const auto linear = [](int channel) {
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(GetRValue(colour)) + 0.7152 * linear(GetGValue(colour)) +
         0.0722 * linear(GetBValue(colour));
}

double Contrast(COLORREF first, COLORREF second) {
  const double a = Luminance(first);
  const double b = Luminance(second);
  return (std::fmax(a, b) + 0.05) / (std::fmin(a, b) + 0.05);
}

bool HighContrastOn() {
  HIGHCONTRASTW contrast = {};
  contrast.cbSize = sizeof contrast;
  // Unanswered, the scheme counts as an ordinary one.
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

// A text colour of the window's own (the link's blue) where it can be read;
// the scheme's colour for links under a high-contrast scheme, and under any
// scheme whose button face it would hardly stand out from (blue on black
// reaches 2.4 : 1).
COLORREF ReadableColour(COLORREF own, COLORREF face, COLORREF scheme_link, bool high_contrast) {
  return !high_contrast && Contrast(own, face) >= kLegibleContrast ? own : scheme_link;
}

LRESULT TableMainWindow::OnControlColour(HDC dc, HWND control) {
  // Labels, check boxes and the frame lie on the button-face colour.
  COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
  const layout::ControlLayout* layout = Layout(::GetDlgCtrlID(control));
  if (layout != nullptr && layout->colour.has_value()) {
    text = ReadableColour(ToColorRef(*layout->colour), ::GetSysColor(COLOR_BTNFACE),
                          ::GetSysColor(COLOR_HOTLIGHT), HighContrastOn());
  }
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

void TableMainWindow::OnSchemeChanged(WPARAM wparam, LPARAM lparam) {
  // The common controls learn of new system colours only from their parent.
  ::SendMessageW(Control(tab_id_), WM_SYSCOLORCHANGE, wparam, lparam);
  // Everything is drawn again in the new colours; the labels ask for theirs
  // as they paint.
  ::RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace quellnet::platform::win32
