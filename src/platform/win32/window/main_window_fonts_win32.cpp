#include "platform/win32/window/main_window_fonts_win32.h"

#include <algorithm>
#include <utility>

#include "platform/win32/window/dpi_win32.h"

namespace quellnet::platform::win32 {
namespace {

using layout::ControlLayout;
using layout::FontStyle;

// The face that stands in for the layout's face at a height it does not
// have: the TrueType member of the "MS Sans Serif" family, made to its
// metrics, which every Windows from 2000 on has.
constexpr wchar_t kScalableFace[] = L"Microsoft Sans Serif";

LOGFONTW Describe(std::wstring_view face, const FontStyle& style, int pixel_height) {
  LOGFONTW font = {};
  // Negative: the height of the characters themselves, without the leading
  // above them, as a point size means.
  font.lfHeight = -pixel_height;
  font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  font.lfUnderline = style.underline ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  // Where the face is missing the font mapper picks the nearest sans serif.
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  // The record is zeroed, so a face cut to fit stays terminated.
  face.copy(font.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  return font;
}

// A font selected into a memory DC for as long as it is measured.
class Selected {
 public:
  Selected(HDC dc, const UniqueGdiObject& font) : dc_(dc), selected_(dc, font.Get()) {}
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

  // What the font came back as; all 0 when it can't be read.
  TEXTMETRICW Metrics() const {
    TEXTMETRICW metrics = {};
    if (!selected_ || !::GetTextMetricsW(dc_, &metrics)) {
      metrics = {};
    }
    return metrics;
  }
  // The height of the characters themselves, without the leading above them.
  int CharacterHeight() const {
    const TEXTMETRICW metrics = Metrics();
    return metrics.tmHeight - metrics.tmInternalLeading;
  }
  // The width of `text` on one line; 0 when it can't be measured.
  int Width(std::wstring_view text) const {
    SIZE size = {};
    return selected_ &&
                   ::GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size)
               ? size.cx
               : 0;
  }

 private:
  HDC dc_;
  ScopedSelectObject selected_;
};

// What a stand-in face is held to, for the texts of one style.
struct Widths {
  HDC dc;
  std::span<const ControlLayout> controls;
  FontStyle style;
  int dpi;
  int height;  // of the characters asked for
  // The layout's face at its 96-DPI size and the height it came back at.
  const UniqueGdiObject& design;
  int design_height;

