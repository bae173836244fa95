// The stored form of a check box's option state: its decimal text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/controls.h"

namespace quellnet::app {

// "0", "1" or "2": no sign, blanks or leading zeros.
std::wstring OptionText(platform::CheckValue value);

// Reads stored text back as a 16-bit whole number. Blanks around the number,
// a sign and leading zeros are accepted, so " 01 " reads as 1. Anything else
// (empty text, a word, a fraction, digits beyond the 16-bit range) gives
// nullopt.
std::optional<platform::CheckValue> ParseOptionText(std::wstring_view text);

}  // namespace quellnet::app
