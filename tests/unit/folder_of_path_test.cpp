#include "platform/path_text.h"

#include <gtest/gtest.h>

#include "tools/table.h"

namespace {

using quellnet::tools::Wide;

TEST(FolderOfPath, DropsTheFileNameButKeepsTheSeparatorOfARoot) {
  for (const auto& row : quellnet::tools::TableFile(QUELLNET_UNIT_DATA "/folders_of_paths.tsv")) {
    EXPECT_EQ(quellnet::platform::paths::FolderOfPath(Wide(row[0])), Wide(row[1])) << row[0];
  }
}

}  // namespace
