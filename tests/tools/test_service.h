// A stand-in "Messenger" service for the end-to-end tests and the benchmark:
// a program registers ITSELF as the service, and the Service Control Manager
// starts that same program again with a marker and the stop delay on its
// command line; there it serves until it is told to stop.
//
// A program that uses this calls RunAsTestServiceIfAsked() before anything
// else; it never returns in the service process.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>

namespace quellnet::tools {

inline constexpr wchar_t kTestService[] = L"Messenger";

// In the process the Service Control Manager started: serves until stopped,
// then ends the process. Elsewhere it returns at once.
void RunAsTestServiceIfAsked();

// Registers the service, replacing an older one. It takes `stop_delay_ms`
// between being told to stop and reporting that it has. Returns the error
// code, 0 on success.
DWORD InstallTestService(DWORD stop_delay_ms, DWORD start_type = SERVICE_DEMAND_START);
// Stops the service if it runs and removes it; true when it is gone.
bool DeleteTestService();
// Marks it for deletion and leaves it as it is: a running one goes on
// running, and Windows removes it once it has stopped.
bool MarkTestServiceForDeletion();
bool SetTestServiceStartType(DWORD start_type);
// SERVICE_STOPPED, SERVICE_RUNNING, ... and the start type; nullopt when it
// is not installed.
std::optional<DWORD> TestServiceState();
std::optional<DWORD> TestServiceStartType();
// Starts or stops it and waits until it reports the state; the time from the
// request to the report goes to `took`.
bool StartTestService(std::chrono::microseconds* took = nullptr);
bool StopTestService(std::chrono::microseconds* took = nullptr);

}  // namespace quellnet::tools
