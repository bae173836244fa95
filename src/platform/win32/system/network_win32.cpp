// The machine's IPv4 addresses from the IP helper's list of network
// adapters (GetAdaptersInfo): no name look-up and no Winsock, so start-up does not wait on
// either. The IP helper is loaded from the system folder (see
// optional_functions_win32.h); without it the address is unknown.
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/process/factories.h"
#include "platform/win32/system/optional_functions_win32.h"

namespace quellnet::platform::win32 {
namespace {

// The adapter list can grow between asking for its size and reading it;
// a few tries are plenty.
constexpr int kReadTries = 4;

class Win32Network final : public Network {
 public:
  std::optional<std::vector<std::string>> LocalIpv4Addresses() override {
    const auto get_adapters_info = IpHelper().get_adapters_info;
    if (get_adapters_info == nullptr) {
      return std::nullopt;
    }
    // IP_ADAPTER_INFO records, so the buffer is aligned for them.
    std::vector<IP_ADAPTER_INFO> adapters(1);
    for (int attempt = 0; attempt < kReadTries; ++attempt) {
      ULONG size = static_cast<ULONG>(adapters.size() * sizeof(IP_ADAPTER_INFO));
      const DWORD result = get_adapters_info(adapters.data(), &size);
      if (result == ERROR_NO_DATA) {
        return std::vector<std::string>();  // no adapter at all
      }
      if (result == ERROR_BUFFER_OVERFLOW) {
        adapters.resize((size + sizeof(IP_ADAPTER_INFO) - 1) / sizeof(IP_ADAPTER_INFO));
        continue;
      }
      if (result != NO_ERROR) {
        return std::nullopt;
      }
      // Every address of every adapter, in the order Windows lists them.
      std::vector<std::string> addresses;
      for (const IP_ADAPTER_INFO* adapter = adapters.data(); adapter != nullptr;
           adapter = adapter->Next) {
        for (const IP_ADDR_STRING* address = &adapter->IpAddressList; address != nullptr;
             address = address->Next) {
          // A 16-character field, ended by a NUL unless it is full.
          const char* text = address->IpAddress.String;
          const void* nul = std::memchr(text, '\0', sizeof address->IpAddress.String);
          addresses.emplace_back(text, nul != nullptr ? static_cast<const char*>(nul) - text
                                                      : sizeof address->IpAddress.String);
        }
      }
      return addresses;
    }
    return std::nullopt;
  }
};

}  // namespace

std::unique_ptr<Network> CreateNetwork() {
  return std::make_unique<Win32Network>();
}

}  // namespace quellnet::platform::win32
