// The GIF decoder against hand-made files: a known stream decoded by hand,
// pictures written by a plain LZW encoder here (code widths growing to 12
// bits, a full table with and without a clear), interlaced rows, local
// colour tables, transparency, images partly off the picture, and files that
// are cut short, corrupt or claim absurd sizes.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "platform/gif_image.h"

namespace {

using quellnet::platform::DecodeGif;
using quellnet::platform::GifImage;
using quellnet::platform::kOpaque;
using Bytes = std::vector<std::uint8_t>;
using Indices = std::vector<std::uint8_t>;
using Colours = std::vector<std::uint32_t>;

void Append(Bytes& to, const Bytes& bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

Bytes Word(int value) {
  return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
}

// The size field of a colour table of `count` (a power of two, 2..256) entries.
int SizeBits(std::size_t count) {
  int bits = 0;
  while ((std::size_t{2} << bits) < count) {
    ++bits;
  }
  return bits;
}

Bytes ColourTable(const Colours& colours) {
  Bytes table;
  for (std::uint32_t colour : colours) {
    Append(table, {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                   static_cast<std::uint8_t>(colour)});
  }
  return table;
}

Bytes SubBlocks(const Bytes& data) {
  Bytes blocks;
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::size_t length = std::min<std::size_t>(255, data.size() - at);
    blocks.push_back(static_cast<std::uint8_t>(length));
    blocks.insert(blocks.end(), data.begin() + at, data.begin() + at + length);
  }
  blocks.push_back(0);
  return blocks;
}

// GIF89a header and logical screen, with its global colour table if any.
Bytes Screen(int width, int height, const Colours& global) {
  Bytes file = {'G', 'I', 'F', '8', '9', 'a'};
  Append(file, Word(width));
  Append(file, Word(height));
  file.push_back(global.empty() ? 0 : static_cast<std::uint8_t>(0x80 | SizeBits(global.size())));
  Append(file, {0, 0});
  Append(file, ColourTable(global));
  return file;
}

Bytes TransparentColour(std::uint8_t index) {
  return {0x21, 0xF9, 4, 0x01, 0, 0, index, 0};
}

// A plain GIF LZW encoder: a clear first, the longest known string each
// time, a code one bit wider once the table's next entry needs it.
Bytes EncodeLzw(const Indices& indices, int min_bits, bool clear_when_full = true) {
  const int clear = 1 << min_bits;
  Bytes out;
  std::uint32_t buffer = 0;
  int buffered = 0;
  int bits = min_bits + 1;
  const auto emit = [&](int code) {
    buffer |= static_cast<std::uint32_t>(code) << buffered;
    buffered += bits;
    while (buffered >= 8) {
      out.push_back(static_cast<std::uint8_t>(buffer));
      buffer >>= 8;
      buffered -= 8;
    }
  };
  std::map<std::pair<int, int>, int> table;
  int next = clear + 2;
  emit(clear);
  int current = indices.at(0);
  for (std::size_t i = 1; i < indices.size(); ++i) {
    const auto known = table.find({current, indices[i]});
    if (known != table.end()) {
      current = known->second;
      continue;
    }
    emit(current);
    if (next < 4096) {
      table[{current, indices[i]}] = next++;
      if (next - 1 == (1 << bits) && bits < 12) {
        ++bits;
      }
    } else if (clear_when_full) {
      emit(clear);
      table.clear();
      next = clear + 2;
      bits = min_bits + 1;
    }
    current = indices[i];
  }
  emit(current);
  emit(clear + 1);
  if (buffered > 0) {
    out.push_back(static_cast<std::uint8_t>(buffer));
  }
  return out;
}

struct ImageOptions {
  int left = 0;
  int top = 0;
  Colours local;
  bool interlaced = false;
  int min_bits = 8;
  bool clear_when_full = true;
};

// An image block; `rows` are in top-to-bottom order and are written in
// interlaced order when asked.
Bytes Image(int width, int height, const Indices& rows, const ImageOptions& options = {}) {
  Indices stream;
  if (options.interlaced) {
    const std::pair<int, int> passes[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    for (const auto& [start, step] : passes) {
      for (int y = start; y < height; y += step) {
        stream.insert(stream.end(), rows.begin() + y * width, rows.begin() + (y + 1) * width);
      }
    }
  } else {
    stream = rows;
  }
  Bytes block = {0x2C};
  Append(block, Word(options.left));
  Append(block, Word(options.top));
  Append(block, Word(width));
  Append(block, Word(height));
  std::uint8_t flags = options.interlaced ? 0x40 : 0;
  if (!options.local.empty()) {
    flags |= static_cast<std::uint8_t>(0x80 | SizeBits(options.local.size()));
  }
  block.push_back(flags);
  Append(block, ColourTable(options.local));
  block.push_back(static_cast<std::uint8_t>(options.min_bits));
  Append(block, SubBlocks(EncodeLzw(stream, options.min_bits, options.clear_when_full)));
  return block;
}

Bytes Gif(int width, int height, const Colours& global, const Bytes& image,
          const Bytes& before = {}) {
  Bytes file = Screen(width, height, global);
  Append(file, before);
  Append(file, image);
  file.push_back(0x3B);
  return file;
}

Colours Grey(int count) {
  Colours colours;
  for (int i = 0; i < count; ++i) {
    const std::uint32_t level = static_cast<std::uint32_t>(i * 255 / (count - 1));
    colours.push_back(kOpaque | level << 16 | level << 8 | level);
  }
  return colours;
}

Indices RandomIndices(std::size_t count, int colours, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> index(0, colours - 1);
  Indices indices(count);
  for (std::uint8_t& i : indices) {
    i = static_cast<std::uint8_t>(index(random));
  }
  return indices;
}

Colours Expected(const Indices& indices, const Colours& colours) {
  Colours pixels;
  for (std::uint8_t i : indices) {
    pixels.push_back(colours[i]);
  }
  return pixels;
}

TEST(DecodeGif, AKnownStreamDecodedByHand) {
  // 3 x 5 pixels, 256 colours, minimum code size 8. The codes are clear,
  // 0x28, 0xFF, 0x103 (the entry being defined), 0x102, 0x103, 0x106 and
  // 0x107 (each being defined as it is used) and end.
  Colours colours = Grey(256);
  colours[0x28] = kOpaque | 0x102030;
  const Bytes data = {0x00, 0x51, 0xFC, 0x1B, 0x28, 0x70, 0xA0, 0xC1, 0x83, 0x01, 0x01};
  Bytes image = {0x2C, 0, 0, 0, 0, 3, 0, 5, 0, 0x00, 0x08};
  Append(image, SubBlocks(data));
  const std::optional<GifImage> picture = DecodeGif(Gif(3, 5, colours, image));
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 3);
  EXPECT_EQ(picture->height, 5);
  const std::uint32_t k = colours[0x28];
  const std::uint32_t w = colours[0xFF];
  EXPECT_EQ(picture->pixels, (Colours{k, w, w, w, k, w, w, w, w, w, w, w, w, w, w}));
  EXPECT_FALSE(picture->HasTransparency());
}

TEST(DecodeGif, PicturesOfEveryCodeWidthAndAFullTable) {
  struct Case {
    int width;
    int height;
    int colours;
    int min_bits;
    bool clear_when_full;
  };
  // Two colours with the smallest code size; 16 and 256 colours with
  // enough noise to fill the 4096-entry table many times over, once with a
  // clear each time it fills and once going on with the full table.
  for (const Case& c : {Case{7, 5, 2, 2, true}, Case{64, 48, 16, 4, true},
                        Case{300, 200, 256, 8, true}, Case{300, 200, 256, 8, false}}) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " " << c.colours);
    const Colours colours = Grey(c.colours);
    const Indices rows = RandomIndices(static_cast<std::size_t>(c.width) * c.height, c.colours,
                                       static_cast<unsigned>(c.width));
    ImageOptions options;
    options.min_bits = c.min_bits;
    options.clear_when_full = c.clear_when_full;
    const std::optional<GifImage> picture =
        DecodeGif(Gif(c.width, c.height, colours, Image(c.width, c.height, rows, options)));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->pixels, Expected(rows, colours));
  }
  // Long runs of one colour make long strings.
  Indices runs(4000, 3);
  std::fill(runs.begin() + 1000, runs.begin() + 3000, 1);
  const std::optional<GifImage> flat = DecodeGif(Gif(80, 50, Grey(4), Image(80, 50, runs)));
  ASSERT_TRUE(flat.has_value());
  EXPECT_EQ(flat->pixels, Expected(runs, Grey(4)));
}

