// A stand-in "Messenger" service for the end-to-end tests and the benchmarks:
// a program registers ITSELF as the service, and the Service Control Manager
// starts that same program again with a marker, the stop delay and how it
// behaves on its command line; there it serves until it is told to stop.
//
// Such a program calls ServeIfStartedAsService() first thing in its main:
// there, started by the Service Control Manager, it serves the service and
// does nothing else.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <chrono>
#include <optional>
#include <string>

#include "platform/win32/system/handles.h"

namespace quellnet::tools {

using platform::win32::UniqueServiceHandle;

inline constexpr wchar_t kTestService[] = L"Messenger";
inline constexpr wchar_t kTestServiceMarker[] = L"--quellnet-test-service";

// kRefusesStop: runs without accepting a stop until told to give in (by
// kGiveInControl); kFailsStart: ends with an error of its own at once.
enum class TestServiceMode { kServes, kRefusesStop, kFailsStart };
// A control of the service's own: from then on a refusing service takes stops.
inline constexpr DWORD kGiveInControl = 128;

inline UniqueServiceHandle OpenTestService(DWORD access) {
  const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  return UniqueServiceHandle(manager ? OpenServiceW(manager.Get(), kTestService, access) : nullptr);
}

// ---------------------------------------------------------------- the service process

namespace service_process {

inline DWORD stop_delay_ms = 0;
inline TestServiceMode mode = TestServiceMode::kServes;
inline SERVICE_STATUS_HANDLE status_handle = nullptr;
inline HANDLE stop_requested = nullptr;

// Reports `state`; a stop is pending for about the stop delay.
inline void Report(DWORD state, DWORD exit_code = NO_ERROR) {
  const DWORD accepted =
      state == SERVICE_RUNNING && mode != TestServiceMode::kRefusesStop ? SERVICE_ACCEPT_STOP : 0;
  SERVICE_STATUS status{SERVICE_WIN32_OWN_PROCESS, state, accepted, exit_code, 1, 0,
                        stop_delay_ms + 1000};
  SetServiceStatus(status_handle, &status);
}

// Every other control only asks for the state, which SetServiceStatus has
// told already.
inline DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    Report(SERVICE_STOP_PENDING);
    SetEvent(stop_requested);
  } else if (control == kGiveInControl && mode == TestServiceMode::kRefusesStop) {
    mode = TestServiceMode::kServes;
    Report(SERVICE_RUNNING);
  }
  return NO_ERROR;
}

inline void WINAPI ServiceMain(DWORD, LPWSTR*) {
  status_handle = RegisterServiceCtrlHandlerExW(kTestService, Control, nullptr);
  if (status_handle != nullptr && mode == TestServiceMode::kFailsStart) {
    Report(SERVICE_STOPPED, ERROR_SERVICE_SPECIFIC_ERROR);
  } else if (status_handle != nullptr) {
    Report(SERVICE_RUNNING);
    WaitForSingleObject(stop_requested, INFINITE);
    Sleep(stop_delay_ms);
    Report(SERVICE_STOPPED);
  }
}

}  // namespace service_process

// In the process the Service Control Manager started (PROGRAM MARKER
// STOP_DELAY MODE): serves until stopped, then ends the process. Elsewhere
// it returns at once.
inline void ServeIfStartedAsService() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr || count != 4 || std::wcscmp(args[1], kTestServiceMarker) != 0) {
    LocalFree(args);
    return;
  }
  // The process ends when the service stops; nothing here needs freeing.
  service_process::stop_delay_ms = static_cast<DWORD>(std::wcstoul(args[2], nullptr, 10));
  service_process::mode = static_cast<TestServiceMode>(std::wcstoul(args[3], nullptr, 10));
  service_process::stop_requested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  wchar_t name[] = L"Messenger";  // the table wants it writable
  SERVICE_TABLE_ENTRYW table[] = {{name, service_process::ServiceMain}, {nullptr, nullptr}};
  ExitProcess(StartServiceCtrlDispatcherW(table) ? 0 : 1);
}

// ---------------------------------------------------------------- control from outside

