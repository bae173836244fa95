// Stopping and starting a service through the Service Control Manager. A
// stop also sets an automatic service to start on demand and leaves a
// disabled one disabled, a start sets it to start automatically; both wait
// until the service reports the requested state, and put the start type
// back when it does not get there.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/process/factories.h"
#include "platform/win32/system/handles.h"

namespace quellnet::platform::win32 {
namespace {

constexpr DWORD kWaitLimitMs = 30000;
// Bounds of the pause between two status queries. The upper one keeps the
// wait from outlasting the service by more than about a hundredth of a second.
constexpr DWORD kShortestPollMs = 5;
constexpr DWORD kLongestPollMs = 10;

ServiceResult Failure(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
      return {ServiceOutcome::kAccessDenied, error};
    case ERROR_SERVICE_DOES_NOT_EXIST:
      return {ServiceOutcome::kNotInstalled, error};
    case ERROR_SERVICE_MARKED_FOR_DELETE:
      return {ServiceOutcome::kMarkedForDeletion, error};
    default:
      return {ServiceOutcome::kOtherError, error};
  }
}

DWORD SetStartType(SC_HANDLE service, DWORD start_type) {
  return ::ChangeServiceConfigW(service, SERVICE_NO_CHANGE, start_type, SERVICE_NO_CHANGE, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)
             ? ERROR_SUCCESS
             : ::GetLastError();
}

// How the service starts (SERVICE_AUTO_START, ...), in `start_type`. Returns
// the error of the query, ERROR_SUCCESS when done.
DWORD QueryStartType(SC_HANDLE service, DWORD& start_type) {
  // The largest configuration the call returns is 8 KiB; whole 64-bit words
  // keep the record's pointers aligned.
  constexpr DWORD kLargestConfig = 8192;
  std::vector<std::uint64_t> buffer(kLargestConfig / sizeof(std::uint64_t));
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
  DWORD needed = 0;
  if (!::QueryServiceConfigW(service, config, kLargestConfig, &needed)) {
    return ::GetLastError();
  }
  start_type = config->dwStartType;
  return ERROR_SUCCESS;
}

// The start type that goes with a service in `target`. After a stop, one
// that would start again by itself at the next restart starts on demand, so
// the stop lasts; a disabled one stays disabled, as on demand would make it
// startable again. After a start, it starts automatically.
DWORD StartTypeFor(DWORD target, DWORD start_type) {
  if (target == SERVICE_RUNNING) {
    return SERVICE_AUTO_START;
  }
  return start_type == SERVICE_DISABLED ? SERVICE_DISABLED : SERVICE_DEMAND_START;
}

bool Reached(const ServiceResult& result) {
  return result.outcome == ServiceOutcome::kDone ||
         result.outcome == ServiceOutcome::kAlreadyInState;
}

bool IsPending(DWORD state) {
  return state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING ||
         state == SERVICE_CONTINUE_PENDING || state == SERVICE_PAUSE_PENDING;
}

// A tenth of the service's own estimate of its next step, within bounds.
DWORD PollInterval(const SERVICE_STATUS& status) {
  return std::clamp<DWORD>(status.dwWaitHint / 10, kShortestPollMs, kLongestPollMs);
}

// Asks a service that is settled in `current` to move to `target`. Returns
// the error of the request, ERROR_SUCCESS when it was accepted.
DWORD Request(SC_HANDLE service, DWORD current, DWORD target) {
  SERVICE_STATUS ignored{};
  BOOL accepted = FALSE;
  if (target == SERVICE_STOPPED) {
    accepted = ::ControlService(service, SERVICE_CONTROL_STOP, &ignored);
  } else if (current == SERVICE_PAUSED) {
    accepted = ::ControlService(service, SERVICE_CONTROL_CONTINUE, &ignored);
  } else {
    accepted = ::StartServiceW(service, 0, nullptr);
  }
  return accepted ? ERROR_SUCCESS : ::GetLastError();
}

// Why a service that was asked to start has stopped again.
ServiceResult EndedWhileStarting(const SERVICE_STATUS& status) {
  if (status.dwWin32ExitCode == ERROR_SERVICE_SPECIFIC_ERROR) {
    return {ServiceOutcome::kOtherError, ERROR_SERVICE_SPECIFIC_ERROR,
            status.dwServiceSpecificExitCode};
  }
  const DWORD code =
      status.dwWin32ExitCode != NO_ERROR ? status.dwWin32ExitCode : ERROR_SERVICE_NOT_ACTIVE;
  return {ServiceOutcome::kOtherError, code};
}

// Moves the service to `target` (SERVICE_STOPPED or SERVICE_RUNNING) and
// waits until it reports that state, at most kWaitLimitMs, or until `wait`
// says to stop waiting.
ServiceResult MoveTo(SC_HANDLE service, DWORD target, const WaitFn& wait) {
  const DWORD started = ::GetTickCount();
  bool requested = false;
  for (;;) {
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(service, &status)) {
      return Failure(::GetLastError());
    }
    const DWORD state = status.dwCurrentState;
    if (state == target) {
      return {requested ? ServiceOutcome::kDone : ServiceOutcome::kAlreadyInState};
    }
    if (requested && target == SERVICE_RUNNING && state == SERVICE_STOPPED) {
      return EndedWhileStarting(status);
    }
    if (!requested && !IsPending(state)) {
      const DWORD error = Request(service, state, target);
      if (error == ERROR_SUCCESS || error == ERROR_SERVICE_NOT_ACTIVE ||
          error == ERROR_SERVICE_ALREADY_RUNNING) {
        // Accepted, or the service got there by itself meanwhile: look again
        // at once.
        requested = true;
        continue;
      }
      if (error != ERROR_SERVICE_CANNOT_ACCEPT_CTRL) {
        return Failure(error);
      }
      // Between two states after all: wait, then ask again.
    }
    // Unsigned arithmetic keeps this right when the tick count wraps.
    if (::GetTickCount() - started >= kWaitLimitMs || !wait(PollInterval(status))) {
      return {ServiceOutcome::kTimedOut};
    }
  }
}

