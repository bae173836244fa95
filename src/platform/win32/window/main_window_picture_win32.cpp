#include "platform/win32/window/main_window_picture_win32.h"

#include <utility>

#include "platform/win32/system/com_win32.h"
#include "platform/win32/system/optional_functions_win32.h"

namespace quellnet::platform::win32 {
namespace {

// No picture the window shows comes near this; a bigger file is not one of
// them and is not read into memory.
constexpr DWORD kLargestPicture = 1024 * 1024;
constexpr long kHimetricPerInch = 2540;

// The whole file in movable global memory, as a stream over it wants it;
// null when it can't be read.
UniqueGlobal ReadFileIntoGlobal(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD high = 0;
  const DWORD size = file ? ::GetFileSize(file.Get(), &high) : INVALID_FILE_SIZE;
  if (size == INVALID_FILE_SIZE || size == 0 || high != 0 || size > kLargestPicture) {
    return UniqueGlobal();
  }
  UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, size));
  void* bytes = memory ? ::GlobalLock(memory.Get()) : nullptr;
  DWORD read = 0;
  const bool complete =
      bytes != nullptr && ::ReadFile(file.Get(), bytes, size, &read, nullptr) && read == size;
  if (bytes != nullptr) {
    ::GlobalUnlock(memory.Get());
  }
  return complete ? std::move(memory) : UniqueGlobal();
}

// The file as the system's picture loader (OleLoadPicture) reads it: a COM
// picture object, empty when the loader is missing or the file is no picture.
// ole32, oleaut32 and COM start at the first picture. Where COM can't start
// the loader is still tried: it may manage without.
UniquePicture LoadPictureFile(const std::wstring& path) {
  StartCom();
  const auto create_stream = Ole32().create_stream_on_hglobal;
  const auto load_picture = OleAut32().ole_load_picture;
  if (create_stream == nullptr || load_picture == nullptr) {
    return UniquePicture();
  }
  UniqueGlobal memory = ReadFileIntoGlobal(path);
  if (!memory) {
    return UniquePicture();
  }
  IStream* stream = nullptr;
  if (FAILED(create_stream(memory.Get(), TRUE, &stream))) {
    return UniquePicture();
  }
  // The stream owns the memory from here and frees it with itself.
  memory.Release();
  void* loaded = nullptr;
  const HRESULT result = load_picture(stream, 0, FALSE, IID_IPicture, &loaded);
  stream->Release();
  if (FAILED(result) || loaded == nullptr) {
    return UniquePicture();
  }
  return UniquePicture(static_cast<IPicture*>(loaded));
}

// A picture rendered into a bitmap of its own; no bitmap when it failed.
struct RenderedPicture {
  UniqueGdiObject bitmap;
  int width = 0;  // in pixels
  int height = 0;
};

// `picture` back to the pixels it was made of, at the screen's DPI the
// loader used, rendered once, pixel for pixel, into a bitmap of its own,
// which is then scaled like any other (the loader's own scaling doubles
// pixels). What it leaves transparent shows the button face, as the picture
// box does.
RenderedPicture RenderPicture(IPicture& picture) {
  long himetric_width = 0;
  long himetric_height = 0;
  if (FAILED(picture.get_Width(&himetric_width)) || FAILED(picture.get_Height(&himetric_height))) {
    return RenderedPicture();
  }
  RenderedPicture drawn;
  UniqueMemoryDc dc;
  {
    const ScopedGetDc screen(nullptr);
    if (!screen) {
      return RenderedPicture();
    }
    drawn.width =
        ::MulDiv(himetric_width, ::GetDeviceCaps(screen.Get(), LOGPIXELSX), kHimetricPerInch);
    drawn.height =
        ::MulDiv(himetric_height, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), kHimetricPerInch);
    drawn.bitmap.Reset(::CreateCompatibleBitmap(screen.Get(), drawn.width, drawn.height));
    dc.Reset(::CreateCompatibleDC(screen.Get()));
  }
  const ScopedSelectObject selected(dc.Get(), drawn.bitmap.Get());
  if (!selected) {
    return RenderedPicture();
  }
  RECT all = {0, 0, drawn.width, drawn.height};
  ::FillRect(dc.Get(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
  // The source rectangle runs bottom-up in the picture's own measure.
  const HRESULT rendered =
      picture.Render(dc.Get(), 0, 0, drawn.width, drawn.height, 0, himetric_height, himetric_width,
                     -himetric_height, nullptr);
  return SUCCEEDED(rendered) ? std::move(drawn) : RenderedPicture();
}

}  // namespace

Picture Picture::FromFile(const std::wstring& path) {
  const UniquePicture loaded = LoadPictureFile(path);
  if (!loaded) {
    return Picture();
  }
  RenderedPicture rendered = RenderPicture(*loaded.Get());
  Picture picture;
  picture.bitmap_ = std::move(rendered.bitmap);
  picture.width_ = rendered.width;
  picture.height_ = rendered.height;
  return picture;
}

Picture Picture::FromBitmapResource(HINSTANCE instance, const wchar_t* name, int drawn_for_dpi) {
  Picture picture;
  picture.bitmap_.Reset(::LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, 0));
  BITMAP info;
  if (!picture.bitmap_ || ::GetObjectW(picture.bitmap_.Get(), sizeof info, &info) != sizeof info) {
    return Picture();
  }
  picture.width_ = info.bmWidth;
  picture.height_ = info.bmHeight;
  picture.drawn_for_dpi_ = drawn_for_dpi;
  return picture;
}

void Picture::Draw(HDC dc, int x, int y, int dpi) const {
  const int width = ::MulDiv(width_, dpi, drawn_for_dpi_);
  const int height = ::MulDiv(height_, dpi, drawn_for_dpi_);
  // Without a memory DC or the bitmap in it nothing is drawn and the
  // background shows; there is nothing better to draw instead.
  const UniqueMemoryDc memory(bitmap_ ? ::CreateCompatibleDC(dc) : nullptr);
  const ScopedSelectObject selected(memory.Get(), bitmap_.Get());
  if (!selected) {
    return;
  }
  if (width == width_ && height == height_) {
    ::BitBlt(dc, x, y, width, height, memory.Get(), 0, 0, SRCCOPY);
  } else {
    // Each pixel of the result blends the source pixels it covers, both
    // ways: smooth edges, no blocks of doubled pixels.
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, x, y, width, height, memory.Get(), 0, 0, width_, height_, SRCCOPY);
  }
}

}  // namespace quellnet::platform::win32
