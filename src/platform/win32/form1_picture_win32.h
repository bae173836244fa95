// The pictures the window draws at their natural size, which grows with the
// screen's DPI as the layout's twips do: the status picture
// `Picture1`, a GIF file read by the system's picture loader, and the banner
// `Image1`, a bitmap resource.
#pragma once

#include <string>

#include <windows.h>

#include <olectl.h>

#include "platform/win32/handles.h"

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
  // Empty when the resource is missing.
  static Picture FromBitmapResource(HINSTANCE instance, int id);

  bool IsEmpty() const { return !picture_ && !bitmap_; }
  // Draws the picture with its top-left corner at (x, y), its pixels taken
  // as 96 to the inch and scaled to `dpi`; nothing for an empty picture.
  void Draw(HDC dc, int x, int y, int dpi) const;

  Picture() = default;

 private:
  UniquePicture picture_;
  UniqueGdiObject bitmap_;
  int width_ = 0;  // in pixels
  int height_ = 0;
  long himetric_width_ = 0;  // the loaded picture's own measure
  long himetric_height_ = 0;
};

}  // namespace quellnet::platform::win32
