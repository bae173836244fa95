// The machine's address, in memory.
#pragma once

#include <optional>
#include <string>

#include "platform/network.h"

namespace quellnet::fakes {

class FakeNetwork final : public platform::Network {
 public:
  std::optional<std::wstring> LocalIpAddress() override { return address; }

  std::optional<std::wstring> address = L"192.168.1.20";
};

}  // namespace quellnet::fakes