TEST(DecodeGif, InterlacedRowsLocalColoursAndTheTransparentColour) {
  // 13 rows: every interlace pass has rows, the last ones fewer.
  const Indices rows = RandomIndices(9 * 13, 4, 13);
  ImageOptions interlaced;
  interlaced.interlaced = true;
  interlaced.min_bits = 2;
  const std::optional<GifImage> picture =
      DecodeGif(Gif(9, 13, Grey(4), Image(9, 13, rows, interlaced)));
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->pixels, Expected(rows, Grey(4)));

  // A local table replaces the global one for its image; without a global
  // table the local one is all there is.
  const Colours local = {kOpaque | 0xFF0000, kOpaque | 0x00FF00, kOpaque | 0x0000FF,
                         kOpaque | 0xFFFF00};
  ImageOptions with_local;
  with_local.local = local;
  with_local.min_bits = 2;
  for (const Colours& global : {Grey(4), Colours{}}) {
    const std::optional<GifImage> coloured =
        DecodeGif(Gif(9, 13, global, Image(9, 13, rows, with_local)));
    ASSERT_TRUE(coloured.has_value());
    EXPECT_EQ(coloured->pixels, Expected(rows, local));
  }

  // Index 2 is transparent: alpha 0 there, every other pixel as it was.
  const std::optional<GifImage> holes =
      DecodeGif(Gif(9, 13, Grey(4), Image(9, 13, rows, interlaced), TransparentColour(2)));
  ASSERT_TRUE(holes.has_value());
  EXPECT_TRUE(holes->HasTransparency());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(holes->pixels[i], rows[i] == 2 ? 0u : Grey(4)[rows[i]]) << i;
  }
  // A control block without the transparency flag changes nothing, nor
  // does another extension that happens to hold the same bytes.
  for (const Bytes& extension :
       {Bytes{0x21, 0xF9, 4, 0x00, 0, 0, 2, 0}, Bytes{0x21, 0xFE, 4, 0x01, 0, 0, 2, 0}}) {
    const std::optional<GifImage> opaque =
        DecodeGif(Gif(9, 13, Grey(4), Image(9, 13, rows, interlaced), extension));
    ASSERT_TRUE(opaque.has_value());
    EXPECT_FALSE(opaque->HasTransparency());
  }
}

