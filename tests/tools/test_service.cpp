#include "test_service.h"

#include <shellapi.h>

#include <cwchar>
#include <string>

#include "platform/win32/handles.h"

namespace quellnet::tools {
namespace {

using platform::win32::UniqueServiceHandle;

constexpr wchar_t kServiceMarker[] = L"--quellnet-test-service";

UniqueServiceHandle OpenTestService(DWORD access) {
  const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  return UniqueServiceHandle(manager ? OpenServiceW(manager.Get(), kTestService, access) : nullptr);
}

// ---------------------------------------------------------------- the service itself

DWORD g_stop_delay_ms = 0;
SERVICE_STATUS_HANDLE g_status_handle = nullptr;
HANDLE g_stop_requested = nullptr;

void Report(DWORD state, DWORD wait_hint = 0) {
  static DWORD checkpoint = 0;
  SERVICE_STATUS status{SERVICE_WIN32_OWN_PROCESS,
                        state,
                        state == SERVICE_RUNNING ? DWORD{SERVICE_ACCEPT_STOP} : 0,
                        0,
                        0,
                        state == SERVICE_STOP_PENDING ? ++checkpoint : 0,
                        wait_hint};
  SetServiceStatus(g_status_handle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    Report(SERVICE_STOP_PENDING, g_stop_delay_ms + 1000);
    SetEvent(g_stop_requested);
  }
  return control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_INTERROGATE
             ? NO_ERROR
             : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
  g_status_handle = RegisterServiceCtrlHandlerExW(kTestService, Control, nullptr);
  if (g_status_handle != nullptr) {
    Report(SERVICE_RUNNING);
    WaitForSingleObject(g_stop_requested, INFINITE);
    Sleep(g_stop_delay_ms);
    Report(SERVICE_STOPPED);
  }
}

// ---------------------------------------------------------------- control from outside

bool WaitForState(SC_HANDLE service, DWORD state, int timeout_ms) {
  SERVICE_STATUS status{};
  for (int waited = 0; QueryServiceStatus(service, &status) && status.dwCurrentState != state &&
                       waited < timeout_ms;
       ++waited) {
    Sleep(1);
  }
  return status.dwCurrentState == state;
}

// Sends `control` (0: a start) and waits for `state`, timing the wait.
bool Change(DWORD control, DWORD state, std::chrono::microseconds* took) {
  const UniqueServiceHandle service =
      OpenTestService(SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS);
  const auto begin = std::chrono::steady_clock::now();
  SERVICE_STATUS status{};
  if (!service || !(control != 0 ? ControlService(service.Get(), control, &status)
                                 : StartServiceW(service.Get(), 0, nullptr))) {
    return false;
  }
  const bool reached = WaitForState(service.Get(), state, 30000);
  if (took != nullptr) {
    *took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                  begin);
  }
  return reached;
}

}  // namespace

void RunAsTestServiceIfAsked() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  // PROGRAM --quellnet-test-service STOP_DELAY
  const bool asked = args != nullptr && count == 3 && std::wcscmp(args[1], kServiceMarker) == 0;
  g_stop_delay_ms = asked ? static_cast<DWORD>(std::wcstoul(args[2], nullptr, 10)) : 0;
  LocalFree(args);
  if (asked) {
    g_stop_requested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wchar_t name[] = L"Messenger";  // the table wants it writable
    SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    ExitProcess(StartServiceCtrlDispatcherW(table) ? 0 : 1);
  }
}

DWORD InstallTestService(DWORD stop_delay_ms, DWORD start_type) {
  if (!DeleteTestService()) {
    return ERROR_SERVICE_EXISTS;
  }
  wchar_t own[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, own, MAX_PATH);
  const std::wstring command =
      L"\"" + std::wstring(own) + L"\" " + kServiceMarker + L" " + std::to_wstring(stop_delay_ms);
  const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
  const UniqueServiceHandle service(
      manager ? CreateServiceW(manager.Get(), kTestService, kTestService, SERVICE_ALL_ACCESS,
                               SERVICE_WIN32_OWN_PROCESS, start_type, SERVICE_ERROR_IGNORE,
                               command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr)
              : nullptr);
  return service ? ERROR_SUCCESS : GetLastError();
}

bool DeleteTestService() {
  {
    const UniqueServiceHandle service =
        OpenTestService(SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
    if (!service) {
      return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST;
    }
    SERVICE_STATUS status{};
    if (ControlService(service.Get(), SERVICE_CONTROL_STOP, &status)) {
      WaitForState(service.Get(), SERVICE_STOPPED, 10000);
    }
    if (!DeleteService(service.Get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
      return false;
    }
  }
  // The registration goes once the last handle to it is closed.
  for (int tries = 0; tries < 1000 && TestServiceState(); ++tries) {
    Sleep(10);
  }
  return !TestServiceState();
}

bool MarkTestServiceForDeletion() {
  const UniqueServiceHandle service = OpenTestService(DELETE);
  return service && DeleteService(service.Get());
}

bool SetTestServiceStartType(DWORD start_type) {
  const UniqueServiceHandle service = OpenTestService(SERVICE_CHANGE_CONFIG);
  return service &&
         ChangeServiceConfigW(service.Get(), SERVICE_NO_CHANGE, start_type, SERVICE_NO_CHANGE,
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

std::optional<DWORD> TestServiceState() {
  const UniqueServiceHandle service = OpenTestService(SERVICE_QUERY_STATUS);
  SERVICE_STATUS status{};
  return service && QueryServiceStatus(service.Get(), &status)
             ? std::optional<DWORD>(status.dwCurrentState)
             : std::nullopt;
}

std::optional<DWORD> TestServiceStartType() {
  const UniqueServiceHandle service = OpenTestService(SERVICE_QUERY_CONFIG);
  alignas(QUERY_SERVICE_CONFIGW) unsigned char buffer[8192];
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer);
  DWORD needed = 0;
  return service && QueryServiceConfigW(service.Get(), config, sizeof buffer, &needed)
             ? std::optional<DWORD>(config->dwStartType)
             : std::nullopt;
}

bool StartTestService(std::chrono::microseconds* took) {
  return Change(0, SERVICE_RUNNING, took);
}

bool StopTestService(std::chrono::microseconds* took) {
  return Change(SERVICE_CONTROL_STOP, SERVICE_STOPPED, took);
}

}  // namespace quellnet::tools
