// Both browser cleaners on an in-memory tree and registry: what each run
// deletes, what it leaves, and the one message it shows, or, run from a
// command line, the text it writes and its exit code.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "cleaners/browser_cleaner.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "platform/system_error.h"
#include "tools/table.h"

namespace quellnet {

// The unit tests' wording of a system error: which code reached the message.
std::wstring platform::SystemErrorText(platform::SystemError code) {
  return L"System error " + std::to_wstring(code) + L".";
}

namespace cleaners {
namespace {

using fakes::FakeRegistry;
using platform::FsStatus;
using platform::MessageIcon;
using platform::RegStatus;
using Paths = std::vector<std::wstring>;

// The parts of a table cell.
Paths Split(const std::wstring& cell, const std::wstring& separator = L"; ") {
  Paths parts;
  for (std::size_t start = 0; start < cell.size();) {
    const std::size_t end = std::min(cell.find(separator, start), cell.size());
    parts.push_back(cell.substr(start, end - start));
    start = end + separator.size();
  }
  return parts;
}

const std::wstring kShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::wstring kTypedUrls = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::wstring kCache = L"C:\\Users\\Bob\\AppData\\Local\\Microsoft\\Windows\\INetCache";
const std::wstring kCookies = L"C:\\Users\\Bob\\AppData\\Roaming\\Microsoft\\Windows\\Cookies";
const std::map<std::wstring, FsStatus> kStatuses = {{L"denied", FsStatus::kAccessDenied},
                                                    {L"inuse", FsStatus::kInUse},
                                                    {L"gone", FsStatus::kNotFound},
                                                    {L"toolong", FsStatus::kTooLong},
                                                    {L"ok", FsStatus::kOk},
                                                    {L"failed", FsStatus::kFailed}};

// Bob's computer (data/bobs_computer.tsv), with the registry's record of
// his cache and cookie folder, and typed addresses.
class CleanerTest : public ::testing::Test {
 protected:
  CleanerTest() { Reset(); }

  // Bob's computer as it was before any run.
  void Reset() {
    files = {};
    registry = {};
    just_before_open_.clear();
    for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/bobs_computer.tsv")) {
      Change(L"", tools::Wide(row[0]));
    }
    EXPECT_EQ(known_.at(L"Program"), platform::KnownFolder::kProgram) << "out of the enum's order";
    files.computer_name = L"BOBPC";
    files.before_open = [this](const std::wstring& path) {
      if (auto change = just_before_open_.extract(path)) {
        change.mapped()();
      }
    };
    registry.Put(kShellFolders, L"Cache", kCache);
    registry.Put(kShellFolders, L"Cookies", kCookies);
    registry.Put(kTypedUrls, L"url1", L"http://one.example/");
  }

  // Makes the changes that a table cell lists, in the words of
  // data/trees.tsv, each path within `folder`.
  void Change(const std::wstring& folder, const std::wstring& changes) {
    for (const std::wstring& change : Split(changes)) {
      const std::size_t space = std::min(change.find(L' '), change.size());
      const std::size_t equals = std::min(change.find(L'='), change.size());
      const std::wstring verb = change.substr(0, space);
      const std::wstring name = change.substr(std::min(space + 1, equals), equals - space - 1);
      const std::wstring path = folder + name;
      const std::wstring value = change.substr(std::min(equals + 1, change.size()));
      if (verb == L"value") {  // the folder's in Shell Folders; none without '='
        registry.DeleteValue(kShellFolders, name);
        equals == change.size() ? void() : registry.Put(kShellFolders, name, value);
      } else if (verb == L"refuses") {  // the key of the typed addresses or Shell Folders
        const Paths cause = Split(value, L" ");
        registry.failing[name == L"typed" ? kTypedUrls : kShellFolders] = {
            cause[0] == L"denied" ? RegStatus::kAccessDenied : RegStatus::kFailed,
            platform::SystemError(std::stoul(cause[1]))};
      } else if (verb == L"known") {
        known_.try_emplace(path, platform::KnownFolder(known_.size()));
        files.known_folders[known_.at(path)] = value;
      } else if (verb == L"alias") {
        files.aliases[path] = value;
      } else if (verb == L"link" || verb == L"filelink") {
        files.AddLink(path, value, verb == L"link");
      } else if (verb == L"file" || verb == L"folder") {
        verb == L"file" ? files.AddFile(path) : files.AddFolder(path);
      } else if (verb == L"heldby") {
        for (const std::wstring& holder : Split(value, L", ")) {
          const bool windows = holder.back() == L'*';
          files.holders[path].push_back({holder.substr(0, holder.size() - windows), windows});
        }
      } else if (verb == L"erase") {
        files.RemoveTree(path);
      } else if (verb == L"swap") {
        const std::size_t at = std::min(value.find(L'@'), value.size());
        const std::wstring target = value.substr(0, at);
        const std::wstring when = at == value.size() ? path : folder + value.substr(at + 1);
        just_before_open_[when] = [this, path, target] {
          files.Move(path, path + L".old");
          files.AddLink(path, target, files.entries.at(target).type.folder);
        };
      } else if (verb == L"retype") {
        just_before_open_[path] = [this, path] { files.RemoveTree(path), files.AddFolder(path); };
      } else {
        auto& errors = verb == L"stays"        ? files.delete_errors
                       : verb == L"once"       ? files.fail_once
                       : verb == L"unopenable" ? files.open_errors
                                               : files.list_errors;
        ASSERT_TRUE(verb == L"unlistable" || &errors != &files.list_errors) << verb;
        errors[path] = kStatuses.at(value.substr(0, value.find(L' ')));
        if (value.find(L' ') != std::wstring::npos) {
          files.error_codes[path] = std::stoul(value.substr(value.find(L' ')));
        }
      }
    }
  }

