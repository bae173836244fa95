// Runs the real program from a command line, as a script or a scheduled
// task does, and tells how it went: its exit code, what it wrote to its
// output, and whether its process had a window at any moment.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace quellnet::e2e {

struct CommandRun {
  DWORD exit_code = 0;
  std::string output;              // what it wrote to the pipe it was given as its output
  std::vector<std::wstring> seen;  // the classes of the windows its process had meanwhile
};

// Runs C:\Quellnet\quellnet.exe with `arguments` to its end, its output a
// pipe, and looks for windows of its process every few milliseconds
// meanwhile.
inline CommandRun RunCommandLine(const std::wstring& arguments) {
  CommandRun run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  EXPECT_TRUE(CreatePipe(&read_end, &write_end, &inherit, 1 << 16));
  const UniqueKernelHandle reader(read_end);
  UniqueKernelHandle writer(write_end);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  const std::wstring path = std::wstring(kProgramDir) + L"\\quellnet.exe";
  std::wstring command_line = L"\"" + path + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = write_end;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      kProgramDir, &startup, &info)) {
    ADD_FAILURE() << "could not start " << Narrow(path) << " (error " << GetLastError() << ")";
    return run;
  }
  const UniqueKernelHandle process(info.hProcess);
  CloseHandle(info.hThread);
  writer.Reset();
  while (WaitForSingleObject(process.Get(), 5) == WAIT_TIMEOUT) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, nullptr));) {
      DWORD owner = 0;
      wchar_t name[64] = {};
      if (GetWindowThreadProcessId(window, &owner) && owner == info.dwProcessId &&
          GetClassNameW(window, name, 64)) {
        run.seen.push_back(name);
      }
    }
  }
  GetExitCodeProcess(process.Get(), &run.exit_code);
  // What it wrote is all in the pipe now. Not read to its end: under Wine a
  // process that the program's start brought up (the desktop's) may hold a
  // copy of the pipe's other end.
  DWORD available = 0;
  if (PeekNamedPipe(reader.Get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    run.output.resize(available);
    ReadFile(reader.Get(), run.output.data(), available, &available, nullptr);
    run.output.resize(available);
  }
  return run;
}

}  // namespace quellnet::e2e
