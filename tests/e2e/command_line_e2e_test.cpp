// The real program run from a command line beside a running copy: its exit
// code and the text it writes to the output it was given, no window of its
// own at any moment, and the running copy left as it was. Which switch does
// what and each way a run can end are tested on the fakes (cleaner_test.cpp),
// a cache whose index folder is or becomes a link among them (data/trees.tsv);
// the real file system's links are the cleaner test's and the contract's.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/form1_ids.h"

#include "fixture.h"

namespace quellnet::e2e {
namespace {

struct CommandRun {
  DWORD exit_code = 0;
  std::string output;   // what it wrote to the output it was given
  std::wstring window;  // the class of a window its process had meanwhile, if any
};

// Below the cleaners' scratch folder, the only place a test lets them delete.
const std::wstring kCookies = L"C:\\CleanerTests\\CommandLine\\Microsoft\\Windows\\Cookies";

// Runs C:\Quellnet\quellnet.exe with `arguments` to its end, its output a
// pipe or, as a logon script's "> file" gives it, a new file, and looks for
// windows of its process every few milliseconds meanwhile.
CommandRun RunCommandLine(const std::wstring& arguments, bool to_file) {
  CommandRun run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  const std::wstring file = L"C:\\CleanerTests\\output.txt";
  EXPECT_TRUE(to_file
                  ? (write_end = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                             CREATE_ALWAYS, 0, nullptr)) != INVALID_HANDLE_VALUE
                  : CreatePipe(&read_end, &write_end, &inherit, 1 << 16));
  UniqueKernelHandle reader(read_end);
  UniqueKernelHandle writer(write_end);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  ProgramUnderTest program;
  EXPECT_TRUE(
      program.Start({.wait_for_window = false, .arguments = L" " + arguments, .output = write_end}))
      << program.LastError();
  writer.Reset();
  while (WaitForSingleObject(program.Process(), 5) == WAIT_TIMEOUT) {
    if (HWND window = WindowOf(program.Pid(), nullptr, false)) {
      wchar_t name[64] = {};
      GetClassNameW(window, name, 64);
      run.window = name;
    }
  }
  GetExitCodeProcess(program.Process(), &run.exit_code);
  // What it wrote is all there now. A pipe is not read to its end: under
  // Wine a process that the program's start brought up (the desktop's) may
  // hold a copy of its other end.
  DWORD available = 0;
  if (to_file) {
    std::stringstream text;
    text << std::ifstream(std::filesystem::path(file), std::ios::binary).rdbuf();
    run.output = text.str();
  } else if (PeekNamedPipe(reader.Get(), nullptr, 0, nullptr, &available, nullptr)) {
    run.output.resize(available);
    ReadFile(reader.Get(), run.output.data(), available, &available, nullptr);
    run.output.resize(available);
  }
  return run;
}

TEST_F(QuellnetTest, ACommandLineRunsWithoutAWindowBesideTheRunningCopyAndEndsWithItsExitCode) {
  ASSERT_TRUE(MakeFolders(kCookies) && WriteTextFile(kCookies + L"\\bob@example[1].txt", "x"));
  ASSERT_NO_FATAL_FAILURE(StartProgram(
      {.presets = {{kOptionsKey, L"HideOnStart", L"1"}, {kShellFolders, L"Cookies", kCookies}}}));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Main()); }));
  struct Case {
    const wchar_t* arguments;
    DWORD exit_code;
    std::string output;
  } const cases[] = {
      {L"-CLEARCOOKIES", 0, "All Cookies Cleared !\r\n"},
      {L"/ClearAll", 3, "Not understood: /ClearAll\r\n"},
  };
  for (const bool to_file : {false, true}) {
    for (const Case& row : cases) {
      SCOPED_TRACE(Narrow(row.arguments) + (to_file ? " to a file" : " to a pipe"));
      const CommandRun run = RunCommandLine(row.arguments, to_file);
      EXPECT_EQ(run.exit_code, row.exit_code);
      EXPECT_EQ(run.output.substr(0, row.output.size()), row.output);
      EXPECT_TRUE(run.window.empty()) << "a window of class " << Narrow(run.window);
    }
  }
  EXPECT_TRUE(Contents(kCookies).empty());
  // The running copy neither came forward nor ended, and it is still the only one.
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_FALSE(IsWindowVisible(Main()));
  EXPECT_EQ(FindWindowExW(nullptr, nullptr, app::kForm1ClassName, nullptr), Main());
  EXPECT_EQ(FindWindowExW(nullptr, Main(), app::kForm1ClassName, nullptr), nullptr);
}

}  // namespace
}  // namespace quellnet::e2e