class Win32ServiceControl final : public ServiceControl {
 public:
  explicit Win32ServiceControl(WaitFn wait) : wait_(std::move(wait)) {}

  ServiceResult Stop(std::wstring_view service_name) override {
    return Change(service_name, SERVICE_STOPPED);
  }

  ServiceResult Start(std::wstring_view service_name) override {
    return Change(service_name, SERVICE_RUNNING);
  }

  ServiceState Query(std::wstring_view service_name) override {
    UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
      return ServiceState::kUnknown;
    }
    UniqueServiceHandle service(
        ::OpenServiceW(manager.Get(), std::wstring(service_name).c_str(), SERVICE_QUERY_STATUS));
    if (!service) {
      const DWORD error = ::GetLastError();
      return error == ERROR_SERVICE_DOES_NOT_EXIST ? ServiceState::kNotInstalled
                                                   : ServiceState::kUnknown;
    }
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(service.Get(), &status)) {
      return ServiceState::kUnknown;
    }
    switch (status.dwCurrentState) {
      case SERVICE_STOPPED:
        return ServiceState::kStopped;
      case SERVICE_RUNNING:
      case SERVICE_PAUSED:
        // A paused service is not stopped, so it does not count as stopped.
        return ServiceState::kRunning;
      default:
        return ServiceState::kPending;
    }
  }

 private:
  // Sets the start type that goes with `target`, then moves the service
  // there. A request that does not get there puts the start type back, so
  // that it changes nothing that the user is not told of: a service that
  // failed to start is not left to start at the next restart, nor one that
  // refused to stop left to start only on demand.
  ServiceResult Change(std::wstring_view service_name, DWORD target) {
    UniqueServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
      return Failure(::GetLastError());
    }
    const bool stop = target == SERVICE_STOPPED;
    const DWORD access = SERVICE_QUERY_CONFIG | SERVICE_CHANGE_CONFIG | SERVICE_QUERY_STATUS |
                         (stop ? SERVICE_STOP : SERVICE_START | SERVICE_PAUSE_CONTINUE);
    UniqueServiceHandle service(
        ::OpenServiceW(manager.Get(), std::wstring(service_name).c_str(), access));
    if (!service) {
      return Failure(::GetLastError());
    }
    DWORD before = 0;
    DWORD error = QueryStartType(service.Get(), before);
    const bool change = error == ERROR_SUCCESS && StartTypeFor(target, before) != before;
    if (change) {
      error = SetStartType(service.Get(), StartTypeFor(target, before));
    }
    // A service marked for deletion takes no new configuration but may still
    // run: stopping it is what protection needs, and lets Windows remove it.
    // It can't be started again.
    if (error != ERROR_SUCCESS && !(stop && error == ERROR_SERVICE_MARKED_FOR_DELETE)) {
      return Failure(error);
    }
    const ServiceResult result = MoveTo(service.Get(), target, wait_);
    if (change && error == ERROR_SUCCESS && !Reached(result)) {
      // The same handle was just allowed the change, so this fails only when
      // the service went meanwhile (then nothing is left to put back) or the
      // system is failing; the user is told of the failed request either way.
      SetStartType(service.Get(), before);
    }
    return result;
  }

  WaitFn wait_;
};

}  // namespace

std::unique_ptr<ServiceControl> CreateServiceControl(WaitFn wait) {
  return std::make_unique<Win32ServiceControl>(std::move(wait));
}

}  // namespace quellnet::platform::win32
