// Calls a Win32 "fill this buffer" function, growing the buffer as it asks.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quellnet::platform::win32 {

// `fill(buffer, size)` returns the length written (without the NUL), the size
// needed (with it) when the buffer is too small, or 0 on failure.
template <typename Fill>
std::optional<std::wstring> Filled(Fill fill) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      return std::nullopt;
    }
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(length + 1, L'\0');  // too small: `length` is the size needed
  }
  return std::nullopt;
}

}  // namespace quellnet::platform::win32
