// What a window made from a table looks like: each control with its kind,
// place and size in twips, its text, font, colour and alignment, and the
// arithmetic that turns twips into pixels on a screen of a given DPI. No
// Windows header here, so the application can describe its window and the
// tests can use the same table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quellnet::platform::layout {

// 1440 twips to the inch.
inline constexpr int kTwipsPerInch = 1440;

enum class ControlKind {
  kImage,  // the window's banner
  kLine,
  kTabControl,
  kLabel,
  kLink,     // a label that reports its clicks, under the hand cursor
  kTextBox,  // a value the user reads and may select and copy, not edit
  kCheckBox,
  kPictureBox,
  kFrame,
  kCommandButton,
};

// The container 0 is the window's client area; any other is the id of the
// control whose top-left corner a control's place is measured from.
inline constexpr int kOnWindow = 0;
// The page of the tab control a control lies on; kNoPage for controls on the
// window itself.
inline constexpr int kNoPage = -1;

enum class Alignment { kLeft, kCenter };

struct FontStyle {
  int centipoints;  // 825 for 8.25 pt
  bool bold;
  bool underline;
  friend constexpr bool operator==(const FontStyle&, const FontStyle&) = default;
};

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct PixelRect {
  int left;
  int top;
  int width;
  int height;
  constexpr int right() const { return left + width; }
  constexpr int bottom() const { return top + height; }
  friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A text colour as 0xRRGGBB; nullopt for the system's text colour.
using Colour = std::optional<std::uint32_t>;

struct ControlLayout {
  int id;
  ControlKind kind;
  int container;
  int page;
  TwipsRect twips;  // relative to the container
  std::wstring_view text;
  Alignment alignment;
  FontStyle font;
  Colour colour;
  bool tab_stop;
};

// A bitmap resource of the program file drawn for screens of `dpi`.
struct BannerResource {
  int dpi;
  std::wstring_view name;
};

// What the window takes from the program file's resources, by their ids and
// names there: its icon (also the tray's), the tray's pop-up menu and those
// of its items that report their clicks, and its banner (the kImage control)
// as drawn for each DPI, ascending.
struct WindowResources {
  int icon;
  int tray_menu;
  std::span<const int> menu_items;
  std::span<const BannerResource> banners;
};

// What a picture box's picture shows, for those who can't see it: the
// picture file `file` is named `name` (a screen reader reads it).
struct PictureName {
  std::wstring_view file;
  std::wstring_view name;
};

// A whole window: its class and caption, its client area, the face of its
// fonts, every control in the order of the windows' stacking, top first, the
// captions of its tab control's pages, its resources and the names of the
// pictures its picture boxes show.
struct WindowLayout {
  std::wstring_view class_name;
  std::wstring_view caption;
  // Captions the window's message boxes: the program's title.
  std::wstring_view message_caption;
  TwipsRect client;
  std::wstring_view font_face;
  std::span<const ControlLayout> controls;
  std::span<const std::wstring_view> pages;
  WindowResources resources;
  std::span<const PictureName> picture_names;
};

constexpr const ControlLayout* FindControl(std::span<const ControlLayout> controls, int id) {
  for (const ControlLayout& layout : controls) {
    if (layout.id == id) {
      return &layout;
    }
  }
  return nullptr;
}

// The place of a container measured from the client area.
constexpr TwipsRect ContainerOrigin(std::span<const ControlLayout> controls, int container) {
  const ControlLayout* layout = FindControl(controls, container);
  if (layout == nullptr) {
    return {0, 0, 0, 0};  // the window's client area
  }
  const TwipsRect outer = ContainerOrigin(controls, layout->container);
  return {outer.left + layout->twips.left, outer.top + layout->twips.top, layout->twips.width,
          layout->twips.height};
}

// The control's place measured from the client area.
constexpr TwipsRect AbsoluteTwips(std::span<const ControlLayout> controls,
                                  const ControlLayout& layout) {
  const TwipsRect origin = ContainerOrigin(controls, layout.container);
  return {origin.left + layout.twips.left, origin.top + layout.twips.top, layout.twips.width,
          layout.twips.height};
}

// Twips to pixels at `dpi` dots per inch, to the nearest pixel.
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  const long long half = kTwipsPerInch / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                      : -((-scaled + half) / kTwipsPerInch));
}

// A rectangle in pixels at `dpi` (the same across and down, as every screen
// Windows drives has). Its edges are converted, not its size, so that
// controls that touch in twips touch in pixels too.
constexpr PixelRect ToPixels(const TwipsRect& twips, int dpi) {
  const int left = TwipsToPixels(twips.left, dpi);
  const int top = TwipsToPixels(twips.top, dpi);
  return {left, top, TwipsToPixels(twips.left + twips.width, dpi) - left,
          TwipsToPixels(twips.top + twips.height, dpi) - top};
}

// Where the control's window goes in the client area at `dpi`. A line is
// one pixel thick whatever the DPI.
constexpr PixelRect ControlPixels(std::span<const ControlLayout> controls,
                                  const ControlLayout& layout, int dpi) {
  PixelRect rect = ToPixels(AbsoluteTwips(controls, layout), dpi);
  if (layout.kind == ControlKind::kLine) {
    rect.height = 1;
  }
  return rect;
}

// The height of a font's characters in pixels (as a negative LOGFONT height
// asks for), at `dpi` dots per inch.
constexpr int FontPixelHeight(const FontStyle& font, int dpi) {
  return (font.centipoints * dpi + 3600) / 7200;
}

}  // namespace quellnet::platform::layout
