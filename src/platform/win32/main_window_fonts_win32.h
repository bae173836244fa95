// The fonts of a window's controls, made from its layout table for the DPI
// the window is shown at.
//
// At 96 DPI each font is the layout's face at the size the layout names. A
// raster face such as "MS Sans Serif" has only a few sizes, though, and for a
// height it lacks the font mapper returns the nearest one it has: above
// 100 % the text would stay small in controls laid out larger. So the height
// each font comes back at is read, and one that is not the height asked for
// is made again in a TrueType face of the same weight and style at that
// height (see MakeControlFont).
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/window_layout.h"

namespace quellnet::platform::win32 {

// Makes a GDI font; null when the system can't. CreateFontIndirectW, or a
// stand-in in tests.
using FontMaker = HFONT (*)(const LOGFONTW& font);
HFONT MakeGdiFont(const LOGFONTW& font);

// The font the controls of `style` are drawn in at `dpi`: the layout's
// `face`, unless above 96 DPI it does not come back at the height asked for;
// then "Microsoft Sans Serif" (the TrueType member of the "MS Sans Serif"
// family, made to its metrics) at that height, or where the system lacks it
// the TrueType face the font mapper offers instead. Such a stand-in is
// narrowed where needed, so that no text of `controls` in that style is
// wider for its height than the layout's face draws it at 96 DPI (the layout
// was made for those widths), and none in a control too low for a second
// line wraps. Empty when no font could be made at all.
UniqueGdiObject MakeControlFont(FontMaker make, std::wstring_view face,
                                const layout::FontStyle& style, int dpi,
                                std::span<const layout::ControlLayout> controls);

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
