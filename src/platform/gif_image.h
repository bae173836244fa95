// A GIF decoder of the program's own for the banner and the status pictures:
// the first image of a GIF87a or GIF89a file, as 32-bit pixels. No Windows
// header here, so the unit tests can check it; the window draws the pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quellnet::platform {

// No picture the program shows comes near these; a file that claims more is
// refused before any memory is taken for it.
inline constexpr int kLargestGifSide = 4096;
inline constexpr std::size_t kLargestGifArea = 4 * 1024 * 1024;

struct GifImage {
  // The size of the picture (the GIF's logical screen), in pixels.
  int width = 0;
  int height = 0;
  // width * height pixels, row by row from the top, each 0xAARRGGBB: alpha
  // 0xFF for a colour, 0 where the picture is transparent (the transparent
  // colour, and any part of the screen the first image does not cover).
  // In memory this is the layout of a 32-bit top-down DIB.
  std::vector<std::uint32_t> pixels;

  bool HasTransparency() const;
};

inline constexpr std::uint32_t kOpaque = 0xFF000000u;

// Decodes the first image of a GIF file: global and local colour tables,
// LZW data, interlaced rows, a transparent colour. Nullopt for anything that
// is not a whole, sound GIF image: a wrong signature, a size of 0 or beyond
// the limits above, no colour table, data that ends early or holds a code or
// a colour index that does not exist. Never reads outside `file`.
std::optional<GifImage> DecodeGif(std::span<const std::uint8_t> file);

}  // namespace quellnet::platform
