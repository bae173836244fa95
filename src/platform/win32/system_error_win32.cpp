// The system's own sentence for an error code, in the user's language.
#include <string>

#include <windows.h>

#include "platform/system_error.h"

namespace quellnet::platform {

std::wstring SystemErrorText(SystemError code) {
  wchar_t* text = nullptr;
  // One line: the system's line breaks become blanks.
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring words(text != nullptr ? text : L"", length);
  ::LocalFree(text);
  while (!words.empty() &&
         (words.back() == L' ' || words.back() == L'\r' || words.back() == L'\n')) {
    words.pop_back();
  }
  return words.empty() ? L"Error " + std::to_wstring(code) + L"." : words;
}

}  // namespace quellnet::platform
