#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/option_text.h"

namespace quellnet::app {
namespace {

TEST(OptionText, WritesThePlainDecimalText) {
  EXPECT_EQ(OptionText(0), L"0");
  EXPECT_EQ(OptionText(1), L"1");
  EXPECT_EQ(OptionText(2), L"2");
}

TEST(ParseOptionText, AcceptsWholeNumbersWithBlanksSignsAndLeadingZeros) {
  struct Case {
    const wchar_t* text;
    int expected;
  };
  for (const Case& c :
       {Case{L"0", 0}, Case{L"1", 1}, Case{L"01", 1}, Case{L" 1 ", 1}, Case{L"\t1", 1},
        Case{L"0001", 1}, Case{L"7", 7}, Case{L"2", 2}, Case{L"+1", 1}, Case{L"-1", -1},
        Case{L"32767", 32767}, Case{L"-32768", -32768}, Case{L"000000000000000000032767", 32767}}) {
    const auto value = ParseOptionText(c.text);
    ASSERT_TRUE(value.has_value()) << testing::PrintToString(std::wstring(c.text));
    EXPECT_EQ(*value, c.expected);
  }
}

TEST(ParseOptionText, RefusesTextThatIsNotA16BitWholeNumber) {
  for (const wchar_t* text :
       {L"", L"   ", L"yes", L"on", L"1x", L"x1", L"1 1", L"1.0", L"1e0", L"0x1", L"+", L"-",
        L"- 1", L"32768", L"-32769", L"65537", L"99999999999999999999", L"\x0661"}) {
    EXPECT_EQ(ParseOptionText(text), std::nullopt) << testing::PrintToString(std::wstring(text));
  }
}

}  // namespace
}  // namespace quellnet::app
