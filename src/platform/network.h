// The machine's own network address, shown on the main page.
#pragma once

#include <optional>
#include <string>

namespace quellnet::platform {

class Network {
 public:
  virtual ~Network() = default;
  // The first IPv4 address of this machine that is not a loopback address,
  // "127.0.0.1" when there is none; nullopt when it can't be read at all.
  virtual std::optional<std::wstring> LocalIpAddress() = 0;
};

}  // namespace quellnet::platform
