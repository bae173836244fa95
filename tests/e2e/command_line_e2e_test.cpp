// The real program run from a command line beside a running copy: its exit
// code and the text it writes to the output it was given, no window of its
// own at any moment, and the running copy left as it was. Which switch does
// what and each way a run can end are tested on the fakes
// (command_line_test.cpp).
#include <string>

#include "command_run.h"
#include "fixture.h"

namespace quellnet::e2e {
namespace {

// Below the cleaners' scratch folder, the only place a test lets them delete.
const std::wstring kCookies = L"C:\\CleanerTests\\CommandLine\\Microsoft\\Windows\\Cookies";

TEST_F(QuellnetTest, ACommandLineRunsWithoutAWindowBesideTheRunningCopyAndEndsWithItsExitCode) {
  ASSERT_TRUE(MakeFolders(kCookies) && WriteTextFile(kCookies + L"\\bob@example[1].txt", "x"));
  // The cache at the program's own folder, refused as by the button.
  ASSERT_NO_FATAL_FAILURE(StartProgram({.presets = {{kOptionsKey, L"HideOnStart", L"1"},
                                                    {kShellFolders, L"Cookies", kCookies},
                                                    {kShellFolders, L"Cache", kProgramDir}}}));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Main()); }));
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
    const CommandRun run = RunCommandLine(row.arguments);
    EXPECT_EQ(run.exit_code, row.exit_code) << Narrow(row.arguments);
    EXPECT_EQ(run.output.substr(0, row.output.size()), row.output);
    EXPECT_TRUE(run.seen.empty()) << "a window of class " << Narrow(run.seen[0]);
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
