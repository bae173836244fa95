// The window's modal message boxes.
#pragma once

#include <string_view>

namespace quellnet::platform {

enum class MessageIcon { kNone, kInformation, kWarning };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;

  // Every box is modal and captioned with the program's title, which the
  // caller does not pass, and shown only while the program is not ending.
  // One with one OK button:
  virtual void ShowMessage(std::wstring_view text, MessageIcon icon) = 0;
  // One with the buttons Retry and Cancel. True when the user chose Retry;
  // false for Cancel, and without a box while the program is ending.
  virtual bool AskRetry(std::wstring_view text, MessageIcon icon) = 0;
};

}  // namespace quellnet::platform
