#include "app/option_text.h"

#include <cstdint>
#include <limits>

namespace quellnet::app {
namespace {

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}

}  // namespace

std::wstring OptionText(platform::CheckValue value) {
  return std::to_wstring(value);
}

std::optional<platform::CheckValue> ParseOptionText(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  bool negative = false;
  if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  if (text.empty()) {
    return std::nullopt;
  }
  // Accumulate in a wider type and stop as soon as the magnitude leaves the
  // 16-bit range, so any number of digits is safe.
  constexpr std::int32_t kLimit = std::numeric_limits<platform::CheckValue>::max() + 1;
  std::int32_t magnitude = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') {
      return std::nullopt;
    }
    magnitude = magnitude * 10 + (c - L'0');
    if (magnitude > kLimit) {
      return std::nullopt;
    }
  }
  const std::int32_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<platform::CheckValue>::max()) {
    return std::nullopt;
  }
  return static_cast<platform::CheckValue>(value);
}

}  // namespace quellnet::app
