// The committed pictures in res/ (drawn by tools/make_artwork.py) have the
// forms the program and Windows expect: the banner and the status pictures
// decode with the program's own GIF decoder to opaque pictures of the right
// size and colours, the icon has its two 16-colour images.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/gif_image.h"

namespace {

using quellnet::platform::DecodeGif;
using quellnet::platform::GifImage;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadResource(const char* name) {
  const std::filesystem::path path =
      std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "res" / name;
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file.good()) << path;
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int Word(const Bytes& b, std::size_t at) {
  return b.at(at) | (b.at(at + 1) << 8);
}

std::optional<GifImage> DecodeResource(const char* name) {
  return DecodeGif(ReadResource(name));
}

// How many pixels are mostly red and how many mostly green.
std::pair<int, int> RedAndGreen(const GifImage& picture) {
  int red = 0;
  int green = 0;
  for (std::uint32_t pixel : picture.pixels) {
    const int r = (pixel >> 16) & 0xFF;
    const int g = (pixel >> 8) & 0xFF;
    red += r > g + 64 ? 1 : 0;
    green += g > r + 64 ? 1 : 0;
  }
  return {red, green};
}

TEST(Artwork, BannerIsAnOpaque380By60PictureOfManyColours) {
  const std::optional<GifImage> banner = DecodeResource("banner.gif");
  ASSERT_TRUE(banner.has_value());
  EXPECT_EQ(banner->width, 380);
  EXPECT_EQ(banner->height, 60);
  EXPECT_FALSE(banner->HasTransparency());
  // A picture, not a flat fill: many colours are used.
  const std::set<std::uint32_t> used(banner->pixels.begin(), banner->pixels.end());
  EXPECT_GT(used.size(), 128u);
}

TEST(Artwork, StatusPicturesFitThePictureBoxAndAreGreenAndRed) {
  const std::optional<GifImage> green = DecodeResource("green.gif");
  const std::optional<GifImage> red = DecodeResource("red.gif");
  ASSERT_TRUE(green.has_value());
  ASSERT_TRUE(red.has_value());
  // Picture1 is 375 twips square: 25 pixels at 96 DPI.
  for (const GifImage* picture : {&*green, &*red}) {
    EXPECT_EQ(picture->width, 25);
    EXPECT_EQ(picture->height, 25);
    EXPECT_FALSE(picture->HasTransparency());
  }
  const auto [green_reds, green_greens] = RedAndGreen(*green);
  const auto [red_reds, red_greens] = RedAndGreen(*red);
  EXPECT_GT(green_greens, 100);
  EXPECT_EQ(green_reds, 0);
  EXPECT_GT(red_reds, 100);
  EXPECT_EQ(red_greens, 0);
}

TEST(Artwork, IconHoldsA32And16PixelImageOf16ColoursEach) {
  const Bytes icon = ReadResource("quellnet.ico");
  ASSERT_GE(icon.size(), 6u);
  EXPECT_EQ(Word(icon, 0), 0);
  EXPECT_EQ(Word(icon, 2), 1);  // an icon, not a cursor
  ASSERT_EQ(Word(icon, 4), 2);
  std::vector<int> sizes;
  for (int i = 0; i < 2; ++i) {
    const std::size_t entry = 6 + 16 * i;
    const int size = icon.at(entry);
    sizes.push_back(size);
    EXPECT_EQ(icon.at(entry + 1), size);
    EXPECT_EQ(icon.at(entry + 2), 16);    // colours
    EXPECT_EQ(Word(icon, entry + 6), 4);  // bits a pixel
    const std::size_t length = Word(icon, entry + 8) | (Word(icon, entry + 10) << 16);
    const std::size_t offset = Word(icon, entry + 12) | (Word(icon, entry + 14) << 16);
    ASSERT_LE(offset + length, icon.size());
    // The image is a DIB of that size, twice as high for its AND mask.
    EXPECT_EQ(Word(icon, offset), 40);
    EXPECT_EQ(Word(icon, offset + 4), size);
    EXPECT_EQ(Word(icon, offset + 8), 2 * size);
    EXPECT_EQ(Word(icon, offset + 14), 4);
    // Header, 16 colours, the 4-bit image and the 1-bit mask, rows padded
    // to 4 bytes.
    const std::size_t mask_row = ((size + 31) / 32) * 4;
    EXPECT_EQ(length, 40 + 16 * 4 + size * size / 2 + size * mask_row);
  }
  EXPECT_EQ(sizes, (std::vector<int>{32, 16}));
}

}  // namespace
