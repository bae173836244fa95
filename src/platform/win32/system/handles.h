// One small owning type per kind of Win32 handle, each closing its handle
// exactly once with the function that kind needs.
#pragma once

#include <utility>

#include <windows.h>

namespace quellnet::platform::win32 {

template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset(other.Release());
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle Get() const { return handle_; }
  bool IsValid() const { return Traits::IsValid(handle_); }
  explicit operator bool() const { return IsValid(); }
  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
  void Reset(Handle handle = Traits::Invalid()) {
    // Closing failures are ignored: there is nothing useful to do with a
    // handle that can't be closed.
    if (Traits::IsValid(handle_)) {
      Traits::Close(handle_);
    }
    handle_ = handle;
  }
  // For APIs that return the handle through an out-parameter.
  Handle* Receive() {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
// The kinds whose "no handle" is null, each closed by its own function.
template <typename Handle, auto kClose>
struct NullHandleTraits {
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { kClose(h); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueHKey = UniqueHandle<HKEY, NullHandleTraits<HKEY, &::RegCloseKey>>;
using UniqueServiceHandle =
    UniqueHandle<SC_HANDLE, NullHandleTraits<SC_HANDLE, &::CloseServiceHandle>>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, NullHandleTraits<HGDIOBJ, &::DeleteObject>>;
using UniqueIcon = UniqueHandle<HICON, NullHandleTraits<HICON, &::DestroyIcon>>;
using UniqueMenu = UniqueHandle<HMENU, NullHandleTraits<HMENU, &::DestroyMenu>>;
// A DC from CreateCompatibleDC (not one from GetDC: see ScopedGetDc).
using UniqueMemoryDc = UniqueHandle<HDC, NullHandleTraits<HDC, &::DeleteDC>>;
// Memory from GlobalAlloc, and memory the system allocated with LocalAlloc
// for the caller (FormatMessage's FORMAT_MESSAGE_ALLOCATE_BUFFER).
using UniqueGlobal = UniqueHandle<HGLOBAL, NullHandleTraits<HGLOBAL, &::GlobalFree>>;
using UniqueLocal = UniqueHandle<HLOCAL, NullHandleTraits<HLOCAL, &::LocalFree>>;

// A window's DC (the screen's for nullptr) borrowed with GetDC for the
// scope, and given back with ReleaseDC.
class ScopedGetDc {
 public:
  explicit ScopedGetDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~ScopedGetDc() {
    if (dc_ != nullptr) {
      ::ReleaseDC(window_, dc_);
    }
  }
  ScopedGetDc(const ScopedGetDc&) = delete;
  ScopedGetDc& operator=(const ScopedGetDc&) = delete;

  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// A window's painting, from BeginPaint to EndPaint, which validates what
// was to be painted.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  ~ScopedPaint() {
    if (dc_ != nullptr) {
      ::EndPaint(window_, &paint_);
    }
  }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// An object selected into a DC for the scope; the one it replaced is selected
// back after. Nothing is selected when either is missing.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object)
      : dc_(dc),
        previous_(dc != nullptr && object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
  ~ScopedSelectObject() {
    if (*this) {
      ::SelectObject(dc_, previous_);
    }
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

  // False when the object could not be selected.
  explicit operator bool() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace quellnet::platform::win32
