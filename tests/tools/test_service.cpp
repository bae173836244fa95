#include "test_service.h"

#include <shellapi.h>

#include <cwchar>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace quellnet::tools {
namespace {

constexpr wchar_t kServiceMarker[] = L"--quellnet-test-service";

struct ServiceHandleCloser {
  void operator()(SC_HANDLE handle) const {
    if (handle != nullptr) {
      ::CloseServiceHandle(handle);
    }
  }
};
using ServiceHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, ServiceHandleCloser>;

ServiceHandle OpenManager(DWORD access) {
  return ServiceHandle(::OpenSCManagerW(nullptr, nullptr, access));
}

ServiceHandle OpenTestService(const std::wstring& name, DWORD access) {
  ServiceHandle manager = OpenManager(SC_MANAGER_CONNECT);
  if (!manager) {
    return nullptr;
  }
  return ServiceHandle(::OpenServiceW(manager.get(), name.c_str(), access));
}

std::wstring OwnPath() {
  std::wstring path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  return path;
}

// ---------------------------------------------------------------- the service itself

struct ServiceProcess {
  std::wstring name;
  DWORD stop_delay_ms = 0;
  DWORD start_delay_ms = 0;
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
  status.dwWin32ExitCode = NO_ERROR;
  status.dwCheckPoint =
      state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : ++g_service.checkpoint;
  status.dwWaitHint = wait_hint;
  ::SetServiceStatus(g_service.status_handle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  switch (control) {
    case SERVICE_CONTROL_STOP:
      Report(SERVICE_STOP_PENDING, g_service.stop_delay_ms + 1000);
      ::SetEvent(g_service.stop_requested);
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      return NO_ERROR;
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
  g_service.status_handle =
      ::RegisterServiceCtrlHandlerExW(g_service.name.c_str(), Control, nullptr);
  if (g_service.status_handle == nullptr) {
    return;
  }
  Report(SERVICE_START_PENDING, g_service.start_delay_ms + 1000);
  ::Sleep(g_service.start_delay_ms);
  Report(SERVICE_RUNNING, 0);
  ::WaitForSingleObject(g_service.stop_requested, INFINITE);
  ::Sleep(g_service.stop_delay_ms);
  Report(SERVICE_STOPPED, 0);
}

// ---------------------------------------------------------------- control from outside

bool WaitForState(SC_HANDLE service, DWORD state, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(service, &status)) {
      return false;
    }
    if (status.dwCurrentState == state) {
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    ::Sleep(1);
  }
}

}  // namespace

void RunAsTestServiceIfAsked() {
  int count = 0;
  LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (args == nullptr) {
    return;
  }
  // PROGRAM --quellnet-test-service NAME STOP_DELAY START_DELAY
  if (count != 5 || std::wcscmp(args[1], kServiceMarker) != 0) {
    ::LocalFree(args);
    return;
  }
  g_service.name = args[2];
  g_service.stop_delay_ms = static_cast<DWORD>(std::wcstoul(args[3], nullptr, 10));
  g_service.start_delay_ms = static_cast<DWORD>(std::wcstoul(args[4], nullptr, 10));
  ::LocalFree(args);
  g_service.stop_requested = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::vector<wchar_t> name(g_service.name.begin(), g_service.name.end());
  name.push_back(L'\0');
  SERVICE_TABLE_ENTRYW table[] = {{name.data(), ServiceMain}, {nullptr, nullptr}};
  const BOOL served = ::StartServiceCtrlDispatcherW(table);
  ::ExitProcess(served ? 0 : 1);
}

bool InstallTestService(const TestServiceOptions& options, std::wstring& error) {
  if (TestServiceState(options.name) && !DeleteTestService(options.name)) {
    error = L"an older " + options.name + L" service could not be removed";
    return false;
  }
  ServiceHandle manager = OpenManager(SC_MANAGER_CREATE_SERVICE);
  if (!manager) {
    error = L"OpenSCManager failed: " + std::to_wstring(::GetLastError());
    return false;
  }
  const std::wstring command = L"\"" + OwnPath() + L"\" " + kServiceMarker + L" " + options.name +
                               L" " + std::to_wstring(options.stop_delay_ms) + L" " +
                               std::to_wstring(options.start_delay_ms);
  ServiceHandle service(::CreateServiceW(manager.get(), options.name.c_str(), options.name.c_str(),
                                         SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                         options.start_type, SERVICE_ERROR_IGNORE, command.c_str(),
                                         nullptr, nullptr, nullptr, nullptr, nullptr));
  if (!service) {
    error = L"CreateService failed: " + std::to_wstring(::GetLastError());
    return false;
  }
  return true;
}

bool DeleteTestService(const std::wstring& name) {
  {
    ServiceHandle service = OpenTestService(name, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
    if (!service) {
      return ::GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST;
    }
    SERVICE_STATUS status{};
    if (::QueryServiceStatus(service.get(), &status) && status.dwCurrentState != SERVICE_STOPPED) {
      ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
      WaitForState(service.get(), SERVICE_STOPPED, std::chrono::seconds(10));
    }
    if (!::DeleteService(service.get()) && ::GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
      return false;
    }
  }
  // The registration goes once the last handle to it is closed.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (TestServiceState(name)) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    ::Sleep(10);
  }
  return true;
}

std::optional<DWORD> TestServiceState(const std::wstring& name) {
  ServiceHandle service = OpenTestService(name, SERVICE_QUERY_STATUS);
  SERVICE_STATUS status{};
  if (!service || !::QueryServiceStatus(service.get(), &status)) {
    return std::nullopt;
  }
  return status.dwCurrentState;
}

std::optional<DWORD> TestServiceStartType(const std::wstring& name) {
  ServiceHandle service = OpenTestService(name, SERVICE_QUERY_CONFIG);
  if (!service) {
    return std::nullopt;
  }
  DWORD needed = 0;
  ::QueryServiceConfigW(service.get(), nullptr, 0, &needed);
  std::vector<unsigned char> buffer(needed + sizeof(QUERY_SERVICE_CONFIGW));
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
  if (!::QueryServiceConfigW(service.get(), config, static_cast<DWORD>(buffer.size()), &needed)) {
    return std::nullopt;
  }
  return config->dwStartType;
}

bool StartTestService(const std::wstring& name, std::chrono::microseconds* took) {
  ServiceHandle service = OpenTestService(name, SERVICE_START | SERVICE_QUERY_STATUS);
  if (!service) {
    return false;
  }
  const auto begin = std::chrono::steady_clock::now();
  if (!::StartServiceW(service.get(), 0, nullptr)) {
    return false;
  }
  const bool running = WaitForState(service.get(), SERVICE_RUNNING, std::chrono::seconds(30));
  if (took != nullptr) {
    *took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                  begin);
  }
  return running;
}

bool StopTestService(const std::wstring& name, std::chrono::microseconds* took) {
  ServiceHandle service = OpenTestService(name, SERVICE_STOP | SERVICE_QUERY_STATUS);
  if (!service) {
    return false;
  }
  const auto begin = std::chrono::steady_clock::now();
  SERVICE_STATUS status{};
  if (!::ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) {
    return false;
  }
  const bool stopped = WaitForState(service.get(), SERVICE_STOPPED, std::chrono::seconds(30));
  if (took != nullptr) {
    *took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                  begin);
  }
  return stopped;
}

bool WaitForTestServiceState(const std::wstring& name, DWORD state,
                             std::chrono::milliseconds timeout) {
  ServiceHandle service = OpenTestService(name, SERVICE_QUERY_STATUS);
  return service && WaitForState(service.get(), state, timeout);
}

}  // namespace quellnet::tools
