#include "app/local_address.h"

#include <array>
#include <optional>

namespace quellnet::app {
namespace {

using Octets = std::array<int, 4>;

// "a.b.c.d", each part one to three digits of at most 255.
std::optional<Octets> ParseDotted(std::string_view text) {
  Octets octets{};
  std::size_t at = 0;
  for (std::size_t part = 0; part < octets.size(); ++part) {
    if (part > 0) {
      if (at >= text.size() || text[at] != '.') {
        return std::nullopt;
      }
      ++at;
    }
    int value = 0;
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
      value = value * 10 + (text[at] - '0');
      ++at;
      ++digits;
    }
    if (digits == 0 || value > 255) {
      return std::nullopt;
    }
    octets[part] = value;
  }
  if (at != text.size()) {
    return std::nullopt;
  }
  return octets;
}

bool IsUsable(const Octets& octets) {
  return octets[0] != 127 && octets != Octets{0, 0, 0, 0};
}

}  // namespace

std::wstring PickLocalAddress(const std::vector<std::string_view>& addresses) {
  for (std::string_view text : addresses) {
    const std::optional<Octets> octets = ParseDotted(text);
    if (octets && IsUsable(*octets)) {
      return std::to_wstring((*octets)[0]) + L"." + std::to_wstring((*octets)[1]) + L"." +
             std::to_wstring((*octets)[2]) + L"." + std::to_wstring((*octets)[3]);
    }
  }
  return L"127.0.0.1";
}

}  // namespace quellnet::app
