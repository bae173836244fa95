// The installer helper's rules. The hand-over around an upgrade or an
// uninstall (data/handovers.tsv): what it closed is started again as it ran
// and from where it ran, whether the package goes on, stops or fails. The
// run-at-logon value: it goes at uninstall only when it starts the program
// being removed, by whatever name (data/run_values.tsv), and only then.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "rules/handover.h"
#include "rules/run_entry.h"
#include "tools/table.h"

namespace quellnet::packaging {
namespace {

const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::map<std::string, std::wstring> kPrograms = {
    {"installed", L"C:\\Users\\Bob Smith\\AppData\\Local\\Programs\\Quellnet\\quellnet.exe"},
    {"portable", L"D:\\Portable Tools\\Quellnet\\quellnet.exe"},
    {"old", L"C:\\Old\\Quellnet\\quellnet.exe"},
    {"gone", L"C:\\Gone Away\\quellnet.exe"},
    {"unknown", L""}};

// One copy runs; `trouble` is what goes wrong (as the table words it).
struct FakeSystem final : RunningCopies, Stash {
  bool CloseAll(std::optional<ClosedCopy>& closed) override {
    closed = closed ? closed : std::exchange(running, std::nullopt);
    return !second_copy_stays;
  }
  StartResult Start(const ClosedCopy& copy) override {
    const auto program = std::find_if(kPrograms.begin(), kPrograms.end(), [&](const auto& known) {
      return known.second == copy.program;
    });
    const std::string name = program == kPrograms.end() ? "elsewhere" : program->first;
    started.push_back(name + (copy.shown ? " shown" : " hidden"));
    return (trouble == "its file is gone" && name == "old") || trouble == "no program file is left"
               ? StartResult::kMissing
           : trouble == "the start fails" ? StartResult::kFailed
                                          : StartResult::kStarted;
  }
  bool Save(const std::optional<ClosedCopy>& closed) override {
    stash = closed;
    return trouble != "the stash can't be kept";
  }
  Restored Restore(std::optional<ClosedCopy>& closed) override {
    if (!stash) {
      return Restored::kNone;
    }
    closed = *std::exchange(stash, std::nullopt);
    return trouble == "the stash can't be put back whole" ? Restored::kPart : Restored::kAll;
  }
  bool Discard() override { return stash.reset(), true; }

  std::string trouble;
  std::optional<ClosedCopy> running;
  bool second_copy_stays = false;
  std::optional<std::optional<ClosedCopy>> stash;
  std::vector<std::string> started;  // "installed shown", "portable hidden", ...
};

TEST(HandoverTest, WhatThePackageClosedRunsAgainAsItRanAndFromWhereItRan) {
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/handovers.tsv")) {
    SCOPED_TRACE(row[0] + ", " + row[1] + ", " + row[2]);
    FakeSystem system;
    system.trouble = row[2];
    if (row[1] != "-") {
      const std::size_t blank = row[1].find(' ');
      system.running =
          ClosedCopy{kPrograms.at(row[1].substr(0, blank)), row[1].substr(blank + 1) == "shown"};
    }
    system.second_copy_stays = row[2].starts_with("a second copy");
    // A silent installer never retries; here a user closes the copy that stayed.
    const AskRetry retry = [&] {
      return row[2] == "a second copy closes on a retry" && !(system.second_copy_stays = false);
    };
    const std::wstring& installed = kPrograms.at("installed");
    const bool prepared = row[0] == "upgrade" ? PrepareUpgrade(system, system, retry, installed)
                                              : CloseForRemoval(system, retry, installed);
    EXPECT_EQ(prepared ? "ok" : "fails", row[3]);
    if (row[4] != "-") {
      EXPECT_EQ(FinishUpgrade(system, system, installed) ? "ok" : "fails", row[4]);
    }
    EXPECT_FALSE(system.stash) << "a stash stays";
    const std::vector<std::string> started(row.begin() + 5, row.end());
    EXPECT_EQ(system.started, started);
    // The finish runs after a failure too: once more, it has nothing to do.
    EXPECT_TRUE(FinishUpgrade(system, system, installed));
    EXPECT_EQ(system.started.size(), started.size());
  }
}

// Names in any letter case; a short name leads to the file as its long one.
struct FakeFileIds final : FileIds {
  std::optional<FileId> IdOf(const std::wstring& path) override {
    const auto file = files.find(path);
    return file == files.end() ? std::nullopt : std::optional(FileId{1, file->second});
  }
  std::map<std::wstring, std::uint64_t, fakes::NoCase> files = {
      {L"C:\\Users\\Bob Smith\\AppData\\Local\\Programs\\Quellnet\\quellnet.exe", 1},
      {L"C:\\Users\\BOBSMI~1\\AppData\\Local\\Programs\\Quellnet\\quellnet.exe", 1},
      {L"D:\\Portable Tools\\Quellnet\\quellnet.exe", 2},
      {L"D:\\portable.exe", 3},
      {L"C:\\Other\\quellnet.exe", 4}};
};

TEST(RunEntryTest, OnlyAValueThatStartsTheProgramGoes) {
  const std::map<std::string, ForgetResult> results = {{"removed", ForgetResult::kRemoved},
                                                       {"kept", ForgetResult::kKept},
                                                       {"fails", ForgetResult::kFailed}};
  FakeFileIds files;
  for (const tools::TableRow& row : tools::TableFile(QUELLNET_UNIT_DATA "/run_values.tsv")) {
    fakes::FakeRegistry registry;
    if (row[1] != "(none)") {
      registry.Put(kRunKey, L"Quellnet", tools::Wide(row[1]), row[1] != "(not text)");
    }
    if (row[1] == "(gone meanwhile)") {
      registry.Put(kRunKey, L"Quellnet", L"\"" + kPrograms.at(row[0]) + L"\"");
      registry.before_delete = [&] { registry.keys[kRunKey].erase(L"Quellnet"); };
    }
    if (row[1] == "(denied)") {
      registry.failing[kRunKey] = {platform::RegStatus::kAccessDenied, 5};
    }
    registry.Put(kRunKey, L"OtherTool", L"C:\\Other\\quellnet.exe");
    EXPECT_EQ(ForgetRunEntry(registry, files, kPrograms.at(row[0])), results.at(row[2]))
        << row[0] << ": " << row[1];
    EXPECT_EQ(registry.Find(kRunKey, L"Quellnet") != nullptr,
              row[1] != "(none)" && row[2] != "removed");
    EXPECT_NE(registry.Find(kRunKey, L"OtherTool"), nullptr);
  }
}

}  // namespace
}  // namespace quellnet::packaging
