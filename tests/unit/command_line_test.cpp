// The command line: which switches it takes (data/command_lines.tsv), and
// the exit code and the text shown for each way a run can end
// (data/command_runs.tsv). The cleaners themselves are tested in
// cleaner_test.cpp.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "cleaners/browser_cleaner.h"
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
    written += attached ? std::wstring(text) + L"\n" : L"";
    return attached;
  }
  bool attached = true;
  std::wstring written;
};

// A user with a cache and a cookie folder as the browser leaves them, but
// for `difference`.
struct System {
  explicit System(const std::string& difference = "-") {
    files.AddFile(kCache + L"\\Content.IE5\\AB12CD34\\logo[1].gif");
    files.AddFile(kCache + L"\\Content.IE5\\index.dat");
    files.AddFile(kCookie);
    registry.Put(kShellFolders, L"Cache", kCache);
    registry.Put(kShellFolders, L"Cookies", kCookie.substr(0, kCookie.rfind(L'\\')));
    registry.Put(L"Software\\Microsoft\\Internet Explorer\\TypedURLs", L"url1", L"http://a.test/");
    if (difference == "index.dat in use") {
      files.delete_errors[kCache + L"\\Content.IE5\\index.dat"] = FsStatus::kInUse;
    } else if (difference == "cookie in use by Internet Explorer") {
      files.delete_errors[kCookie] = FsStatus::kInUse;
      files.holders[kCookie] = {{L"Internet Explorer", false}};
    } else if (difference == "cache at C:\\") {
      registry.Put(kShellFolders, L"Cache", L"C:\\");
    } else if (difference == "no cookie location") {
      registry.DeleteValue(kShellFolders, L"Cookies");
    }
    if (difference.starts_with("no cache folder")) {
      files.RemoveTree(kCache);
    }
    if (difference.ends_with("typed addresses denied")) {
      registry.failing[L"Software\\Microsoft\\Internet Explorer\\TypedURLs"] = {
          platform::RegStatus::kAccessDenied, 5};
    }
    console.attached = difference != "no console";
  }
  int Run(const std::vector<std::wstring>& words) {
    const std::vector<std::wstring_view> arguments(words.begin(), words.end());
    return RunCommand(ReadCommandLine(arguments), arguments, {registry, files, console, boxes});
  }

  fakes::FakeRegistry registry;
  fakes::FakeFileSystem files;
  FakeConsole console;
  fakes::FakeMainWindow boxes;
};

// A table's arguments, blank-separated; "(none)", or "(empty)" for one empty argument.
std::vector<std::wstring> Words(const std::string& line) {
  std::vector<std::wstring> words(line == "(empty)" ? 1 : 0);
  std::istringstream in(line == "(none)" || line == "(empty)" ? "" : line);
  for (std::string word; in >> word;) {
    words.push_back(Wide(word));
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

TEST(CommandLineTest, TheExitCodeSaysHowTheRunEndedAndTheUserIsShownItsMessage) {
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/command_runs.tsv")) {
    SCOPED_TRACE(row[0] + ", " + row[1]);
    const std::vector<std::wstring> arguments = Words(row[0]);
    System system(row[1]);
    std::wstring expected;
    for (std::size_t line = 3; line < row.size(); ++line) {
      expected += Wide(row[line]) + L"\n";
    }
    const Command command = ReadCommandLine({arguments.begin(), arguments.end()});
    if ((command == Command::kClearCache || command == Command::kClearCookies) &&
        system.console.attached) {
      // The button, in the same state.
      System clicked(row[1]);
      cleaners::BrowserCleaner(
          command == Command::kClearCache ? cleaners::kCacheJob : cleaners::kCookieJob,
          clicked.boxes, clicked.boxes, clicked.registry, clicked.files)
          .Run();
      expected = clicked.boxes.messages.at(0).text + L"\n";
    }
    const std::vector<std::wstring> before = system.files.Under(L"C:");
    EXPECT_EQ(system.Run(arguments), std::stoi(row[2]));
    std::wstring shown = system.console.written;
    for (const auto& box : system.boxes.messages) {
      shown += box.text + L"\n";
    }
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(row[2] != "3" || system.files.Under(L"C:") == before) << "deleted";
  }
}

}  // namespace
}  // namespace quellnet::app
