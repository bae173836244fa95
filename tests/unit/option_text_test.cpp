#include "app/option_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quellnet::app {
namespace {

TEST(ParseOptionText, ReadsOnlyA16BitWholeNumberWithBlanksSignsAndLeadingZeros) {
  struct Case {
    const wchar_t* text;
    std::optional<int> expected;
  };
  for (const Case& c :
       {Case{L"0", 0},         Case{L"1", 1},           Case{L"01", 1},
        Case{L" 1 ", 1},       Case{L"\t1", 1},         Case{L"7", 7},
        Case{L"2", 2},         Case{L"+1", 1},          Case{L"-1", -1},
        Case{L"32767", 32767}, Case{L"-32768", -32768}, Case{L"000000000000000000032767", 32767},
        Case{L"", {}},         Case{L"   ", {}},        Case{L"yes", {}},
        Case{L"1x", {}},       Case{L"1 1", {}},        Case{L"1.0", {}},
        Case{L"0x1", {}},      Case{L"-", {}},          Case{L"- 1", {}},
        Case{L"32768", {}},    Case{L"-32769", {}},     Case{L"99999999999999999999", {}},
        Case{L"\x0661", {}}}) {
    const auto value = ParseOptionText(c.text);
    EXPECT_EQ(value ? std::optional<int>(*value) : std::nullopt, c.expected)
        << testing::PrintToString(std::wstring(c.text));
  }
}

}  // namespace
}  // namespace quellnet::app
