// Which of the machine's IPv4 addresses the main page shows; the network
// contract lists them (platform/network.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quellnet::app {

// The first of `addresses` (dotted texts, in the order Windows lists its
// network adapters) that is neither a loopback address (127.x.x.x) nor
// 0.0.0.0 (an adapter without an address), written the usual way; texts that
// are not four numbers 0..255 are passed over. "127.0.0.1" when none is left.
std::wstring PickLocalAddress(const std::vector<std::string_view>& addresses);

}  // namespace quellnet::app
