// The machine's local IPv4 address through Winsock: the addresses its own
// host name resolves to, the first that is not a loopback address.
#include <winsock2.h>

#include <cstring>
#include <string>

#include "platform/win32/factories.h"

namespace quellnet::platform::win32 {
namespace {

// Winsock is needed only for this one look-up, so it is started and ended
// around it.
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data{};
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockSession() {
    if (started_) {
      // A failing cleanup leaves nothing to undo.
      ::WSACleanup();
    }
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;

  bool started() const { return started_; }

 private:
  bool started_ = false;
};

// 127.0.0.0/8 is loopback; 0.0.0.0 names no machine.
bool IsUsable(const in_addr& address) {
  const unsigned long host_order = ::ntohl(address.s_addr);
  return (host_order >> 24) != 127 && host_order != 0;
}

std::wstring DottedText(const in_addr& address) {
  const unsigned long host_order = ::ntohl(address.s_addr);
  return std::to_wstring((host_order >> 24) & 0xFF) + L"." +
         std::to_wstring((host_order >> 16) & 0xFF) + L"." +
         std::to_wstring((host_order >> 8) & 0xFF) + L"." + std::to_wstring(host_order & 0xFF);
}

class Win32Network final : public Network {
 public:
  std::optional<std::wstring> LocalIpAddress() override {
    WinsockSession winsock;
    if (!winsock.started()) {
      return std::nullopt;
    }
    char host_name[256] = {};
    if (::gethostname(host_name, sizeof host_name - 1) != 0) {
      return std::nullopt;
    }
    const hostent* host = ::gethostbyname(host_name);
    if (host == nullptr) {
      return std::nullopt;
    }
    if (host->h_addrtype == AF_INET && host->h_length == sizeof(in_addr)) {
      for (char** entry = host->h_addr_list; *entry != nullptr; ++entry) {
        in_addr address{};
        memcpy(&address, *entry, sizeof address);
        if (IsUsable(address)) {
          return DottedText(address);
        }
      }
    }
    return std::wstring(L"127.0.0.1");
  }
};

}  // namespace

std::unique_ptr<Network> CreateNetwork() {
  return std::make_unique<Win32Network>();
}

}  // namespace quellnet::platform::win32
