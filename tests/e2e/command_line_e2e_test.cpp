// The real program run from a command line beside a running copy: its exit
// code and the text it writes to the output it was given, no window of its
// own at any moment, and the running copy left as it was; and a cache whose
// index folder is or becomes a link, cleaned from there. Which switch does
// what and each way a run can end are tested on the fakes
// (command_line_test.cpp).
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// A cache whose "Content.IE5" is a link to the user's documents, as any
// program that can write in the cache can make one: from the start, or put
// in place of the real one once the first pass has emptied it (a link in it
// that leads nowhere, which Wine hides, keeps it), while forty folders
// beside it are still to go. Cleaned from the command line: nothing of the
// documents is lost, and it says that it did not clear all, by its words and
// its exit code. The button's clean through links is the cleaner test's.
TEST_F(QuellnetTest, AContentFolderThatIsOrBecomesALinkCostsNothingOfTheDocuments) {
  const std::wstring documents = L"C:\\CleanerTests\\Documents";
  for (int album = 0; album < 4; ++album) {
    const std::wstring folder = documents + L"\\Album" + std::to_wstring(album);
    ASSERT_TRUE(MakeFolders(folder) && WriteTextFile(folder + L"\\photo.jpg", "x"));
  }
  ASSERT_TRUE(WriteTextFile(documents + L"\\letter.txt", "x"));
  const std::vector<std::wstring> kept = Contents(documents);
  for (const bool later : {false, true}) {
    const std::wstring test = L"C:\\CleanerTests\\Content" + std::to_wstring(later);
    const std::wstring cache = test + L"\\Microsoft\\Windows\\INetCache";
    const std::wstring content = cache + L"\\Content.IE5";
    ASSERT_TRUE(MakeFolders(content + L"\\AB12CD34") &&
                WriteTextFile(content + L"\\AB12CD34\\logo.gif", "x"));
    for (int folder = 10; folder < 50; ++folder) {
      const std::wstring other = cache + L"\\F" + std::to_wstring(folder);
      for (int file = 0; file < 25; ++file) {
        ASSERT_TRUE(MakeFolders(other) &&
                    WriteTextFile(other + L"\\" + std::to_wstring(file), "x"));
      }
    }
    const std::string unix_content = UnixPath(content);
    const std::string swap =
        later ? "ln -s /nowhere '" + unix_content + "/gone'; touch '" + UnixPath(test) +
                    "/ready'; end=$(($(date +%s) + 60)); while [ -e '" + unix_content +
                    "/AB12CD34' ] && [ $(date +%s) -lt $end ]; do :; done; mv '" + unix_content +
                    "' '" + unix_content + ".moved'; ln -s '" + UnixPath(documents) + "' '" +
                    unix_content + "'"
              : "rm -r '" + unix_content + "'; ln -s '" + UnixPath(documents) + "' '" +
                    unix_content + "'; touch '" + UnixPath(test) + "/ready'";
    ASSERT_TRUE(StartUnix("\\bin\\sh", "-c \"" + swap + "\"") && WaitUntil([&] {
                  return GetFileAttributesW((test + L"\\ready").c_str()) != INVALID_FILE_ATTRIBUTES;
                }));
    ASSERT_TRUE(WriteString({kShellFolders, L"Cache", cache}));
    const CommandRun run = RunCommandLine(L"/ClearCache", false);
    SCOPED_TRACE(run.output);
    EXPECT_EQ(run.exit_code, 1u);
    EXPECT_EQ(Contents(documents), kept) << (later ? "later" : "from the start");
    EXPECT_EQ(run.output.find("Internet Cache Cleared !"), std::string::npos);
    EXPECT_NE(run.output.find("could not be deleted"), std::string::npos);
  }
}

}  // namespace
}  // namespace quellnet::e2e
