// The real program run from a command line: its exit code and the text it
// writes to the output it was given, no window of its own at any moment of
// the run, and a running copy left as it was. Which switch does what and
// each way a run can end are tested on the fakes (command_line_test.cpp).
#include <string>
#include <vector>

#include "fixture.h"

namespace quellnet::e2e {
namespace {

// Below the cleaners' scratch folder, the only place a test lets them delete.
const std::wstring kCookies = L"C:\\CleanerTests\\CommandLine\\Microsoft\\Windows\\Cookies";

struct CommandRun {
  DWORD exit_code = 0;
  std::string output;              // what it wrote to the pipe it was given as its output
  std::vector<std::wstring> seen;  // the classes of the windows its process had meanwhile
};

// Runs C:\Quellnet\quellnet.exe with `arguments`, its output a pipe, and
// looks for windows of its process every few milliseconds until it ends.
CommandRun RunQuellnet(const std::wstring& arguments) {
  CommandRun run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 1 << 16)) {
    ADD_FAILURE() << "no pipe";
    return run;
  }
  const UniqueKernelHandle reader(read_end);
  UniqueKernelHandle writer(write_end);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  const std::wstring path = std::wstring(kProgramDir) + L"\\quellnet.exe";
  std::wstring command_line = L"\"" + path + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
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
    DWORD got = 0;
    ReadFile(reader.Get(), run.output.data(), available, &got, nullptr);
    run.output.resize(got);
  }
  return run;
}

class CommandLineTest : public QuellnetTest {
 protected:
  void SetUp() override {
    QuellnetTest::SetUp();
    ASSERT_TRUE(WriteString({kShellFolders, L"Cookies", kCookies}));
    ASSERT_TRUE(MakeFolders(kCookies) &&
                WriteTextFile(kCookies + L"\\bob@example[1].txt", "cookie") &&
                WriteTextFile(kCookies + L"\\bob@other[2].txt", "cookie"));
  }
};

TEST_F(CommandLineTest, ItEndsWithTheExitCodeOfTheRunAndWritesItsMessage) {
  // The program's own folder, refused as by the button.
  ASSERT_TRUE(WriteString({kShellFolders, L"Cache", kProgramDir}));
  struct Case {
    const wchar_t* arguments;
    DWORD exit_code;
    std::string output;
  } const cases[] = {
      {L"-CLEARCOOKIES", 0, "All Cookies Cleared !\r\n"},
      {L"/clearcache", 2,
       "The Internet cache was not cleared completely.\r\n\r\nThe cache folder was left alone: "
       "its recorded location, \"C:\\Quellnet\", is this program's folder.\r\n"},
      {L"/ClearAll", 3, "Not understood: /ClearAll\r\n"},
  };
  for (const Case& row : cases) {
    const CommandRun run = RunQuellnet(row.arguments);
    EXPECT_EQ(run.exit_code, row.exit_code) << Narrow(row.arguments);
    EXPECT_EQ(run.output.substr(0, row.output.size()), row.output);
    EXPECT_TRUE(run.seen.empty()) << "a window of class " << Narrow(run.seen[0]);
  }
  EXPECT_TRUE(Contents(kCookies).empty());
}

// A copy hidden in the tray stays hidden and running, and the run cleans all
// the same: it neither hands over to the copy nor waits for it.
TEST_F(CommandLineTest, ARunningCopyIsLeftAsItWas) {
  ASSERT_NO_FATAL_FAILURE(StartProgram({.presets = {{kOptionsKey, L"HideOnStart", L"1"}}}));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Main()); }));
  const CommandRun run = RunQuellnet(L"/ClearCookies");
  EXPECT_EQ(run.exit_code, 0u);
  EXPECT_TRUE(run.seen.empty()) << "a window of class " << Narrow(run.seen[0]);
  EXPECT_TRUE(Contents(kCookies).empty());
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_FALSE(IsWindowVisible(Main())) << "the running copy came forward";
  int main_windows = 0;
  for (HWND window = nullptr;
       (window = FindWindowExW(nullptr, window, app::kForm1ClassName, nullptr)) != nullptr;) {
    ++main_windows;
  }
  EXPECT_EQ(main_windows, 1);
}

}  // namespace
}  // namespace quellnet::e2e
