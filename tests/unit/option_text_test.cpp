#include "app/option_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tools/table.h"

namespace quellnet::app {
namespace {

TEST(ParseOptionText, ReadsOnlyA16BitWholeNumberWithBlanksSignsAndLeadingZeros) {
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/option_texts.tsv")) {
    EXPECT_EQ(ParseOptionText(tools::Wide(row[0])),
              row[1] == "-" ? std::nullopt : std::optional(std::stoi(row[1])))
        << '"' << row[0] << '"';
  }
  // What the table's plain ASCII can't hold: a tab, and an Arabic-Indic one.
  EXPECT_EQ(ParseOptionText(L"\t1"), 1);
  EXPECT_FALSE(ParseOptionText(L"\x0661").has_value());
}

}  // namespace
}  // namespace quellnet::app
