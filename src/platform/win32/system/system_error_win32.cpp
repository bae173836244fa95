// The system's own sentence for an error code, in the user's language.
#include <cwctype>
#include <string>

#include <windows.h>

#include "platform/system_error.h"
#include "platform/win32/system/handles.h"

namespace quellnet::platform {

std::wstring SystemErrorText(SystemError code) {
  win32::UniqueLocal buffer;
  // One line: the system's line breaks become blanks.
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(buffer.Receive()), 0, nullptr);
  const auto* text = static_cast<const wchar_t*>(buffer.Get());
  std::wstring words(text != nullptr ? text : L"", text != nullptr ? length : 0);
  while (!words.empty() && std::iswspace(static_cast<std::wint_t>(words.back()))) {
    words.pop_back();
  }
  return words.empty() ? L"Error " + std::to_wstring(code) + L"." : words;
}

}  // namespace quellnet::platform
