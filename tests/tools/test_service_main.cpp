// The test service on its own, for trying things by hand in a prefix:
//
//   test_service.exe install [NAME [STOP_DELAY_MS [START_DELAY_MS]]]
//   test_service.exe start|stop|query|delete [NAME]
//
// NAME defaults to "Messenger". The program registers itself, so it must lie
// on a drive of the prefix (not a mapped host folder).
#include <cstdio>
#include <cwchar>
#include <string>

#include "test_service.h"

namespace {

const wchar_t* StateName(DWORD state) {
  switch (state) {
    case SERVICE_STOPPED:
      return L"stopped";
    case SERVICE_RUNNING:
      return L"running";
    case SERVICE_START_PENDING:
      return L"start pending";
    case SERVICE_STOP_PENDING:
      return L"stop pending";
    default:
      return L"other";
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace quellnet::tools;
  RunAsTestServiceIfAsked();
  if (argc < 2) {
    std::fwprintf(stderr, L"usage: test_service install|start|stop|query|delete [NAME ...]\n");
    return 2;
  }
  const std::wstring command = argv[1];
  const std::wstring name = argc > 2 ? argv[2] : L"Messenger";
  if (command == L"install") {
    TestServiceOptions options;
    options.name = name;
    options.stop_delay_ms = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) : 0;
    options.start_delay_ms = argc > 4 ? static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)) : 0;
    std::wstring error;
    if (!InstallTestService(options, error)) {
      std::fwprintf(stderr, L"%ls\n", error.c_str());
      return 1;
    }
    return 0;
  }
  if (command == L"start" || command == L"stop") {
    std::chrono::microseconds took{};
    const bool done =
        command == L"start" ? StartTestService(name, &took) : StopTestService(name, &took);
    std::wprintf(L"%ls %ls in %.1f ms\n", command.c_str(), done ? L"done" : L"failed",
                 took.count() / 1000.0);
    return done ? 0 : 1;
  }
  if (command == L"query") {
    const auto state = TestServiceState(name);
    std::wprintf(L"%ls\n", state ? StateName(*state) : L"not installed");
    return 0;
  }
  if (command == L"delete") {
    return DeleteTestService(name) ? 0 : 1;
  }
  std::fwprintf(stderr, L"unknown command\n");
  return 2;
}
