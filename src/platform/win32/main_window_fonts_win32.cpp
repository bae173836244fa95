#include "platform/win32/main_window_fonts_win32.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/win32/dpi_win32.h"

namespace quellnet::platform::win32 {
namespace {

using layout::ControlLayout;
using layout::FontStyle;

// The faces that stand in for the layout's face at a height it does not
// have, in order: the TrueType member of the "MS Sans Serif" family, which
// every Windows from 2000 on has, then a TrueType face that those and Wine
// have.
constexpr const wchar_t* kScalableFaces[] = {L"Microsoft Sans Serif", L"Tahoma"};

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
  Selected(HDC dc, const UniqueGdiObject& font)
      : dc_(dc), previous_(::SelectObject(dc, font.Get())) {}
  ~Selected() {
    if (previous_ != nullptr) {
      ::SelectObject(dc_, previous_);
    }
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

  // The height of the characters the font came back with; 0 when it can't
  // be read.
  int CharacterHeight() const {
    TEXTMETRICW metrics;
    return previous_ != nullptr && ::GetTextMetricsW(dc_, &metrics)
               ? metrics.tmHeight - metrics.tmInternalLeading
               : 0;
  }
  int AverageWidth() const {
    TEXTMETRICW metrics;
    return previous_ != nullptr && ::GetTextMetricsW(dc_, &metrics) ? metrics.tmAveCharWidth : 0;
  }
  bool FaceIs(const wchar_t* face) const {
    wchar_t name[LF_FACESIZE] = {};
    return previous_ != nullptr && ::GetTextFaceW(dc_, LF_FACESIZE, name) > 0 &&
           ::lstrcmpiW(name, face) == 0;
  }
  // The width of `text` on one line; 0 when it can't be measured.
  int Width(std::wstring_view text) const {
    SIZE size = {};
    return previous_ != nullptr &&
                   ::GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size)
               ? size.cx
               : 0;
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

struct Made {
  UniqueGdiObject font;
  LOGFONTW description;
};

// The first of kScalableFaces that the system has, as `wanted` describes it
// otherwise; where it has none, the TrueType face the font mapper offers for
// the first. An empty font when not even that could be made.
Made Scalable(FontMaker make, HDC dc, LOGFONTW wanted) {
  wanted.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  Made offered{};
  for (const wchar_t* face : kScalableFaces) {
    std::fill(std::begin(wanted.lfFaceName), std::end(wanted.lfFaceName), L'\0');
    std::wstring_view(face).copy(wanted.lfFaceName, LF_FACESIZE - 1);
    Made candidate{UniqueGdiObject(make(wanted)), wanted};
    if (candidate.font && Selected(dc, candidate.font).FaceIs(face)) {
      return candidate;
    }
    if (!offered.font) {
      offered = std::move(candidate);
    }
  }
  return offered;
}

// How much narrower `font` has to be for every text of `style` in `controls`
// to be no wider for its height than in `design`, the layout's face at its
// 96-DPI height: the least ratio of the two widths, 1 or more where
// everything fits already.
double Room(HDC dc, const UniqueGdiObject& font, int height, const UniqueGdiObject& design,
            int design_height, const FontStyle& style, std::span<const ControlLayout> controls) {
  double room = 1.0;
  for (const ControlLayout& control : controls) {
    if (control.font != style || control.text.empty()) {
      continue;
    }
    const int wide = Selected(dc, font).Width(control.text);
    const int design_wide = Selected(dc, design).Width(control.text);
    const double allowed = static_cast<double>(design_wide) * height / design_height;
    if (wide > 0 && design_wide > 0 && wide > allowed) {
      room = std::min(room, allowed / wide);
    }
  }
  return room;
}

}  // namespace

HFONT MakeGdiFont(const LOGFONTW& font) {
  return ::CreateFontIndirectW(&font);
}

UniqueGdiObject MakeControlFont(FontMaker make, std::wstring_view face, const FontStyle& style,
                                int dpi, std::span<const ControlLayout> controls) {
  const int height = layout::FontPixelHeight(style, dpi);
  const LOGFONTW wanted = Describe(face, style, height);
  UniqueGdiObject font(make(wanted));
  // Without a DC to measure in, the layout's face as the mapper gives it.
  const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!font || !dc || Selected(dc.Get(), font).CharacterHeight() == height) {
    return font;
  }
  Made scalable = Scalable(make, dc.Get(), wanted);
  const int design_height = layout::FontPixelHeight(style, kDefaultDpi);
  const UniqueGdiObject design(make(Describe(face, style, design_height)));
  if (!scalable.font) {
    return font;  // small text rather than none
  }
  if (!design) {
    return std::move(scalable.font);
  }
  const double room = Room(dc.Get(), scalable.font, height, design, design_height, style, controls);
  if (room >= 1.0) {
    return std::move(scalable.font);
  }
  // A font is narrowed by its average character width, in whole pixels;
  // each step down is measured again, as glyphs keep whole-pixel advances.
  const int average = Selected(dc.Get(), scalable.font).AverageWidth();
  for (int width = static_cast<int>(average * room); width > 0; --width) {
    scalable.description.lfWidth = width;
    UniqueGdiObject narrowed(make(scalable.description));
    if (!narrowed) {
      break;
    }
    if (Room(dc.Get(), narrowed, height, design, design_height, style, controls) >= 1.0) {
      return narrowed;
    }
  }
  return std::move(scalable.font);
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
