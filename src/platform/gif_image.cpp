#include "platform/gif_image.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quellnet::platform {
namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;
// LZW codes of a GIF have at most 12 bits.
constexpr int kLargestCodeBits = 12;
constexpr int kCodeCount = 1 << kLargestCodeBits;

// Reads the file front to back; a read past its end fails and reads nothing.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::optional<std::uint8_t> Byte() {
    if (at_ >= bytes_.size()) {
      return std::nullopt;
    }
    return bytes_[at_++];
  }
  // A little-endian 16-bit number.
  std::optional<int> Word() {
    const auto low = Byte();
    const auto high = Byte();
    if (!low || !high) {
      return std::nullopt;
    }
    return *low | (*high << 8);
  }
  std::optional<std::span<const std::uint8_t>> Take(std::size_t count) {
    if (bytes_.size() - at_ < count) {
      return std::nullopt;
    }
    const std::span<const std::uint8_t> taken = bytes_.subspan(at_, count);
    at_ += count;
    return taken;
  }
  // The data of a run of sub-blocks (a length byte, that many bytes, ...,
  // a length of 0), joined; nullopt when the file ends inside the run.
  std::optional<std::vector<std::uint8_t>> SubBlocks() {
    std::vector<std::uint8_t> data;
    for (;;) {
      const auto length = Byte();
      if (!length) {
        return std::nullopt;
      }
      if (*length == 0) {
        return data;
      }
      const auto block = Take(*length);
      if (!block) {
        return std::nullopt;
      }
      data.insert(data.end(), block->begin(), block->end());
    }
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

// The variable-width codes of the LZW data, least significant bit first.
class CodeReader {
 public:
  explicit CodeReader(std::span<const std::uint8_t> data) : data_(data) {}

  // `bits` is at most 12, so the buffer never holds more than 19 bits.
  std::optional<int> Read(int bits) {
    while (buffered_ < bits) {
      if (at_ >= data_.size()) {
        return std::nullopt;
      }
      buffer_ |= static_cast<std::uint32_t>(data_[at_++]) << buffered_;
      buffered_ += 8;
    }
    const int code = static_cast<int>(buffer_ & ((1u << bits) - 1));
    buffer_ >>= bits;
    buffered_ -= bits;
    return code;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t at_ = 0;
  std::uint32_t buffer_ = 0;
  int buffered_ = 0;
};

// Decodes LZW `data` into exactly indices.size() colour indices. False when
// the data ends (or says it ends) before that, or holds a code that names no
// table entry yet. Codes after the last index are not read.
bool DecodeLzw(std::span<const std::uint8_t> data, int min_code_bits,
               std::vector<std::uint8_t>& indices) {
  const int clear = 1 << min_code_bits;
  const int end = clear + 1;
  // Entry `code` is the string of entry prefix[code] followed by
  // suffix[code]; a prefix is always a smaller code, so following prefixes
  // ends at a colour index after fewer than kCodeCount steps.
  std::array<std::uint16_t, kCodeCount> prefix{};
  std::array<std::uint8_t, kCodeCount> suffix{};
  for (int index = 0; index < clear; ++index) {
    suffix[index] = static_cast<std::uint8_t>(index);
  }
  // One string, written backwards: at most every entry plus the repeated
  // first index of a code that is being defined as it is used.
  std::array<std::uint8_t, kCodeCount + 1> string{};

  CodeReader codes(data);
  int bits = min_code_bits + 1;
  int next = clear + 2;
  int previous = -1;  // none since the last clear
  std::uint8_t first = 0;
  std::size_t written = 0;
  while (written < indices.size()) {
    const std::optional<int> read = codes.Read(bits);
    if (!read || *read == end) {
      return false;
    }
    const int code = *read;
    if (code == clear) {
      bits = min_code_bits + 1;
      next = clear + 2;
      previous = -1;
      continue;
    }
    if (code > next || (code == next && previous < 0)) {
      return false;
    }
    std::size_t length = 0;
    int walk = code;
    if (code == next) {
      // The entry being defined: the previous string and its own first index.
      string[length++] = first;
      walk = previous;
    }
    while (walk >= clear) {
      if (length >= string.size()) {
        return false;
      }
      string[length++] = suffix[walk];
      walk = prefix[walk];
    }
    if (length >= string.size()) {
      return false;
    }
    first = static_cast<std::uint8_t>(walk);
    string[length++] = first;
    while (length > 0 && written < indices.size()) {
      indices[written++] = string[--length];
    }
    // A full table takes no more entries until the next clear.
    if (previous >= 0 && next < kCodeCount) {
      prefix[next] = static_cast<std::uint16_t>(previous);
      suffix[next] = first;
      ++next;
      if (next == (1 << bits) && bits < kLargestCodeBits) {
        ++bits;
      }
    }
    previous = code;
  }
  return true;
}

bool IsSaneSize(int width, int height) {
  return width > 0 && height > 0 && width <= kLargestGifSide && height <= kLargestGifSide &&
         static_cast<std::size_t>(width) * static_cast<std::size_t>(height) <= kLargestGifArea;
}

// A colour table of 2 << `size_bits` entries of three bytes (red, green,
// blue), as opaque pixels.
std::optional<std::vector<std::uint32_t>> ReadColourTable(Reader& in, int size_bits) {
  const std::size_t count = std::size_t{2} << size_bits;
  const auto bytes = in.Take(3 * count);
  if (!bytes) {
    return std::nullopt;
  }
  std::vector<std::uint32_t> colours(count);
  for (std::size_t i = 0; i < count; ++i) {
    colours[i] = kOpaque | (std::uint32_t{(*bytes)[3 * i]} << 16) |
                 (std::uint32_t{(*bytes)[3 * i + 1]} << 8) | (*bytes)[3 * i + 2];
  }
  return colours;
}

// The row of the image that the `n`-th row of interlaced data fills: first
// every eighth row from 0, then every eighth from 4, every fourth from 2 and
// every second from 1.
int InterlacedRow(int n, int height) {
  const int passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
  for (const auto& [start, step] : passes) {
    const int rows = start < height ? (height - start + step - 1) / step : 0;
    if (n < rows) {
      return start + n * step;
    }
    n -= rows;
  }
  return -1;  // not reached for n < height
}

// The image after its separator: descriptor, colour table and data, placed
// on the picture.
bool DecodeImage(Reader& in, const std::vector<std::uint32_t>& global_colours,
                 std::optional<std::uint8_t> transparent, GifImage& picture) {
  const auto left = in.Word();
  const auto top = in.Word();
  const auto width = in.Word();
  const auto height = in.Word();
  const auto flags = in.Byte();
  if (!left || !top || !width || !height || !flags || !IsSaneSize(*width, *height)) {
    return false;
  }
  std::vector<std::uint32_t> local_colours;
  if (*flags & 0x80) {
    auto table = ReadColourTable(in, *flags & 0x07);
    if (!table) {
      return false;
    }
    local_colours = std::move(*table);
  }
  const std::vector<std::uint32_t>& colours =
      local_colours.empty() ? global_colours : local_colours;
  const bool interlaced = (*flags & 0x40) != 0;
  const auto min_code_bits = in.Byte();
  if (colours.empty() || !min_code_bits || *min_code_bits < 1 || *min_code_bits > 8) {
    return false;
  }
  const auto data = in.SubBlocks();
  if (!data) {
    return false;
  }
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(*width) *
                                    static_cast<std::size_t>(*height));
  if (!DecodeLzw(*data, *min_code_bits, indices)) {
    return false;
  }
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (indices[i] >= colours.size()) {
      return false;
    }
  }
  // The image may lie partly or wholly outside the picture; only the part
  // inside is drawn.
  for (int n = 0; n < *height; ++n) {
    const int y = *top + (interlaced ? InterlacedRow(n, *height) : n);
    if (y >= picture.height) {
      continue;
    }
    const std::uint8_t* row = indices.data() + static_cast<std::size_t>(n) * *width;
    const int columns = std::min(*width, picture.width - *left);
    std::uint32_t* target = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
    for (int x = 0; x < columns; ++x) {
      if (!transparent || row[x] != *transparent) {
        target[*left + x] = colours[row[x]];
      }
    }
  }
  return true;
}

}  // namespace

