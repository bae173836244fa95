#include "platform/win32/files/program_file_win32.h"

#include <windows.h>

namespace quellnet::platform::win32 {

std::wstring ProgramFilePath() {
  // Long enough for any path the system hands out, "\\?\" form included.
  constexpr DWORD kLongestPath = 32768;
  // The path may be longer than MAX_PATH; grow the buffer until it fits. A
  // cut-off path fills the buffer exactly (XP does not even end it with a
  // NUL), which is how a too small buffer shows on every version.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) {
      return std::wstring();
    }
    if (length < size) {
      path.resize(length);
      return path;
    }
    if (size >= kLongestPath) {
      return std::wstring();
    }
    path.resize(size * 2 > kLongestPath ? kLongestPath : size * 2);
  }
}

}  // namespace quellnet::platform::win32