  // How much narrower `font` has to be for every text of the style to be no
  // wider for its height than in the layout's face, and, in a control too
  // low for a second line, to fit on one line: the least ratio of allowed to
  // measured width, 1 or more where everything fits already.
  double Room(const UniqueGdiObject& font) const {
    const Selected stand_in(dc, font);
    const int line = stand_in.Metrics().tmHeight;
    double room = 1.0;
    for (const ControlLayout& control : controls) {
      // The window draws the pictures and the line; their text, never
      // drawn, only names them for screen readers.
      const bool drawn = control.kind != layout::ControlKind::kImage &&
                         control.kind != layout::ControlKind::kPictureBox &&
                         control.kind != layout::ControlKind::kLine;
      if (control.font != style || control.text.empty() || !drawn) {
        continue;
      }
      const int wide = stand_in.Width(control.text);
      double allowed =
          static_cast<double>(Selected(dc, design).Width(control.text)) * height / design_height;
      const layout::PixelRect place = layout::ControlPixels(controls, control, dpi);
      if (place.height < 2 * line) {
        // A check box's text starts after its box, about as wide as it is high.
        const int kept = control.kind == layout::ControlKind::kCheckBox ? place.height : 0;
        allowed = std::min<double>(allowed, place.width - kept);
      }
      if (wide > 0 && allowed > 0 && wide > allowed) {
        room = std::min(room, allowed / wide);
      }
    }
    return room;
  }
};

// The font the controls of `style` are drawn in at `dpi`: the layout's
// `face`, unless above 96 DPI it does not come back at the height asked for;
// then "Microsoft Sans Serif" (the TrueType member of the "MS Sans Serif"
// family, made to its metrics) at that height, or where the system lacks it
// the TrueType face the font mapper offers instead. Such a stand-in is
// narrowed where needed, so that no text of `controls` in that style is
// wider for its height than the layout's face draws it at 96 DPI (the layout
// was made for those widths), and none in a control too low for a second
// line wraps. Empty when no font could be made at all.
UniqueGdiObject MakeControlFont(FontMaker make, std::wstring_view face, const FontStyle& style,
                                int dpi, std::span<const ControlLayout> controls) {
  const int height = layout::FontPixelHeight(style, dpi);
  const LOGFONTW wanted = Describe(face, style, height);
  UniqueGdiObject font(make(wanted));
  const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  // At 96 DPI, wherever the face came back at the height asked for, and
  // without a DC to measure in: the layout's face as the mapper gives it.
  if (!font || !dc || dpi <= kDefaultDpi || Selected(dc.Get(), font).CharacterHeight() == height) {
    return font;
  }
  // Where the system lacks that face, the font mapper offers the TrueType
  // face nearest to it.
  LOGFONTW scalable_description = Describe(kScalableFace, style, height);
  scalable_description.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  UniqueGdiObject scalable(make(scalable_description));
  const UniqueGdiObject design(
      make(Describe(face, style, layout::FontPixelHeight(style, kDefaultDpi))));
  const int design_height = design ? Selected(dc.Get(), design).CharacterHeight() : 0;
  if (!scalable) {
    return font;  // small text rather than none
  }
  if (design_height <= 0) {
    return scalable;
  }
  const Widths widths{dc.Get(), controls, style, dpi, height, design, design_height};
  const double room = widths.Room(scalable);
  if (room >= 1.0) {
    return scalable;
  }
  // A font is narrowed by its average character width, in whole pixels;
  // each step down is measured again, as glyphs keep whole-pixel advances.
  // Not below three quarters, which would no longer read as the same face.
  const int average = Selected(dc.Get(), scalable).Metrics().tmAveCharWidth;
  UniqueGdiObject narrowest;
  for (int width = static_cast<int>(average * room); width > 0 && 4 * width >= 3 * average;
       --width) {
    scalable_description.lfWidth = width;
    UniqueGdiObject narrowed(make(scalable_description));
    if (!narrowed || widths.Room(narrowed) >= 1.0) {
      return narrowed ? std::move(narrowed) : std::move(scalable);
    }
    narrowest = std::move(narrowed);
  }
  return narrowest ? std::move(narrowest) : std::move(scalable);
}

}  // namespace

HFONT MakeGdiFont(const LOGFONTW& font) {
  return ::CreateFontIndirectW(&font);
}

void ControlFonts::Apply(HWND parent, std::wstring_view face,
                         std::span<const ControlLayout> controls, int dpi, bool redraw) {
  // Every font is made before any control changes, so that an error here
  // leaves every control with a font that is still there.
  std::vector<Font> made;
  made.reserve(controls.size());
  for (const ControlLayout& control : controls) {
    const auto same_style = [&](const Font& font) { return font.style == control.font; };
    if (std::none_of(made.begin(), made.end(), same_style)) {
      made.push_back({control.font, MakeControlFont(make_, face, control.font, dpi, controls)});
    }
  }
  for (Font& font : made) {
    if (!font.font) {
      // Not made: the controls of this style keep the font they have.
      const auto kept = std::find_if(fonts_.begin(), fonts_.end(),
                                     [&](const Font& old) { return old.style == font.style; });
      if (kept != fonts_.end()) {
        font.font = std::move(kept->font);
      }
    }
  }
  for (const ControlLayout& control : controls) {
    HWND window = parent != nullptr ? ::GetDlgItem(parent, control.id) : nullptr;
    const auto font = std::find_if(made.begin(), made.end(),
                                   [&](const Font& font) { return font.style == control.font; });
    if (window != nullptr && font->font) {
      ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->font.Get()),
                     redraw ? TRUE : FALSE);
    }
  }
  // The fonts no control uses any more go here.
  fonts_ = std::move(made);
}

HFONT ControlFonts::FontOf(const FontStyle& style) const {
  for (const Font& font : fonts_) {
    if (font.style == style) {
      return static_cast<HFONT>(font.font.Get());
    }
  }
  return nullptr;
}

}  // namespace quellnet::platform::win32
