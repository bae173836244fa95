#include <gtest/gtest.h>

#include "app/local_address.h"

namespace {

using quellnet::app::PickLocalAddress;

// The first address that names this machine on the network, or loopback when
// none is left; texts that are not four numbers up to 255 are passed over.
TEST(PickLocalAddress, TheFirstAddressThatNamesThisMachineOrLoopback) {
  EXPECT_EQ(PickLocalAddress({"192.168.1.20", "10.0.0.5"}), L"192.168.1.20");
  // Loopback addresses and adapters without an address are passed over.
  EXPECT_EQ(PickLocalAddress({"127.0.0.1", "0.0.0.0", "127.1.2.3", "10.0.0.5"}), L"10.0.0.5");
  // 0 and 127 only count as a whole: these are ordinary addresses.
  EXPECT_EQ(PickLocalAddress({"0.0.0.1"}), L"0.0.0.1");
  EXPECT_EQ(PickLocalAddress({"126.255.255.255"}), L"126.255.255.255");
  EXPECT_EQ(PickLocalAddress({"128.0.0.0"}), L"128.0.0.0");
  EXPECT_EQ(PickLocalAddress({}), L"127.0.0.1");
  for (const char* text : {"", "10.0.0", "10.0.0.1.2", "10.0.0.256", "10..0.1", "10.0.0.1 ",
                           " 10.0.0.1", "10.0.0.x", "1000.0.0.1", "10.0.0.-1", "::1"}) {
    EXPECT_EQ(PickLocalAddress({text, "10.9.8.7"}), L"10.9.8.7") << text;
  }
  // Leading zeros are read as decimal and written without them.
  EXPECT_EQ(PickLocalAddress({"010.001.000.009"}), L"10.1.0.9");
}

}  // namespace