// SERVICE_STOPPED, SERVICE_RUNNING, ...; nullopt when it is not installed.
inline std::optional<DWORD> TestServiceState() {
  const UniqueServiceHandle service = OpenTestService(SERVICE_QUERY_STATUS);
  SERVICE_STATUS status{};
  return service && QueryServiceStatus(service.Get(), &status)
             ? std::optional<DWORD>(status.dwCurrentState)
             : std::nullopt;
}

inline std::optional<DWORD> TestServiceStartType() {
  const UniqueServiceHandle service = OpenTestService(SERVICE_QUERY_CONFIG);
  alignas(QUERY_SERVICE_CONFIGW) unsigned char buffer[8192];
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer);
  DWORD needed = 0;
  return service && QueryServiceConfigW(service.Get(), config, sizeof buffer, &needed)
             ? std::optional<DWORD>(config->dwStartType)
             : std::nullopt;
}

inline bool WaitForTestServiceState(std::optional<DWORD> state, int timeout_ms = 60000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (TestServiceState() != state && std::chrono::steady_clock::now() < deadline) {
    Sleep(1);
  }
  return TestServiceState() == state;
}

// Starts or stops it and waits until it reports that state.
inline bool StartTestService() {
  const UniqueServiceHandle service = OpenTestService(SERVICE_START);
  return service && StartServiceW(service.Get(), 0, nullptr) &&
         WaitForTestServiceState(SERVICE_RUNNING);
}

inline bool StopTestService() {
  const UniqueServiceHandle service = OpenTestService(SERVICE_STOP);
  SERVICE_STATUS status{};
  return service && ControlService(service.Get(), SERVICE_CONTROL_STOP, &status) &&
         WaitForTestServiceState(SERVICE_STOPPED);
}

// Stops the service if it runs and removes it; true when it is gone, which
// is once the last handle to it is closed.
inline bool DeleteTestService() {
  // One that refuses stops gives in first; both fail at once when it does not run.
  SERVICE_STATUS status{};
  ControlService(OpenTestService(SERVICE_USER_DEFINED_CONTROL).Get(), kGiveInControl, &status);
  StopTestService();
  {
    const UniqueServiceHandle service = OpenTestService(DELETE);
    if (!service) {
      // Not installed, or out of reach, which registering it again then
      // reports with its own error. The error of the opening is not read:
      // closing the manager's handle after it may have replaced it.
      return !TestServiceState().has_value();
    }
    if (!DeleteService(service.Get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
      return false;
    }
  }
  return WaitForTestServiceState(std::nullopt);
}

// Marks it for deletion and leaves it as it is: a running one goes on
// running, and Windows removes it once it has stopped.
inline bool MarkTestServiceForDeletion() {
  const UniqueServiceHandle service = OpenTestService(DELETE);
  return service && DeleteService(service.Get());
}

inline bool SetTestServiceStartType(DWORD start_type) {
  const UniqueServiceHandle service = OpenTestService(SERVICE_CHANGE_CONFIG);
  return service &&
         ChangeServiceConfigW(service.Get(), SERVICE_NO_CHANGE, start_type, SERVICE_NO_CHANGE,
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

// Registers the service, replacing an older one. It takes `stop_delay_ms`
// between being told to stop and reporting that it has. Returns the error
// code, 0 on success.
inline DWORD InstallTestService(DWORD stop_delay_ms, DWORD start_type = SERVICE_DEMAND_START,
                                TestServiceMode mode = TestServiceMode::kServes) {
  if (!DeleteTestService()) {
    return ERROR_SERVICE_EXISTS;
  }
  wchar_t own[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, own, MAX_PATH);
  const std::wstring command = L"\"" + std::wstring(own) + L"\" " + kTestServiceMarker + L" " +
                               std::to_wstring(stop_delay_ms) + L" " +
                               std::to_wstring(static_cast<int>(mode));
  const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
  const UniqueServiceHandle service(
      manager ? CreateServiceW(manager.Get(), kTestService, kTestService, SERVICE_ALL_ACCESS,
                               SERVICE_WIN32_OWN_PROCESS, start_type, SERVICE_ERROR_IGNORE,
                               command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr)
              : nullptr);
  return service ? ERROR_SUCCESS : GetLastError();
}

}  // namespace quellnet::tools
