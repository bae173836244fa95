// The fonts of a window's controls, made from its layout table for the DPI
// the window is shown at.
//
// At 96 DPI each font is the layout's face at the size the layout names. A
// raster face such as "MS Sans Serif" has only a few sizes, though, and for a
// height it lacks the font mapper returns the nearest one it has: above
// 100 % the text would stay small in controls laid out larger. So the height
// each font comes back at is read, and one that is not the height asked for
// is made again in a TrueType face of the same weight and style at that
// height.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include <windows.h>

#include "platform/win32/system/handles.h"
#include "platform/window_layout.h"

namespace quellnet::platform::win32 {

// Makes a GDI font; null when the system can't. CreateFontIndirectW, or a
// stand-in in tests.
using FontMaker = HFONT (*)(const LOGFONTW& font);
HFONT MakeGdiFont(const LOGFONTW& font);

class ControlFonts {
 public:
  explicit ControlFonts(FontMaker make = &MakeGdiFont) : make_(make) {}

  // Makes the fonts of `controls` at `dpi`, then gives each of the controls
  // that `parent` has its font (`parent` may be null). A font that can't be
  // made leaves the controls of its style with the font they have, which
  // is kept as long as they use it; the fonts that no control uses any more
  // are deleted. Throws (std::bad_alloc) only before any control changed.
  void Apply(HWND parent, std::wstring_view face, std::span<const layout::ControlLayout> controls,
             int dpi, bool redraw);
  // The font of `style` since the last Apply; null when it has none.
  HFONT FontOf(const layout::FontStyle& style) const;

 private:
  struct Font {
    layout::FontStyle style;
    UniqueGdiObject font;
  };

  FontMaker make_;
  std::vector<Font> fonts_;
};

}  // namespace quellnet::platform::win32
