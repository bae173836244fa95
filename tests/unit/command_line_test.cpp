// The command line: which switches it takes, and the exit code and console
// text of each way a cleaner's run can end. The cleaners themselves are
// tested in cleaner_test.cpp.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"

namespace quellnet::app {
namespace {

using Arguments = std::vector<std::wstring_view>;

struct FakeConsole final : platform::Console {
  bool WriteLines(std::wstring_view text) override {
    written += std::wstring(text) + L"\n";
    return attached;
  }
  bool attached = true;
  std::wstring written;
};

TEST(CommandLineTest, TakesOneSwitchInAnyLetterCaseAfterASlashOrADash) {
  struct Case {
    Arguments arguments;
    Command command;
  };
  for (const Case& row : std::vector<Case>{
           {{}, Command::kOpenWindow},
           {{L"/ClearCache"}, Command::kClearCache},
           {{L"-clearcache"}, Command::kClearCache},
           {{L"/CLEARCOOKIES"}, Command::kClearCookies},
           {{L"-ClearCookies"}, Command::kClearCookies},
           {{L"/?"}, Command::kShowUsage},
           {{L"-?"}, Command::kShowUsage},
           {{L"ClearCache"}, Command::kNotUnderstood},
           {{L"/ClearCach"}, Command::kNotUnderstood},
           {{L"/ClearCacheX"}, Command::kNotUnderstood},
           {{L"/"}, Command::kNotUnderstood},
           {{L""}, Command::kNotUnderstood},
           {{L"/ClearCache", L"/ClearCookies"}, Command::kNotUnderstood},
           {{L"/?", L"/ClearCache"}, Command::kNotUnderstood},
       }) {
    EXPECT_EQ(ReadCommandLine(row.arguments), row.command)
        << (row.arguments.empty() ? "(none)"
                                  : std::string(row.arguments[0].begin(), row.arguments[0].end()));
  }
}

const std::wstring kShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::wstring kCache = L"C:\\Users\\Bob\\AppData\\Local\\Microsoft\\Windows\\INetCache";
const std::wstring kCookies = L"C:\\Users\\Bob\\AppData\\Roaming\\Microsoft\\Windows\\Cookies";

// A user with a cache and a cookie folder as the browser leaves them.
struct System {
  System() {
    files.AddFile(kCache + L"\\Content.IE5\\AB12CD34\\logo[1].gif");
    files.AddFile(kCache + L"\\Content.IE5\\index.dat");
    files.AddFile(kCookies + L"\\bob@example[1].txt");
    registry.Put(kShellFolders, L"Cache", kCache);
    registry.Put(kShellFolders, L"Cookies", kCookies);
    registry.Put(L"Software\\Microsoft\\Internet Explorer\\TypedURLs", L"url1",
                 L"http://a.example/");
  }
  int Run(const Arguments& arguments) {
    console.written.clear();
    return RunCommand(ReadCommandLine(arguments), arguments, {registry, files, console, boxes});
  }

  fakes::FakeRegistry registry;
  fakes::FakeFileSystem files;
  FakeConsole console;
  fakes::FakeMainWindow boxes;
};

// Each way a run ends, with what the console gets: the text the button's
// message box shows, and no box.
TEST(CommandRunTest, TheExitCodeSaysHowTheRunEndedAndTheConsoleGetsTheMessage) {
  struct Case {
    const char* name;
    std::wstring_view command;
    std::function<void(System&)> arrange;
    int exit_code;
    std::wstring text;
  };
  const std::vector<Case> cases = {
      {"cleared", L"/ClearCache", nullptr, 0, L"Internet Cache Cleared !\n"},
      {"only the index Windows holds stays", L"/clearcache",
       [](System& t) {
         t.files.delete_errors[kCache + L"\\Content.IE5\\index.dat"] = platform::FsStatus::kInUse;
       },
       0,
       L"Internet Cache Cleared !\n\nThe browser's index file (index.dat) stays: Windows keeps "
       L"it open while you are logged on.\n"},
      {"a cookie held by a program", L"-ClearCookies",
       [](System& t) {
         t.files.delete_errors[kCookies + L"\\bob@example[1].txt"] = platform::FsStatus::kInUse;
         t.files.holders[kCookies + L"\\bob@example[1].txt"] = {{L"Internet Explorer", false}};
       },
       1,
       L"The cookies were not cleared completely.\n\n1 item is in use by Internet Explorer and "
       L"was left. Close Internet Explorer and try again.\n"},
      {"no cookie folder", L"/ClearCookies", [](System& t) { t.files.entries.clear(); }, 1,
       L"The cookies were not cleared completely.\n\nThe cookie folder \"" + kCookies +
           L"\" could not be found.\n"},
      {"a whole drive", L"/ClearCache",
       [](System& t) { t.registry.Put(kShellFolders, L"Cache", L"C:\\"); }, 2,
       L"The Internet cache was not cleared completely.\n\nThe cache folder was left alone: its "
       L"recorded location, \"C:\\\", is a whole drive.\nThe list of typed addresses was "
       L"cleared.\n"},
      {"no location recorded", L"/ClearCookies",
       [](System& t) { t.registry.DeleteValue(kShellFolders, L"Cookies"); }, 2,
       L"The cookies were not cleared completely.\n\nThe cookie folder could not be found: its "
       L"location is not recorded for this user.\nNothing was deleted.\n"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    System fresh;
    if (row.arrange) {
      row.arrange(fresh);
    }
    EXPECT_EQ(fresh.Run({row.command}), row.exit_code);
    EXPECT_EQ(fresh.console.written, row.text);
    EXPECT_TRUE(fresh.boxes.messages.empty());
  }
}

TEST(CommandRunTest, TheUsageGoesToTheConsoleOrElseIntoABox) {
  System system;
  auto& [registry, files, console, boxes] = system;
  EXPECT_EQ(system.Run({L"/?"}), 0);
  EXPECT_EQ(console.written.rfind(L"Usage: quellnet.exe [/ClearCache | /ClearCookies | /?]\n", 0),
            0u);
  EXPECT_TRUE(boxes.messages.empty());

  // Started from a shortcut or Explorer, with no console to write to.
  console.attached = false;
  EXPECT_EQ(system.Run({L"-?"}), 0);
  ASSERT_EQ(boxes.messages.size(), 1u);
  EXPECT_EQ(console.written, boxes.messages[0].text + L"\n");

  // What it does not understand it names, and nothing is deleted; a box
  // would stop a scheduled task, so there is none.
  const std::vector<std::wstring> before = files.Under(L"C:");
  EXPECT_EQ(system.Run({L"/ClearCache", L"/Now"}), 3);
  EXPECT_EQ(console.written.rfind(L"Not understood: /ClearCache /Now\n\nUsage: ", 0), 0u);
  EXPECT_EQ(boxes.messages.size(), 1u);
  EXPECT_EQ(files.Under(L"C:"), before);
}

}  // namespace
}  // namespace quellnet::app
