#include "test_service.h"

#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace quellnet::tools {
namespace {

using platform::win32::UniqueServiceHandle;

constexpr wchar_t kServiceMarker[] = L"--quellnet-test-service";

UniqueServiceHandle OpenTestService(const std::wstring& name, DWORD access) {
  const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  return UniqueServiceHandle(manager ? OpenServiceW(manager.Get(), name.c_str(), access) : nullptr);
}

// ---------------------------------------------------------------- the service itself

struct ServiceProcess {
  std::wstring name;
  DWORD stop_delay_ms = 0;
  SERVICE_STATUS_HANDLE status_handle = nullptr;
  HANDLE stop_requested = nullptr;
  DWORD checkpoint = 0;
};
ServiceProcess g_service;

void Report(DWORD state, DWORD wait_hint) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  status.dwCheckPoint =
      state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : ++g_service.checkpoint;
  status.dwWaitHint = wait_hint;
  SetServiceStatus(g_service.status_handle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    Report(SERVICE_STOP_PENDING, g_service.stop_delay_ms + 1000);
    SetEvent(g_service.stop_requested);
    return NO_ERROR;
  }
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
  g_service.status_handle = RegisterServiceCtrlHandlerExW(g_service.name.c_str(), Control, nullptr);
  if (g_service.status_handle == nullptr) {
    return;
  }
  Report(SERVICE_RUNNING, 0);
  WaitForSingleObject(g_service.stop_requested, INFINITE);
  Sleep(g_service.stop_delay_ms);
  Report(SERVICE_STOPPED, 0);
}

// ---------------------------------------------------------------- control from outside

bool WaitForState(SC_HANDLE service, DWORD state, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  SERVICE_STATUS status{};
  while (QueryServiceStatus(service, &status) && status.dwCurrentState != state) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    Sleep(1);
  }
  return status.dwCurrentState == state;
}

// Sends `control` (nullopt: a start) and waits for `state`, timing the wait.
bool Change(const std::wstring& name, std::optional<DWORD> control, DWORD state,
            std::chrono::microseconds* took) {
  const UniqueServiceHandle service =
      OpenTestService(name, SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS);
  const auto begin = std::chrono::steady_clock::now();
  SERVICE_STATUS status{};
  if (!service || !(control ? ControlService(service.Get(), *control, &status)
                            : StartServiceW(service.Get(), 0, nullptr))) {
    return false;
  }
  const bool reached = WaitForState(service.Get(), state, std::chrono::seconds(30));
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
  // PROGRAM --quellnet-test-service NAME STOP_DELAY
  if (args == nullptr || count != 4 || std::wcscmp(args[1], kServiceMarker) != 0) {
    LocalFree(args);
    return;
  }
  g_service.name = args[2];
  g_service.stop_delay_ms = static_cast<DWORD>(std::wcstoul(args[3], nullptr, 10));
  LocalFree(args);
  g_service.stop_requested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::vector<wchar_t> name(g_service.name.begin(), g_service.name.end());
  name.push_back(L'\0');
  SERVICE_TABLE_ENTRYW table[] = {{name.data(), ServiceMain}, {nullptr, nullptr}};
  ExitProcess(StartServiceCtrlDispatcherW(table) ? 0 : 1);
}

bool InstallTestService(const TestServiceOptions& options, std::wstring& error) {
  if (TestServiceState(options.name) && !DeleteTestService(options.name)) {
    error = L"an older " + options.name + L" service could not be removed";
    return false;
  }
  std::wstring command = options.program;
  if (command.empty()) {
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    command = L"\"" + std::wstring(own) + L"\" " + kServiceMarker + L" " + options.name + L" " +
              std::to_wstring(options.stop_delay_ms);
  }
  const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
  const UniqueServiceHandle service(
      manager ? CreateServiceW(manager.Get(), options.name.c_str(), options.name.c_str(),
                               SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, options.start_type,
                               SERVICE_ERROR_IGNORE, command.c_str(), nullptr, nullptr, nullptr,
                               nullptr, nullptr)
              : nullptr);
  if (!service) {
    error = L"the service could not be created: error " + std::to_wstring(GetLastError());
  }
  return static_cast<bool>(service);
}

bool DeleteTestService(const std::wstring& name) {
  {
    const UniqueServiceHandle service =
        OpenTestService(name, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
    if (!service) {
      return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST;
    }
    SERVICE_STATUS status{};
    if (ControlService(service.Get(), SERVICE_CONTROL_STOP, &status)) {
      WaitForState(service.Get(), SERVICE_STOPPED, std::chrono::seconds(10));
    }
    if (!DeleteService(service.Get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
      return false;
    }
  }
  // The registration goes once the last handle to it is closed.
  for (int tries = 0; TestServiceState(name); ++tries) {
    if (tries == 1000) {
      return false;
    }
    Sleep(10);
  }
  return true;
}

bool MarkTestServiceForDeletion(const std::wstring& name) {
  const UniqueServiceHandle service = OpenTestService(name, DELETE);
  return service && DeleteService(service.Get());
}

bool SetTestServiceStartType(const std::wstring& name, DWORD start_type) {
  const UniqueServiceHandle service = OpenTestService(name, SERVICE_CHANGE_CONFIG);
  return service &&
         ChangeServiceConfigW(service.Get(), SERVICE_NO_CHANGE, start_type, SERVICE_NO_CHANGE,
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

std::optional<DWORD> TestServiceState(const std::wstring& name) {
  const UniqueServiceHandle service = OpenTestService(name, SERVICE_QUERY_STATUS);
  SERVICE_STATUS status{};
  if (!service || !QueryServiceStatus(service.Get(), &status)) {
    return std::nullopt;
  }
  return status.dwCurrentState;
}

std::optional<DWORD> TestServiceStartType(const std::wstring& name) {
  const UniqueServiceHandle service = OpenTestService(name, SERVICE_QUERY_CONFIG);
  std::vector<unsigned char> buffer(8192);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
  DWORD needed = 0;
  if (!service ||
      !QueryServiceConfigW(service.Get(), config, static_cast<DWORD>(buffer.size()), &needed)) {
    return std::nullopt;
  }
  return config->dwStartType;
}

bool StartTestService(const std::wstring& name, std::chrono::microseconds* took) {
  return Change(name, std::nullopt, SERVICE_RUNNING, took);
}

bool StopTestService(const std::wstring& name, std::chrono::microseconds* took) {
  return Change(name, SERVICE_CONTROL_STOP, SERVICE_STOPPED, took);
}

}  // namespace quellnet::tools
