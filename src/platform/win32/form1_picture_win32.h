// Pictures decoded by OLE (GIF, and whatever else OleLoadPicture reads),
// drawn at their natural size: the banner `Image1` and the status picture
// `Picture1`.
#pragma once

#include <string>
#include <utility>

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

namespace quellnet::platform::win32 {

// Holds one reference to a COM object and releases it exactly once.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* Get() const { return object_; }
  Interface* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // For APIs that hand out the object through an out-parameter.
  Interface** Receive() {
    Reset();
    return &object_;
  }
  void Reset() {
    if (object_ != nullptr) {
      object_->Release();
      object_ = nullptr;
    }
  }

 private:
  Interface* object_ = nullptr;
};

class Picture {
 public:
  // Empty when the bytes are not a picture OLE can read.
  static Picture FromBytes(const void* bytes, DWORD size);
  // Empty when the file can't be read or is not a picture.
  static Picture FromFile(const std::wstring& path);
  // A resource of a custom type; empty when it is missing or not a picture.
  static Picture FromResource(HINSTANCE instance, int id, const wchar_t* type);

  bool IsEmpty() const { return !picture_; }
  // Draws the picture with its top-left corner at (x, y), at the size in
  // pixels it was made at; nothing for an empty picture.
  void Draw(HDC dc, int x, int y) const;

  Picture() = default;

 private:
  explicit Picture(ComPtr<IPicture> picture) : picture_(std::move(picture)) {}

  ComPtr<IPicture> picture_;
};

}  // namespace quellnet::platform::win32
