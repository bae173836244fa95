// The installer helper's hand-over around an upgrade or an uninstall: what
// it closed is started again as it ran and from where it ran, whether the
// package goes on, stops or fails.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "rules/handover.h"

namespace quellnet::packaging {
namespace {

const std::wstring kInstalled = L"C:\\Users\\Bob\\AppData\\Local\\Programs\\Quellnet\\quellnet.exe";
const std::wstring kPortable = L"D:\\Tools\\Quellnet\\quellnet.exe";

struct FakeCopies final : RunningCopies {
  explicit FakeCopies(std::optional<ClosedCopy> running = std::nullopt, bool one_stays = false)
      : running(std::move(running)), one_stays(one_stays) {}
  bool CloseAll(std::optional<ClosedCopy>& closed) override {
    if (running && !closed) {
      closed = running;  // it closes; one that stays is not in `running`
    }
    running.reset();
    return !one_stays;
  }
  StartResult Start(const ClosedCopy& copy) override {
    started.push_back(copy);
    return missing.count(copy.program) ? StartResult::kMissing
           : fails                     ? StartResult::kFailed
                                       : StartResult::kStarted;
  }
  std::optional<ClosedCopy> running;
  bool one_stays = false;
  std::set<std::wstring> missing;
  bool fails = false;
  std::vector<ClosedCopy> started;
};

struct FakeStash final : Stash {
  bool Save(const std::optional<ClosedCopy>& closed) override {
    kept = save_fails ? std::nullopt : std::optional(closed);
    return !save_fails;
  }
  Restored Restore(std::optional<ClosedCopy>& closed) override {
    if (!kept) {
      return Restored::kNone;
    }
    closed = *std::exchange(kept, std::nullopt);
    return restore_fails ? Restored::kPart : Restored::kAll;
  }
  bool Discard() override { return kept.reset(), true; }
  std::optional<std::optional<ClosedCopy>> kept;  // the stash, and the copy in it
  bool save_fails = false;
  bool restore_fails = false;
};

const auto kNoRetry = [] { return false; };

// Who was started, as "program shown|hidden".
std::vector<std::wstring> Started(const FakeCopies& copies) {
  std::vector<std::wstring> started;
  for (const ClosedCopy& copy : copies.started) {
    started.push_back(copy.program + (copy.shown ? L" shown" : L" hidden"));
  }
  return started;
}

TEST(HandoverTest, AnUpgradeStartsAgainTheCopyThatRanFromWhereItRanAndAsItRan) {
  struct Case {
    std::optional<ClosedCopy> running;
    std::set<std::wstring> missing;
    std::vector<std::wstring> started;
  };
  for (const Case& row : std::vector<Case>{
           {std::nullopt, {}, {}},
           {ClosedCopy{kPortable, false}, {}, {kPortable + L" hidden"}},
           {ClosedCopy{kInstalled, true}, {}, {kInstalled + L" shown"}},
           // The system could not tell where it ran.
           {ClosedCopy{L"", true}, {}, {kInstalled + L" shown"}},
           // It ran from the installed program's old place, now gone.
           {ClosedCopy{L"C:\\Old\\quellnet.exe", false},
            {L"C:\\Old\\quellnet.exe"},
            {L"C:\\Old\\quellnet.exe hidden", kInstalled + L" hidden"}},
       }) {
    FakeCopies copies(row.running);
    copies.missing = row.missing;
    FakeStash stash;
    ASSERT_TRUE(PrepareUpgrade(copies, stash, kNoRetry, kInstalled));
    EXPECT_TRUE(copies.started.empty());
    ASSERT_TRUE(stash.kept.has_value()) << "nothing stashed";
    EXPECT_EQ(FinishUpgrade(copies, stash, kInstalled), !row.started.empty() || !row.running);
    EXPECT_EQ(Started(copies), row.started);
    EXPECT_FALSE(stash.kept) << "the stash stays";
    // Once more, as when the package runs it after a failure too: nothing.
    EXPECT_TRUE(FinishUpgrade(copies, stash, kInstalled));
    EXPECT_EQ(Started(copies).size(), row.started.size());
  }
}

TEST(HandoverTest, WhenThePackageStopsBeforeAnyChangeWhatWasClosedRunsAgain) {
  // A second window of Quellnet's class ignores the close.
  FakeCopies copies(ClosedCopy{kPortable, false}, true);
  FakeStash stash;
  EXPECT_FALSE(PrepareUpgrade(copies, stash, kNoRetry, kInstalled));
  EXPECT_EQ(Started(copies), std::vector<std::wstring>{kPortable + L" hidden"});
  EXPECT_FALSE(stash.kept);

  // The stash can't be kept.
  copies = FakeCopies(ClosedCopy{kInstalled, true});
  stash.save_fails = true;
  EXPECT_FALSE(PrepareUpgrade(copies, stash, kNoRetry, kInstalled));
  EXPECT_EQ(Started(copies), std::vector<std::wstring>{kInstalled + L" shown"});
  EXPECT_FALSE(stash.kept);

  // An uninstall that can't close one; retried once, as a user may.
  copies = FakeCopies(ClosedCopy{kInstalled, false}, true);
  int asked = 0;
  EXPECT_FALSE(CloseForRemoval(
      copies, [&] { return ++asked < 2; }, kInstalled));
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(Started(copies), std::vector<std::wstring>{kInstalled + L" hidden"});

  // One that closes on the retry stays closed: the uninstall goes on.
  copies = FakeCopies(ClosedCopy{kInstalled, false}, true);
  const auto user_closes_it = [&] { return !(copies.one_stays = false); };
  EXPECT_TRUE(CloseForRemoval(copies, user_closes_it, kInstalled));
  EXPECT_TRUE(copies.started.empty());
}

TEST(HandoverTest, WhatCantBePutBackOrStartedFailsTheStepAndTheRestIsStillDone) {
  FakeCopies copies(ClosedCopy{kPortable, true});
  FakeStash stash;
  stash.restore_fails = true;
  ASSERT_TRUE(PrepareUpgrade(copies, stash, kNoRetry, kInstalled));
  EXPECT_FALSE(FinishUpgrade(copies, stash, kInstalled));
  EXPECT_EQ(Started(copies), std::vector<std::wstring>{kPortable + L" shown"});

  copies = FakeCopies(ClosedCopy{kPortable, true});
  copies.fails = true;
  stash.restore_fails = false;
  ASSERT_TRUE(PrepareUpgrade(copies, stash, kNoRetry, kInstalled));
  EXPECT_FALSE(FinishUpgrade(copies, stash, kInstalled));
  // A portable copy that fails to start is not replaced by the installed one.
  EXPECT_EQ(Started(copies), std::vector<std::wstring>{kPortable + L" shown"});
}

}  // namespace
}  // namespace quellnet::packaging