  // Runs one cleaner and returns the text of the one message it showed.
  std::wstring Run(const CleanerJob& job) {
    window.messages.clear();
    BrowserCleaner(job, window, window, registry, files).Run();
    EXPECT_EQ(window.messages.size(), 1u);
    EXPECT_FALSE(window.busy);
    return window.messages.back().text;
  }

  fakes::FakeMainWindow window;
  FakeRegistry registry;
  fakes::FakeFileSystem files;
  std::map<std::wstring, platform::KnownFolder> known_;  // by the names in the tables
  // What another program does just before the path is opened.
  std::map<std::wstring, std::function<void()>, fakes::NoCase> just_before_open_;
};

// The cache is empty by the time the message shows, and the window had a
// turn after each of its 11 entries (what the message, its icon, the
// progress and the typed addresses are after each run: see the trees). Where
// an entry opens as itself, of the kind its listing showed (Windows), a file
// is removed without a look at its handle, and each folder is looked at
// before it is entered; elsewhere (Wine) every entry is looked at.
TEST_F(CleanerTest, TheCacheCleanerEmptiesTheCacheBeforeItSaysSo) {
  Paths at_message;
  window.on_message = [&] { at_message = files.Under(kCache); };
  for (const bool wine : {false, true}) {
    Reset();
    files.follows_links = wine;
    window.progress.clear();
    EXPECT_EQ(Run(kCacheJob), L"Internet Cache Cleared !");
    EXPECT_EQ(at_message, Paths{kCache});
    EXPECT_EQ(window.progress.size(), 11u);
    // The cache folder, Content.IE5, AB12CD34, EF56GH78, deep, IJ90KL12 and
    // Other; then the files desktop.ini, index.dat, logo[1].gif,
    // script[2].js and page.htm.
    EXPECT_EQ(files.shows, wine ? 7 + 5 : 7) << wine;
  }

  // Once more: an empty cache and no typed addresses are no trouble.
  EXPECT_EQ(Run(kCacheJob), L"Internet Cache Cleared !");
}

// The program ending during a run (the session ends) stops it between two
// entries: nothing more is touched and nobody is told.
TEST_F(CleanerTest, AProgramEndingDuringTheRunStopsItBetweenTwoEntries) {
  window.turns_left = 2;
  BrowserCleaner(kCacheJob, window, window, registry, files).Run();
  EXPECT_EQ(files.Under(kCache).size(), 12u - 3);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_FALSE(window.busy);
  EXPECT_TRUE(registry.KeyExists(kTypedUrls));
}

// A location that can't be used, for each case of data/location_troubles.tsv
// and data/refusals.tsv (their folders are on Bob's computer): nothing on
// disk changes, and the message says why. Only a location that can't be read
// at all (or is empty) keeps the typed addresses. Any program can change
// where the registry says the folders are: only the browser's own folder is
// emptied, and not even that where it is, holds or lies in a folder the user
// can't lose, whatever its spelling. The refusals reach every row of the
// table of protected folders, at the place the shell names or at its
// standard place.
TEST_F(CleanerTest, ALocationThatCantBeUsedLeavesTheDiskAsItWasAndSaysWhy) {
  for (const std::string table : {"/location_troubles.tsv", "/refusals.tsv"}) {
    for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA + table)) {
      SCOPED_TRACE(row[1] + " " + row[2]);
      const CleanerJob& job = row[0] == "cache" ? kCacheJob : kCookieJob;
      const std::wstring value(job.folder_value);
      Reset();
      registry.DeleteValue(kShellFolders, value);
      if (row[1] != "(none)") {
        registry.Put(kShellFolders, value, row[1] == "(empty)" ? L"" : tools::Wide(row[1]),
                     row[1] != "(not text)");
      }
      Change(L"", tools::Wide(row[2]));
      const auto before = files.entries.size();
      EXPECT_EQ(Run(job), tools::Lines(row, 3));
      EXPECT_EQ(window.messages[0].icon, MessageIcon::kWarning);
      EXPECT_EQ(files.entries.size(), before);
    }
  }
}

