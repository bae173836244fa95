#include "platform/win32/form1_picture_win32.h"

#include <cstring>
#include <utility>

#include "platform/gif_image.h"

namespace quellnet::platform::win32 {
namespace {

// No picture the window shows comes near this; a bigger file is not one of
// them and is not read into memory.
constexpr DWORD kLargestPicture = 16 * 1024 * 1024;

}  // namespace

Picture Picture::FromGif(std::span<const std::uint8_t> bytes) {
  std::optional<GifImage> image = DecodeGif(bytes);
  if (!image) {
    return Picture();
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image->width;
  info.bmiHeader.biHeight = -image->height;  // top-down, as the decoder writes the rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Picture picture;
  picture.bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!picture.bitmap_ || bits == nullptr) {
    return Picture();
  }
  picture.width_ = image->width;
  picture.height_ = image->height;
  // The decoder's pixels have the layout of this DIB's.
  std::memcpy(bits, image->pixels.data(), image->pixels.size() * sizeof(std::uint32_t));
  if (image->HasTransparency()) {
    picture.pixels_ = std::move(image->pixels);
  }
  return picture;
}

Picture Picture::FromFile(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    return Picture();
  }
  DWORD high = 0;
  const DWORD size = ::GetFileSize(file.Get(), &high);
  if (size == INVALID_FILE_SIZE || high != 0 || size > kLargestPicture) {
    return Picture();  // unreadable, or far beyond any picture's size
  }
  std::vector<std::uint8_t> bytes(size);
  DWORD read = 0;
  if (size == 0 || !::ReadFile(file.Get(), bytes.data(), size, &read, nullptr) || read != size) {
    return Picture();
  }
  return FromGif(bytes);
}

Picture Picture::FromResource(HINSTANCE instance, int id, const wchar_t* type) {
  HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), type);
  if (found == nullptr) {
    return Picture();
  }
  // Resource data needs no freeing; it lives as long as the module.
  HGLOBAL loaded = ::LoadResource(instance, found);
  const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (bytes == nullptr) {
    return Picture();
  }
  return FromGif(std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(bytes),
                                               ::SizeofResource(instance, found)));
}

void Picture::Compose(COLORREF background) const {
  DIBSECTION section;
  if (::GetObjectW(bitmap_.Get(), sizeof section, &section) != sizeof section ||
      section.dsBm.bmBits == nullptr) {
    return;  // drawn as it is, transparent parts black
  }
  // GDI may still be working on the bitmap from an earlier draw.
  ::GdiFlush();
  const std::uint32_t fill = (std::uint32_t{GetRValue(background)} << 16) |
                             (std::uint32_t{GetGValue(background)} << 8) | GetBValue(background);
  auto* bits = static_cast<std::uint32_t*>(section.dsBm.bmBits);
  for (std::size_t i = 0; i < pixels_.size(); ++i) {
    bits[i] = (pixels_[i] & kOpaque) == kOpaque ? pixels_[i] : fill;
  }
  composed_on_ = background;
}

void Picture::Draw(HDC dc, int x, int y, COLORREF background) const {
  if (!bitmap_) {
    return;
  }
  if (!pixels_.empty() && composed_on_ != background) {
    Compose(background);
  }
  // Without a memory DC or the bitmap in it nothing is drawn and the
  // background shows; there is nothing better to draw instead.
  UniqueMemoryDc memory(::CreateCompatibleDC(dc));
  if (!memory) {
    return;
  }
  HGDIOBJ previous = ::SelectObject(memory.Get(), bitmap_.Get());
  if (previous == nullptr) {
    return;
  }
  ::BitBlt(dc, x, y, width_, height_, memory.Get(), 0, 0, SRCCOPY);
  ::SelectObject(memory.Get(), previous);
}

}  // namespace quellnet::platform::win32
