#include "app/option_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace quellnet::app {
namespace {

TEST(ParseOptionText, ReadsOnlyA16BitWholeNumberWithBlanksSignsAndLeadingZeros) {
  const std::pair<const wchar_t*, int> accepted[] = {
      {L"0", 0},   {L"1", 1},         {L"01", 1},          {L" 1 ", 1},
      {L"\t1", 1}, {L"7", 7},         {L"2", 2},           {L"+1", 1},
      {L"-1", -1}, {L"32767", 32767}, {L"-32768", -32768}, {L"000000000000000000032767", 32767}};
  for (const auto& [text, expected] : accepted) {
    EXPECT_EQ(ParseOptionText(text), expected) << testing::PrintToString(std::wstring(text));
  }
  for (const wchar_t* text : {L"", L"   ", L"yes", L"1x", L"1 1", L"1.0", L"0x1", L"-", L"- 1",
                              L"32768", L"-32769", L"99999999999999999999", L"\x0661"}) {
    EXPECT_FALSE(ParseOptionText(text).has_value()) << testing::PrintToString(std::wstring(text));
  }
}

}  // namespace
}  // namespace quellnet::app