TEST(DecodeGif, AnImagePartlyOffThePictureIsClippedAndTheRestIsTransparent) {
  // A 4 x 4 image at (2, 1) on a 4 x 3 picture: its top-left 2 x 2 shows.
  const Indices rows = {1, 2, 3, 3, 2, 1, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
  ImageOptions options;
  options.left = 2;
  options.top = 1;
  options.min_bits = 2;
  const std::optional<GifImage> picture = DecodeGif(Gif(4, 3, Grey(4), Image(4, 4, rows, options)));
  ASSERT_TRUE(picture.has_value());
  const Colours g = Grey(4);
  EXPECT_EQ(picture->pixels, (Colours{0, 0, 0, 0, 0, 0, g[1], g[2], 0, 0, g[2], g[1]}));
  // Wholly off the picture: nothing shows, and nothing is written outside it.
  options.left = 4;
  options.top = 0;
  const std::optional<GifImage> off = DecodeGif(Gif(4, 3, Grey(4), Image(4, 4, rows, options)));
  ASSERT_TRUE(off.has_value());
  EXPECT_EQ(off->pixels, Colours(12, 0));
}

TEST(DecodeGif, RefusesFilesThatAreNotASoundImage) {
  const Indices rows = {0, 1, 1, 0};
  ImageOptions two_bits;
  two_bits.min_bits = 2;
  const Bytes image = Image(2, 2, rows, two_bits);
  ASSERT_TRUE(DecodeGif(Gif(2, 2, Grey(4), image)).has_value());

  Bytes wrong_signature = Gif(2, 2, Grey(4), image);
  wrong_signature[4] = '8';  // "GIF88a"
  EXPECT_FALSE(DecodeGif(wrong_signature).has_value());
  EXPECT_FALSE(DecodeGif(Bytes{}).has_value());
  // Sizes of 0, and beyond what any picture here needs: refused before
  // memory is taken for them.
  EXPECT_FALSE(DecodeGif(Gif(0, 2, Grey(4), image)).has_value());
  EXPECT_FALSE(DecodeGif(Gif(65535, 65535, Grey(4), image)).has_value());
  EXPECT_FALSE(DecodeGif(Gif(4097, 1, Grey(4), image)).has_value());
  EXPECT_FALSE(DecodeGif(Gif(2048, 2049, Grey(4), image)).has_value());
  Bytes huge_image = image;
  huge_image[5] = huge_image[6] = huge_image[7] = huge_image[8] = 0xFF;  // 65535 x 65535
  EXPECT_FALSE(DecodeGif(Gif(2, 2, Grey(4), huge_image)).has_value());
  // No colour table anywhere; no image before the trailer; an unknown block.
  EXPECT_FALSE(DecodeGif(Gif(2, 2, Colours{}, image)).has_value());
  EXPECT_FALSE(DecodeGif(Gif(2, 2, Grey(4), Bytes{})).has_value());
  EXPECT_FALSE(DecodeGif(Gif(2, 2, Grey(4), Bytes{0x99})).has_value());
  // A minimum code size outside 1..8.
  for (std::uint8_t min_bits : {0, 9, 12}) {
    Bytes bad = image;
    bad[10] = min_bits;
    EXPECT_FALSE(DecodeGif(Gif(2, 2, Grey(4), bad)).has_value()) << int{min_bits};
  }
  // Colour index 2 with a table of two colours.
  EXPECT_FALSE(DecodeGif(Gif(2, 2, Grey(2), Image(2, 2, {0, 1, 2, 0}, two_bits))).has_value());
}

TEST(DecodeGif, RefusesLzwDataThatEndsEarlyOrNamesNoEntry) {
  // Codes of 3 bits (minimum size 2: clear 4, end 5, first free entry 6),
  // packed by hand, for a 2 x 2 image.
  const auto with_codes = [](std::initializer_list<int> codes) {
    Bytes data;
    std::uint32_t buffer = 0;
    int buffered = 0;
    for (int code : codes) {
      buffer |= static_cast<std::uint32_t>(code) << buffered;
      buffered += 3;
    }
    for (; buffered > 0; buffered -= 8, buffer >>= 8) {
      data.push_back(static_cast<std::uint8_t>(buffer));
    }
    Bytes image = {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x00, 0x02};
    Append(image, SubBlocks(data));
    return DecodeGif(Gif(2, 2, Grey(4), image));
  };
  ASSERT_TRUE(with_codes({4, 1, 2, 6, 5}).has_value());   // 1, 2, then "1 2"
  EXPECT_FALSE(with_codes({4, 1, 2, 5}).has_value());     // ends after three pixels
  EXPECT_FALSE(with_codes({4, 1}).has_value());           // data runs out after one
  EXPECT_FALSE(with_codes({4, 6, 1, 2, 5}).has_value());  // entry 6 before any is made
  EXPECT_FALSE(with_codes({4, 1, 7, 2, 5}).has_value());  // entry 7 when 6 is next
  // Without a leading clear the table starts out empty all the same.
  EXPECT_TRUE(with_codes({1, 2, 6, 5}).has_value());
}

TEST(DecodeGif, CutShortOrCorruptFilesAreRefusedWithoutReadingPastTheirEnd) {
  const Colours colours = Grey(16);
  const Indices rows = RandomIndices(40 * 30, 16, 7);
  ImageOptions options;
  options.min_bits = 4;
  options.interlaced = true;
  const Bytes file = Gif(40, 30, colours, Image(40, 30, rows, options), TransparentColour(5));
  // Each cut is a new buffer of exactly that size, so AddressSanitizer sees
  // a read past its end. Only the trailer may be missing.
  for (std::size_t size = 0; size + 1 < file.size(); ++size) {
    const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(DecodeGif(cut).has_value()) << size;
  }
  EXPECT_TRUE(DecodeGif(Bytes(file.begin(), file.end() - 1)).has_value());

  // Random damage: whatever comes out is a whole picture of the stated size.
  std::mt19937 random(2024);
  for (int round = 0; round < 3000; ++round) {
    Bytes damaged = file;
    for (int hits = 1 + round % 4; hits > 0; --hits) {
      damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
    }
    if (const std::optional<GifImage> picture = DecodeGif(damaged)) {
      ASSERT_EQ(picture->pixels.size(), static_cast<std::size_t>(picture->width) *
                                            static_cast<std::size_t>(picture->height));
    }
  }
}

}  // namespace
