#include "platform/win32/form1_picture_win32.h"

#include <cstring>

#include "platform/win32/handles.h"

namespace quellnet::platform::win32 {
namespace {

// No picture the window shows comes near this; a bigger file is not one of
// them and is not read into memory.
constexpr DWORD kLargestPicture = 16 * 1024 * 1024;

// 2540 HIMETRIC units (hundredths of a millimetre) to the inch.
constexpr int kHimetricPerInch = 2540;

// Memory from GlobalAlloc, freed unless a stream took it over.
class UniqueHGlobal {
 public:
  explicit UniqueHGlobal(HGLOBAL memory) : memory_(memory) {}
  ~UniqueHGlobal() {
    if (memory_ != nullptr) {
      // Nothing to do about a block that can't be freed.
      ::GlobalFree(memory_);
    }
  }
  UniqueHGlobal(const UniqueHGlobal&) = delete;
  UniqueHGlobal& operator=(const UniqueHGlobal&) = delete;
  HGLOBAL Get() const { return memory_; }
  HGLOBAL Release() { return std::exchange(memory_, nullptr); }

 private:
  HGLOBAL memory_;
};

// Decodes `size` bytes that `fill` writes into the buffer it is given; `fill`
// returns false when it could not supply them all. OleLoadPicture reads from
// a stream, and a stream on movable global memory is the one every Windows
// version offers.
template <typename Fill>
ComPtr<IPicture> Decode(DWORD size, Fill fill) {
  ComPtr<IPicture> picture;
  if (size == 0 || size > kLargestPicture) {
    return picture;
  }
  UniqueHGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, size));
  if (memory.Get() == nullptr) {
    return picture;
  }
  void* bytes = ::GlobalLock(memory.Get());
  if (bytes == nullptr) {
    return picture;
  }
  const bool filled = fill(bytes);
  // GlobalUnlock's result only tells whether the block is still locked.
  ::GlobalUnlock(memory.Get());
  if (!filled) {
    return picture;
  }
  ComPtr<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(memory.Get(), TRUE, stream.Receive()))) {
    return picture;
  }
  memory.Release();  // freed by the stream from now on
  if (FAILED(::OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(picture.Receive())))) {
    picture.Reset();
  }
  return picture;
}

}  // namespace

Picture Picture::FromBytes(const void* bytes, DWORD size) {
  return Picture(Decode(size, [&](void* buffer) {
    std::memcpy(buffer, bytes, size);
    return true;
  }));
}

Picture Picture::FromFile(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    return Picture();
  }
  DWORD high = 0;
  const DWORD size = ::GetFileSize(file.Get(), &high);
  if (size == INVALID_FILE_SIZE || high != 0) {
    return Picture();  // unreadable, or far beyond any picture's size
  }
  return Picture(Decode(size, [&](void* buffer) {
    DWORD read = 0;
    return ::ReadFile(file.Get(), buffer, size, &read, nullptr) != FALSE && read == size;
  }));
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
  return FromBytes(bytes, ::SizeofResource(instance, found));
}

void Picture::Draw(HDC dc, int x, int y) const {
  if (!picture_) {
    return;
  }
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  if (FAILED(picture_->get_Width(&width)) || FAILED(picture_->get_Height(&height))) {
    return;
  }
  // OleLoadPicture measured the picture with the screen's DPI; the same DPI
  // turns it back into the pixels it was made of.
  const int pixels_x = ::MulDiv(width, ::GetDeviceCaps(dc, LOGPIXELSX), kHimetricPerInch);
  const int pixels_y = ::MulDiv(height, ::GetDeviceCaps(dc, LOGPIXELSY), kHimetricPerInch);
  // A picture that fails to draw leaves the background showing; there is
  // nothing better to draw instead.
  picture_->Render(dc, x, y, pixels_x, pixels_y, 0, height, width, -height, nullptr);
}

}  // namespace quellnet::platform::win32
