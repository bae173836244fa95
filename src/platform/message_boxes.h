// The window's modal message boxes.
#pragma once

#include <string_view>

namespace quellnet::platform {

enum class MessageIcon { kNone, kInformation, kWarning };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;

  // Modal box with one OK button, captioned `caption`. Shown only while the
  // program is not ending.
  virtual void ShowMessage(std::wstring_view text, std::wstring_view caption, MessageIcon icon) = 0;
  // Modal box with the buttons Retry and Cancel. True when the user chose
  // Retry; false for Cancel, and without a box while the program is ending.
  virtual bool AskRetry(std::wstring_view text, std::wstring_view caption, MessageIcon icon) = 0;
};

}  // namespace quellnet::platform
