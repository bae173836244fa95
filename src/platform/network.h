// The machine's own network addresses; the main page shows one of them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quellnet::platform {

class Network {
 public:
  virtual ~Network() = default;
  // Every IPv4 address of every network adapter of this machine, as dotted
  // text in the order Windows lists the adapters (loopback and 0.0.0.0
  // included); empty without any adapter, nullopt when the list can't be
  // read at all.
  virtual std::optional<std::vector<std::string>> LocalIpv4Addresses() = 0;
};

}  // namespace quellnet::platform
