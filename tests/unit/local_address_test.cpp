#include <gtest/gtest.h>

#include "app/local_address.h"
#include "tools/table.h"

namespace quellnet::app {
namespace {

// The first address that names this machine on the network, or loopback when
// none is left: data/local_addresses.tsv.
TEST(PickLocalAddress, TheFirstAddressThatNamesThisMachineOrLoopback) {
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/local_addresses.tsv")) {
    EXPECT_EQ(PickLocalAddress({row.begin() + 1, row.end()}), tools::Wide(row[0]))
        << testing::PrintToString(row);
  }
}

}  // namespace
}  // namespace quellnet::app
