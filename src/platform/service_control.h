// Stopping and starting a Windows service, as the protection switch needs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace quellnet::platform {

enum class ServiceState { kStopped, kRunning, kPending, kNotInstalled, kUnknown };

enum class ServiceOutcome {
  kDone,
  kAlreadyInState,  // counts as done
  kNotInstalled,
  // Removed from Windows, which deletes it once it has stopped and nothing
  // holds it open; until then it may still run.
  kMarkedForDeletion,
  kAccessDenied,
  kTimedOut,
  kOtherError,
};

struct ServiceResult {
  ServiceOutcome outcome = ServiceOutcome::kOtherError;
  SystemError error = 0;  // the system's code for a failure, where it gave one
  // A code of the service's own, where it stopped with one while starting.
  std::optional<std::uint32_t> service_code = std::nullopt;
};

class ServiceControl {
 public:
  virtual ~ServiceControl() = default;
  // Stops the service so that it stays stopped: one that starts automatically
  // is first set to start on demand, a disabled one stays disabled, and one
  // marked for deletion is stopped as it is. Waits until it reports stopped,
  // at most 30 seconds (kTimedOut), and less when the program ends meanwhile.
  // When it does not get there (any outcome but kDone and kAlreadyInState),
  // its start type is put back as it was.
  virtual ServiceResult Stop(std::wstring_view service_name) = 0;
  // Sets the service to start automatically and starts it; waits until it
  // reports running, with the same limits, and puts the start type back as
  // it was when it does not get there.
  virtual ServiceResult Start(std::wstring_view service_name) = 0;
  virtual ServiceState Query(std::wstring_view service_name) = 0;
};

}  // namespace quellnet::platform
