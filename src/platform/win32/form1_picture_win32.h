// GIF pictures, decoded by the program's own decoder into a DIB section and
// drawn at their natural size: the banner `Image1` and the status picture
// `Picture1`.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/win32/handles.h"

namespace quellnet::platform::win32 {

class Picture {
 public:
  // Empty when the file can't be read or is not a GIF picture.
  static Picture FromFile(const std::wstring& path);
  // A resource of a custom type; empty when it is missing or not a GIF
  // picture.
  static Picture FromResource(HINSTANCE instance, int id, const wchar_t* type);

  bool IsEmpty() const { return !bitmap_; }
  // Draws the picture with its top-left corner at (x, y), at the size in
  // pixels it was made at, its transparent parts in `background`; nothing
  // for an empty picture.
  void Draw(HDC dc, int x, int y, COLORREF background) const;

  Picture() = default;

 private:
  static Picture FromGif(std::span<const std::uint8_t> bytes);
  // Writes the picture into the DIB with its transparent parts in
  // `background`.
  void Compose(COLORREF background) const;

  UniqueGdiObject bitmap_;  // a 32-bit top-down DIB section
  int width_ = 0;
  int height_ = 0;
  // Only for a picture with transparent parts: the decoded pixels, and the
  // background the DIB holds them on now.
  std::vector<std::uint32_t> pixels_;
  mutable std::optional<COLORREF> composed_on_;
};

}  // namespace quellnet::platform::win32