bool GifImage::HasTransparency() const {
  return std::any_of(pixels.begin(), pixels.end(),
                     [](std::uint32_t pixel) { return (pixel & kOpaque) != kOpaque; });
}

std::optional<GifImage> DecodeGif(std::span<const std::uint8_t> file) {
  Reader in(file);
  const auto signature = in.Take(6);
  if (!signature || (std::memcmp(signature->data(), "GIF87a", 6) != 0 &&
                     std::memcmp(signature->data(), "GIF89a", 6) != 0)) {
    return std::nullopt;
  }
  const auto width = in.Word();
  const auto height = in.Word();
  const auto flags = in.Byte();
  // The background colour and the pixel aspect ratio are not used.
  if (!width || !height || !flags || !in.Take(2) || !IsSaneSize(*width, *height)) {
    return std::nullopt;
  }
  std::vector<std::uint32_t> global_colours;
  if (*flags & 0x80) {
    auto table = ReadColourTable(in, *flags & 0x07);
    if (!table) {
      return std::nullopt;
    }
    global_colours = std::move(*table);
  }

  GifImage picture;
  picture.width = *width;
  picture.height = *height;
  // What no image covers stays transparent.
  picture.pixels.assign(static_cast<std::size_t>(*width) * static_cast<std::size_t>(*height), 0);
  // Set by a graphic control extension for the image that follows it.
  std::optional<std::uint8_t> transparent;
  for (;;) {
    const auto block = in.Byte();
    if (!block) {
      return std::nullopt;
    }
    if (*block == kImageSeparator) {
      if (!DecodeImage(in, global_colours, transparent, picture)) {
        return std::nullopt;
      }
      return picture;  // the first image only
    }
    if (*block != kExtensionIntroducer) {
      return std::nullopt;  // the trailer before any image, or no block at all
    }
    const auto label = in.Byte();
    const auto data = label ? in.SubBlocks() : std::nullopt;
    if (!data) {
      return std::nullopt;
    }
    if (*label == kGraphicControlLabel && data->size() >= 4) {
      // Packed fields, delay (two bytes), transparent colour index.
      transparent =
          ((*data)[0] & 0x01) != 0 ? std::optional<std::uint8_t>((*data)[3]) : std::nullopt;
    }
  }
}

}  // namespace quellnet::platform
