#include "platform/win32/process/redirection_guard_win32.h"

#include "platform/win32/system/optional_functions_win32.h"

namespace quellnet::platform::win32 {
namespace {

// PROCESS_MITIGATION_POLICY's ProcessRedirectionTrustPolicy and its one
// flag, which older SDK headers lack.
constexpr int kRedirectionTrustPolicy = 16;
struct RedirectionTrustPolicy {
  DWORD flags;
};
constexpr DWORD kEnforceRedirectionTrust = 0x1;

}  // namespace

void RefuseUntrustedLinks() {
  const auto set_policy = Kernel32().set_process_mitigation_policy;
  RedirectionTrustPolicy policy{kEnforceRedirectionTrust};
  // A system without the policy turns it down; the cleaners' own checks
  // hold there just the same.
  if (set_policy != nullptr) {
    set_policy(kRedirectionTrustPolicy, &policy, sizeof policy);
  }
}

}  // namespace quellnet::platform::win32
