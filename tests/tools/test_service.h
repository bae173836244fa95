// A stand-in Windows service for the end-to-end tests and the benchmark: a
// program registers ITSELF as a service (the copy on the prefix's C: drive),
// and the Service Control Manager starts that same program again with a
// marker on its command line, where it serves until it is told to stop.
//
// A program that uses this calls RunAsTestServiceIfAsked() before anything
// else; it never returns in the service process.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

namespace quellnet::tools {

struct TestServiceOptions {
  std::wstring name = L"Messenger";
  // How long the service takes between being told to stop and reporting
  // that it has.
  DWORD stop_delay_ms = 0;
  // SERVICE_AUTO_START, SERVICE_DEMAND_START or SERVICE_DISABLED.
  DWORD start_type = SERVICE_DEMAND_START;
  // The service's program file instead of this program (e.g. a missing one).
  std::wstring program;
};

// In the process the Service Control Manager started: serves as the test
// service until it is stopped, then ends the process. Elsewhere it returns at
// once.
void RunAsTestServiceIfAsked();

// Registers the service, replacing an older registration of that name.
// `error` receives the reason on failure.
bool InstallTestService(const TestServiceOptions& options, std::wstring& error);
// Stops the service if it runs and removes it; true when it is gone.
bool DeleteTestService(const std::wstring& name);
// Marks the service for deletion and leaves it as it is: a running one goes
// on running, and Windows removes it once it has stopped.
bool MarkTestServiceForDeletion(const std::wstring& name);
// SERVICE_AUTO_START, SERVICE_DEMAND_START or SERVICE_DISABLED, also while
// the service runs.
bool SetTestServiceStartType(const std::wstring& name, DWORD start_type);

// SERVICE_STOPPED, SERVICE_RUNNING, ...; nullopt when it is not installed.
std::optional<DWORD> TestServiceState(const std::wstring& name);
std::optional<DWORD> TestServiceStartType(const std::wstring& name);

// Starts or stops the service directly and waits until it reports the state;
// the time from the request to the report goes to `took`.
bool StartTestService(const std::wstring& name, std::chrono::microseconds* took = nullptr);
bool StopTestService(const std::wstring& name, std::chrono::microseconds* took = nullptr);

}  // namespace quellnet::tools
