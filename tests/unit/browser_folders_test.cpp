// Which locations are recognisably the browser's cache or cookie folder, as
// data/browser_folders.tsv says: real layouts and look-alikes.
#include <gtest/gtest.h>

#include "cleaners/browser_folders.h"
#include "tools/table.h"

namespace quellnet::cleaners {
namespace {

TEST(BrowserFolders, AreRecognisedInEveryRealLayoutAndNoLookAlike) {
  const auto rows = tools::TableFile(QUELLNET_UNIT_DATA "/browser_folders.tsv");
  ASSERT_GT(rows.size(), 20u);
  for (const tools::TableRow& row : rows) {
    const BrowserFolder kind = row[1] == "cache" ? BrowserFolder::kCache : BrowserFolder::kCookies;
    EXPECT_EQ(IsBrowsersOwn(kind, tools::Wide(row[3]), tools::Wide(row[2])), row[0] == "yes")
        << row[1] << " at " << row[3];
  }
}

}  // namespace
}  // namespace quellnet::cleaners
