// The committed pictures in res/ (drawn by tools/make_artwork.py) have the
// forms the program and Windows expect: the banner and the status pictures
// are whole, decodable GIFs of the right size, the icon has its two 16-colour
// images.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

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

struct Gif {
  int width = 0;
  int height = 0;
  int global_colours = 0;  // 0 when there is no global colour table
  int frames = 0;
  bool transparency = false;
  bool local_colour_table = false;
  std::vector<int> first_frame;  // colour indices, row by row
};

// Decodes the LZW data of one image into colour indices.
std::optional<std::vector<int>> DecodeLzw(const Bytes& data, int min_code_size) {
  const int clear = 1 << min_code_size;
  const int end = clear + 1;
  std::vector<std::vector<int>> table;
  const auto reset = [&] {
    table.clear();
    for (int i = 0; i < clear + 2; ++i) {
      table.push_back(i < clear ? std::vector<int>{i} : std::vector<int>{});
    }
  };
  reset();
  int size = min_code_size + 1;
  std::vector<int> out;
  std::optional<std::vector<int>> previous;
  std::size_t bit = 0;
  while (bit + size <= data.size() * 8) {
    int code = 0;
    for (int i = 0; i < size; ++i, ++bit) {
      code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
    }
    if (code == clear) {
      reset();
      size = min_code_size + 1;
      previous.reset();
      continue;
    }
    if (code == end) {
      return out;
    }
    std::vector<int> entry;
    if (code < static_cast<int>(table.size())) {
      entry = table[code];
    } else if (code == static_cast<int>(table.size()) && previous) {
      entry = *previous;
      entry.push_back((*previous)[0]);
    } else {
      return std::nullopt;  // a code the decoder can't know yet
    }
    out.insert(out.end(), entry.begin(), entry.end());
    if (previous && table.size() < 4096) {
      std::vector<int> added = *previous;
      added.push_back(entry[0]);
      table.push_back(added);
      if (static_cast<int>(table.size()) == (1 << size) && size < 12) {
        ++size;
      }
    }
    previous = entry;
  }
  return std::nullopt;  // no end code
}

std::optional<Gif> ParseGif(const Bytes& b) {
  if (b.size() < 13 || std::string(b.begin(), b.begin() + 6) != "GIF89a") {
    return std::nullopt;
  }
  Gif gif;
  gif.width = Word(b, 6);
  gif.height = Word(b, 8);
  const int flags = b[10];
  std::size_t at = 13;
  if (flags & 0x80) {
    gif.global_colours = 1 << ((flags & 7) + 1);
    at += 3 * gif.global_colours;
  }
  const auto skip_sub_blocks = [&](Bytes* collected) {
    while (at < b.size() && b[at] != 0) {
      if (collected) {
        collected->insert(collected->end(), b.begin() + at + 1, b.begin() + at + 1 + b[at]);
      }
      at += 1 + b[at];
    }
    ++at;
  };
  while (at < b.size()) {
    const int block = b[at++];
    if (block == 0x3B) {
      return gif;
    }
    if (block == 0x21) {
      const int label = b.at(at++);
      if (label == 0xF9 && (b.at(at + 1) & 1)) {
        gif.transparency = true;
      }
      skip_sub_blocks(nullptr);
    } else if (block == 0x2C) {
      ++gif.frames;
      gif.local_colour_table = gif.local_colour_table || (b.at(at + 8) & 0x80);
      at += 9;
      const int min_code_size = b.at(at++);
      Bytes data;
      skip_sub_blocks(&data);
      if (gif.frames == 1) {
        auto pixels = DecodeLzw(data, min_code_size);
        if (!pixels) {
          return std::nullopt;
        }
        gif.first_frame = std::move(*pixels);
      }
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;  // no trailer
}

void ExpectWholeGif(const Gif& gif, int width, int height) {
  EXPECT_EQ(gif.width, width);
  EXPECT_EQ(gif.height, height);
  EXPECT_EQ(gif.frames, 1);
  EXPECT_FALSE(gif.transparency);
  EXPECT_FALSE(gif.local_colour_table);
  ASSERT_EQ(gif.first_frame.size(), static_cast<std::size_t>(width * height));
  for (int index : gif.first_frame) {
    ASSERT_LT(index, gif.global_colours);
  }
}

TEST(Artwork, BannerIsOneFrameOf380By60WithA256ColourPalette) {
  const std::optional<Gif> banner = ParseGif(ReadResource("banner.gif"));
  ASSERT_TRUE(banner.has_value());
  ExpectWholeGif(*banner, 380, 60);
  EXPECT_EQ(banner->global_colours, 256);
  // A picture, not a flat fill: many of the colours are used.
  std::map<int, int> used;
  for (int index : banner->first_frame) {
    ++used[index];
  }
  EXPECT_GT(used.size(), 128u);
}

TEST(Artwork, StatusPicturesFitThePictureBoxAndDiffer) {
  const std::optional<Gif> green = ParseGif(ReadResource("green.gif"));
  const std::optional<Gif> red = ParseGif(ReadResource("red.gif"));
  ASSERT_TRUE(green.has_value());
  ASSERT_TRUE(red.has_value());
  // Picture1 is 375 twips square: 25 pixels at 96 DPI.
  ExpectWholeGif(*green, 25, 25);
  ExpectWholeGif(*red, 25, 25);
  EXPECT_NE(ReadResource("green.gif"), ReadResource("red.gif"));
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
