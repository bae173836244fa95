// The pictures the window draws, at a size that grows with the screen's DPI
// as the layout's twips do: a picture box's picture, a GIF file read by the
// system's picture loader and drawn for 96 DPI, and the banner, a bitmap
// resource drawn for the DPI it is chosen for.
#pragma once

#include <string>

#include <windows.h>

#include <olectl.h>

#include "platform/win32/system/handles.h"

namespace quellnet::platform::win32 {

struct PictureTraits {
  static IPicture* Invalid() { return nullptr; }
  static bool IsValid(IPicture* picture) { return picture != nullptr; }
  static void Close(IPicture* picture) { picture->Release(); }
};
using UniquePicture = UniqueHandle<IPicture*, PictureTraits>;

class Picture {
 public:
  // Empty when the file can't be read or is no picture. The loader (in
  // oleaut32) is brought in at the first call, so a start that shows no
  // status picture never loads it.
  static Picture FromFile(const std::wstring& path);
  // The bitmap resource `name`, drawn for a screen of `drawn_for_dpi`;
  // empty when the resource is missing.
  static Picture FromBitmapResource(HINSTANCE instance, const wchar_t* name, int drawn_for_dpi);

  bool IsEmpty() const { return !bitmap_; }
  // Draws the picture with its top-left corner at (x, y), scaled from the
  // DPI it was drawn for to `dpi`: pixel for pixel at the same DPI, else
  // smoothly, never with pixels doubled or dropped; nothing when empty.
  void Draw(HDC dc, int x, int y, int dpi) const;

  Picture() = default;

 private:
  UniqueGdiObject bitmap_;
  int width_ = 0;  // in pixels
  int height_ = 0;
  int drawn_for_dpi_ = 96;
};

}  // namespace quellnet::platform::win32
