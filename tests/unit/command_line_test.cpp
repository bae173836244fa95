// The command line: which switches it takes (data/command_lines.tsv), and
// the exit code and console text of each way a cleaner's run can end
// (data/command_runs.tsv). The cleaners themselves are tested in
// cleaner_test.cpp.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "tools/table.h"

namespace quellnet::app {
namespace {

using platform::FsStatus;
using tools::Wide;

const std::wstring kShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::wstring kCache = L"C:\\Users\\Bob\\AppData\\Local\\Microsoft\\Windows\\INetCache";
const std::wstring kCookie =
    L"C:\\Users\\Bob\\AppData\\Roaming\\Microsoft\\Windows\\Cookies\\bob@example[1].txt";

struct FakeConsole final : platform::Console {
  bool WriteLines(std::wstring_view text) override {
    written += std::wstring(text) + L"\n";
    return attached;
  }
  bool attached = true;
  std::wstring written;
};

// A user with a cache and a cookie folder as the browser leaves them.
struct System {
  System() {
    files.AddFile(kCache + L"\\Content.IE5\\AB12CD34\\logo[1].gif");
    files.AddFile(kCache + L"\\Content.IE5\\index.dat");
    files.AddFile(kCookie);
    registry.Put(kShellFolders, L"Cache", kCache);
    registry.Put(kShellFolders, L"Cookies", kCookie.substr(0, kCookie.rfind(L'\\')));
    registry.Put(L"Software\\Microsoft\\Internet Explorer\\TypedURLs", L"url1", L"http://a.test/");
  }
  int Run(const std::vector<std::wstring>& words) {
    const std::vector<std::wstring_view> arguments(words.begin(), words.end());
    console.written.clear();
    return RunCommand(ReadCommandLine(arguments), arguments, {registry, files, console, boxes});
  }

  fakes::FakeRegistry registry;
  fakes::FakeFileSystem files;
  FakeConsole console;
  fakes::FakeMainWindow boxes;
};

std::vector<std::wstring> Words(const std::string& line) {
  std::vector<std::wstring> words;
  if (line == "(empty)") {
    words.emplace_back();
  }
  for (std::size_t start = 0; line != "(none)" && line != "(empty)" && start <= line.size();) {
    const std::size_t end = std::min(line.find(' ', start), line.size());
    words.push_back(Wide(line.substr(start, end - start)));
    start = end + 1;
  }
  return words;
}

TEST(CommandLineTest, TakesOneSwitchInAnyLetterCaseAfterASlashOrADash) {
  const std::map<std::string, Command> commands = {{"window", Command::kOpenWindow},
                                                   {"cache", Command::kClearCache},
                                                   {"cookies", Command::kClearCookies},
                                                   {"usage", Command::kShowUsage},
                                                   {"not understood", Command::kNotUnderstood}};
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/command_lines.tsv")) {
    const std::vector<std::wstring> words = Words(row[0]);
    EXPECT_EQ(ReadCommandLine({words.begin(), words.end()}), commands.at(row[1])) << row[0];
  }
}

// Each way a run ends: the exit code, and the console gets the text the
// button's message box shows, and no box is shown.
TEST(CommandLineTest, TheExitCodeSaysHowTheRunEndedAndTheConsoleGetsTheMessage) {
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/command_runs.tsv")) {
    SCOPED_TRACE(row[1]);
    System system;
    if (row[1] == "index.dat in use") {
      system.files.delete_errors[kCache + L"\\Content.IE5\\index.dat"] = FsStatus::kInUse;
    } else if (row[1] == "cookie in use by Internet Explorer") {
      system.files.delete_errors[kCookie] = FsStatus::kInUse;
      system.files.holders[kCookie] = {{L"Internet Explorer", false}};
    } else if (row[1] == "no cookie folder") {
      system.files.entries.clear();
    } else if (row[1] == "cache at C:\\") {
      system.registry.Put(kShellFolders, L"Cache", L"C:\\");
    } else if (row[1] == "no cookie location") {
      system.registry.DeleteValue(kShellFolders, L"Cookies");
    }
    std::wstring text;
    for (std::size_t line = 3; line < row.size(); ++line) {
      text += Wide(row[line]) + L"\n";
    }
    EXPECT_EQ(system.Run({Wide(row[0])}), std::stoi(row[2]));
    EXPECT_EQ(system.console.written, text);
    EXPECT_TRUE(system.boxes.messages.empty());
  }
}

TEST(CommandLineTest, TheUsageGoesToTheConsoleOrElseIntoABox) {
  System system;
  EXPECT_EQ(system.Run({L"/?"}), 0);
  EXPECT_EQ(
      system.console.written.rfind(L"Usage: quellnet.exe [/ClearCache | /ClearCookies | /?]\n", 0),
      0u);
  EXPECT_TRUE(system.boxes.messages.empty());

  // Started from a shortcut or Explorer, with no console to write to.
  system.console.attached = false;
  EXPECT_EQ(system.Run({L"-?"}), 0);
  ASSERT_EQ(system.boxes.messages.size(), 1u);
  EXPECT_EQ(system.console.written, system.boxes.messages[0].text + L"\n");

  // What it does not understand it names, and it deletes nothing; a box
  // would stop a scheduled task, so there is none.
  const std::vector<std::wstring> before = system.files.Under(L"C:");
  EXPECT_EQ(system.Run({L"/ClearCache", L"/Now"}), 3);
  EXPECT_EQ(system.console.written.rfind(L"Not understood: /ClearCache /Now\n\nUsage: ", 0), 0u);
  EXPECT_EQ(system.boxes.messages.size(), 1u);
  EXPECT_EQ(system.files.Under(L"C:"), before);
}

}  // namespace
}  // namespace quellnet::app