// What a clean leaves of trees that another program shapes, or changes while
// it runs, for each case of data/trees.tsv: links at depth, a folder it may
// not list (also where the registry spells it otherwise), entries replaced
// between their listing and their opening; on
// Windows, and where opening a link opens what it leads to (Wine); files
// held open, among them the browser's index, which Windows keeps open while
// the user is logged on (where the system can't tell who holds it, as on XP,
// that is who does), so it is no failure. Nothing outside the cleaned folder
// changes, and the message says what stays.
TEST_F(CleanerTest, WhatACleanLeavesOfEachTreeAndNothingOutsideIt) {
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/trees.tsv")) {
    SCOPED_TRACE(row[0] + " on " + row[2]);
    Reset();
    files.follows_links = row[2] == "wine";
    const std::wstring folder = row[1] == "cache" ? kCache : kCookies;
    Change(folder, tools::Wide(row[3]));
    // A clean only removes: what it took outside the folder shows in the count.
    const auto outside = [&] { return files.entries.size() - files.Under(folder).size(); };
    const auto outside_before = outside();
    const std::wstring message = tools::Lines(row, 5);
    const CleanerJob& job = row[1] == "cache" ? kCacheJob : kCookieJob;
    window.progress.clear();
    EXPECT_EQ(Run(job), message);
    // Whatever the run met, its progress only grew, to the whole run.
    EXPECT_TRUE(std::is_sorted(window.progress.begin(), window.progress.end()));
    EXPECT_NEAR(window.progress.empty() ? 1.0 : window.progress.back(), 1.0, 1e-9);
    // The success text alone shows no icon; with the index files that stay it
    // informs; any other trouble warns.
    EXPECT_EQ(window.messages[0].icon, message == job.words.done ? MessageIcon::kNone
                                       : message.starts_with(job.words.done)
                                           ? MessageIcon::kInformation
                                           : MessageIcon::kWarning);
    Paths inside = files.Under(folder);
    inside.erase(inside.begin());
    std::transform(inside.begin(), inside.end(), inside.begin(),
                   [&](const std::wstring& path) { return path.substr(folder.size()); });
    EXPECT_TRUE(row[4] == "*" || inside == Split(tools::Wide(row[4] == "-" ? "" : row[4])));
    EXPECT_EQ(outside(), outside_before);
    EXPECT_EQ(registry.KeyExists(kTypedUrls), &job == &kCookieJob);
  }
}

struct FakeConsole final : platform::Console {
  bool WriteLines(std::wstring_view text) override {
    written += attached ? std::wstring(text) + L"\n" : L"";
    return attached;
  }
  bool attached = true;
  std::wstring written;
};

// From a command line (data/command_runs.tsv) a cleaner writes to the console
// what its button's message says in the same state, and its exit code says
// how the run ended. A command line that is not understood deletes nothing.
TEST_F(CleanerTest, ACommandLineRunWritesWhatTheButtonSaysAndEndsWithItsExitCode) {
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/command_runs.tsv")) {
    SCOPED_TRACE(row[0] + ", " + row[1]);
    const Paths words = Split(tools::Wide(row[0]), L" ");
    const std::vector<std::wstring_view> arguments(words.begin(), words.end());
    const app::Command command = app::ReadCommandLine(arguments);
    const bool cookies = command == app::Command::kClearCookies;
    FakeConsole console;
    console.attached = row[1] != "no console";
    const auto set_up = [&] {
      Reset();
      Change(cookies ? kCookies : kCache, tools::Wide(console.attached ? row[1] : ""));
    };
    std::wstring expected = row.size() > 3 ? tools::Lines(row, 3) + L"\n" : L"";
    if ((cookies || command == app::Command::kClearCache) && console.attached) {
      set_up();
      expected = Run(cookies ? kCookieJob : kCacheJob) + L"\n";
    }
    set_up();
    window.messages.clear();
    const Paths before = files.Under(L"C:");
    EXPECT_EQ(app::RunCommand(command, arguments, {registry, files, console, window}),
              std::stoi(row[2]));
    std::wstring shown = console.written;
    for (const auto& box : window.messages) {
      shown += box.text + L"\n";
    }
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(row[2] != "3" || files.Under(L"C:") == before) << "deleted";
  }
}

}  // namespace
}  // namespace cleaners
}  // namespace quellnet
