#include "cleaners/cache_cleaner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cleaner_test_setup.h"
#include "cleaners/folder_safety.h"

namespace quellnet {
namespace {

using namespace testing_world;
using fakes::FakeRegistry;
using platform::FsStatus;
using platform::MessageIcon;
using platform::RegStatus;

const std::wstring kContent = kCache + L"\\Content.IE5";
const std::wstring kIncomplete = L"The Internet cache was not cleared completely.\n\n";

class CacheCleanerTest : public CleanerTest<cleaners::CacheCleaner> {
 protected:
  CacheCleanerTest() {
    registry.Put(kShellFolders, L"Cache", kCache);
    registry.Put(kTypedUrls, L"url1", L"http://one.example/");
    registry.Put(kTypedUrls, L"url2", L"http://two.example/");
    registry.CreateKey(kTypedUrls + L"\\Extra");
    files.AddFolder(kCache);
  }

  // A cache as the browser leaves it.
  void FillCache() {
    files.AddFile(kCache + L"\\desktop.ini");
    files.AddFile(kCache + L"\\locked.dat", /*read_only=*/true);
    files.AddFile(kContent + L"\\index.dat");
    files.AddFile(kContent + L"\\AB12CD34\\logo[1].gif");
    files.AddFile(kContent + L"\\EF56GH78\\deep\\script[2].js", /*read_only=*/true);
    files.AddFolder(kContent + L"\\IJ90KL12");
    files.AddFile(kCache + L"\\Other\\page.htm");
  }

  bool CacheIsEmpty() const { return files.Under(kCache) == std::vector<std::wstring>{kCache}; }
  bool TypedUrlsRemain() const { return registry.KeyExists(kTypedUrls); }
};

TEST_F(CacheCleanerTest, EmptiesTheCacheKeepsTheFolderDeletesTypedAddressesThenSaysSo) {
  FillCache();
  bool waiting_while_deleting = true;
  files.on_delete = [&] { waiting_while_deleting = waiting_while_deleting && window.wait_cursor; };
  bool done_before_message = false;
  window.on_message = [&] {
    done_before_message = CacheIsEmpty() && !TypedUrlsRemain() && !window.wait_cursor;
  };

  cleaner.Run();

  EXPECT_TRUE(CacheIsEmpty());
  EXPECT_FALSE(TypedUrlsRemain());
  EXPECT_FALSE(registry.KeyExists(kTypedUrls + L"\\Extra"));
  EXPECT_TRUE(AllPreciousFilesRemain(files));
  EXPECT_TRUE(waiting_while_deleting);
  EXPECT_EQ(window.wait_cursor_shown, 1);
  EXPECT_TRUE(done_before_message);
  const auto& message = OnlyMessage();
  EXPECT_EQ(message.text, L"Internet Cache Cleared !");
  EXPECT_EQ(message.caption, L"Quellnet");
  EXPECT_EQ(message.icon, MessageIcon::kNone);
}

TEST_F(CacheCleanerTest, AnEmptyCacheWithoutTypedAddressesIsSuccessToo) {
  ASSERT_EQ(registry.DeleteKeyTree(kTypedUrls), RegStatus::kOk);
  cleaner.Run();
  EXPECT_EQ(OnlyMessage().text, L"Internet Cache Cleared !");
}

struct UnreadableLocation {
  const char* name;
  bool present;
  bool is_text;
  RegStatus read_failure;  // kOk: the read itself works
  const wchar_t* reason;
};

class CacheLocationUnreadable : public CacheCleanerTest,
                                public ::testing::WithParamInterface<UnreadableLocation> {};

TEST_P(CacheLocationUnreadable, EndsTheRunBeforeAnyDeletionAndSaysWhy) {
  const auto& location = GetParam();
  FillCache();
  ASSERT_EQ(registry.DeleteValue(kShellFolders, L"Cache"), RegStatus::kOk);
  if (location.present) {
    registry.Put(kShellFolders, L"Cache", location.is_text ? L"" : L"\x1234", location.is_text);
  }
  if (location.read_failure != RegStatus::kOk) {
    registry.FailOn(FakeRegistry::Op::kRead, kShellFolders, location.read_failure);
  }
  const auto before = files.Under(kCache);

  cleaner.Run();

  EXPECT_EQ(files.Under(kCache), before);
  EXPECT_TRUE(files.listed.empty());
  EXPECT_TRUE(TypedUrlsRemain());
  EXPECT_EQ(registry.ValueCount(kTypedUrls), 2u);
  const auto& message = OnlyMessage();
  EXPECT_EQ(message.text, kIncomplete + L"The cache folder could not be found: " + location.reason +
                              L"\nNothing was deleted.");
  EXPECT_EQ(message.caption, L"Quellnet");
  EXPECT_EQ(message.icon, MessageIcon::kWarning);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CacheLocationUnreadable,
    ::testing::Values(UnreadableLocation{"Missing", false, true, RegStatus::kOk,
                                         L"its location is not recorded for this user."},
                      UnreadableLocation{"Empty", true, true, RegStatus::kOk,
                                         L"its recorded location is empty."},
                      UnreadableLocation{"NotText", true, false, RegStatus::kOk,
                                         L"its recorded location is not a folder path."},
                      UnreadableLocation{"NoRight", true, true, RegStatus::kAccessDenied,
                                         L"its recorded location could not be read."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CacheCleanerTest, AMissingFolderStillClearsTypedAddressesAndIsReported) {
  ASSERT_EQ(registry.DeleteValue(kShellFolders, L"Cache"), RegStatus::kOk);
  registry.Put(kShellFolders, L"Cache", L"C:\\Gone\\Cache");

  cleaner.Run();

  EXPECT_FALSE(TypedUrlsRemain());
  EXPECT_EQ(OnlyMessage().text, kIncomplete +
                                    L"The cache folder \"C:\\Gone\\Cache\" could not be found.\n"
                                    L"The list of typed addresses was cleared.");
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::kWarning);
}

TEST_F(CacheCleanerTest, AFolderThatCannotBeListedKeepsItsEntriesAndTheRunGoesOn) {
  FillCache();
  files.FailListing(kCache, FsStatus::kAccessDenied);

  cleaner.Run();

  EXPECT_TRUE(files.Exists(kCache + L"\\desktop.ini"));
  EXPECT_TRUE(files.Exists(kCache + L"\\Other\\page.htm"));
  // The second pass still runs over "Content.IE5", which lists fine.
  EXPECT_EQ(files.Under(kContent),
            (std::vector<std::wstring>{kContent, kContent + L"\\index.dat"}));
  EXPECT_FALSE(TypedUrlsRemain());
  EXPECT_EQ(OnlyMessage().text, kIncomplete + L"The files in \"" + kCache +
                                    L"\" were left: you have no permission to read that folder.\n"
                                    L"The subfolders of \"" +
                                    kCache +
                                    L"\" were left: you have no permission to read that folder.\n"
                                    L"The list of typed addresses was cleared.");
}

TEST_F(CacheCleanerTest, AFileHeldOpenStaysAndEverythingElseGoes) {
  FillCache();
  files.FailDelete(kCache + L"\\desktop.ini", FsStatus::kInUse);

  cleaner.Run();

  EXPECT_EQ(files.Under(kCache), (std::vector<std::wstring>{kCache, kCache + L"\\desktop.ini"}));
  EXPECT_FALSE(TypedUrlsRemain());
  EXPECT_EQ(OnlyMessage().text, kIncomplete +
                                    L"1 item is in use and was left. Close the browser and try "
                                    L"again.\nThe list of typed addresses was cleared.");
}

class CacheContentHeldOpen : public CacheCleanerTest, public ::testing::WithParamInterface<bool> {};

// Whether the platform stops at the first entry it can't delete or deletes
// all it can, the subfolders of "Content.IE5" go and the one file is
// counted once.
TEST_P(CacheContentHeldOpen, ItsSubfoldersGoInTheSecondPassAndTheFileIsCountedOnce) {
  files.stop_at_first_failure = GetParam();
  FillCache();
  files.FailDelete(kContent + L"\\index.dat", FsStatus::kInUse);
  files.FailDelete(kCache + L"\\Other\\page.htm", FsStatus::kAccessDenied);

  cleaner.Run();

  EXPECT_EQ(files.Under(kContent),
            (std::vector<std::wstring>{kContent, kContent + L"\\index.dat"}));
  EXPECT_TRUE(files.Exists(kCache + L"\\Other\\page.htm"));
  EXPECT_EQ(OnlyMessage().text,
            kIncomplete +
                L"1 item is in use and was left. Close the browser and try again.\n"
                L"1 item was left because you have no permission to delete it.\n"
                L"The list of typed addresses was cleared.");
}

INSTANTIATE_TEST_SUITE_P(StoppingOrNot, CacheContentHeldOpen, ::testing::Bool());

TEST_F(CacheCleanerTest, WithoutContentFolderTheSecondPassRetriesTheCacheSubfoldersOnce) {
  files.AddFile(kCache + L"\\Other\\a.htm");
  files.AddFile(kCache + L"\\Other\\b.htm");
  files.AddFile(kCache + L"\\Spare\\c.htm");
  files.FailDelete(kCache + L"\\Other\\a.htm", FsStatus::kInUse);
  files.FailDelete(kCache + L"\\Other\\b.htm", FsStatus::kInUse);

  cleaner.Run();

  EXPECT_EQ(std::count(files.listed.begin(), files.listed.end(), kCache), 3);
  EXPECT_EQ(files.Under(kCache),
            (std::vector<std::wstring>{kCache, kCache + L"\\Other", kCache + L"\\Other\\a.htm",
                                       kCache + L"\\Other\\b.htm"}));
  EXPECT_EQ(OnlyMessage().text, kIncomplete +
                                    L"2 items are in use and were left. Close the browser and "
                                    L"try again.\nThe list of typed addresses was cleared.");
}

TEST_F(CacheCleanerTest, TypedAddressesThatCannotBeDeletedAreReported) {
  FillCache();
  registry.FailOn(FakeRegistry::Op::kDeleteKeyTree, kTypedUrls, RegStatus::kAccessDenied);

  cleaner.Run();

  EXPECT_TRUE(CacheIsEmpty());
  EXPECT_TRUE(TypedUrlsRemain());
  EXPECT_EQ(OnlyMessage().text, kIncomplete +
                                    L"The list of typed addresses could not be deleted: you have "
                                    L"no permission to change it.");
}

TEST_F(CacheCleanerTest, ALinkInsideIsRemovedAsALinkAndNeverOpened) {
  files.AddFile(kCache + L"\\desktop.ini");
  files.AddFile(L"C:\\Data\\album\\one.jpg");
  files.AddFile(L"C:\\Data\\album\\sub\\two.jpg");
  files.AddLink(kCache + L"\\Pictures", L"C:\\Data\\album");
  // "Content.IE5" itself is a link the user may not remove: the second pass
  // must not run over what it leads to.
  files.AddLink(kCache + L"\\Content.IE5", L"C:\\Data\\album");
  files.FailDelete(kCache + L"\\Content.IE5", FsStatus::kAccessDenied);

  cleaner.Run();

  EXPECT_FALSE(files.Exists(kCache + L"\\Pictures"));
  EXPECT_TRUE(files.Exists(L"C:\\Data\\album\\one.jpg"));
  EXPECT_TRUE(files.Exists(L"C:\\Data\\album\\sub\\two.jpg"));
  EXPECT_EQ(std::count(files.listed.begin(), files.listed.end(), kContent), 0);
  EXPECT_EQ(std::count(files.listed.begin(), files.listed.end(), L"C:\\Data\\album"), 0);
  EXPECT_EQ(OnlyMessage().text,
            kIncomplete +
                L"1 item was left because you have no permission to delete it.\n"
                L"The list of typed addresses was cleared.");
}

struct RefusedLocation {
  const char* name;
  const wchar_t* value;
  const wchar_t* reason;
};

class CacheLocationRefused : public CacheCleanerTest,
                             public ::testing::WithParamInterface<RefusedLocation> {};

TEST_P(CacheLocationRefused, DeletesNothingOnDiskButStillClearsTypedAddresses) {
  FillCache();
  files.AddFolder(L"C:\\Sneaky");
  files.aliases[L"C:\\Sneaky"] = kProfile;  // a junction to the profile
  files.AddFolder(L"C:\\Short~1");
  files.aliases[L"C:\\Short~1"] = L"C:\\Users";  // a short name
  registry.Put(kShellFolders, L"Cache", GetParam().value);
  const auto before = files.Under(L"C:\\");

  cleaner.Run();

  EXPECT_EQ(files.Under(L"C:\\"), before);
  EXPECT_TRUE(files.listed.empty());
  EXPECT_FALSE(TypedUrlsRemain());
  EXPECT_EQ(OnlyMessage().text, kIncomplete +
                                    L"The cache folder was left alone: its recorded location, \"" +
                                    GetParam().value + L"\", " + GetParam().reason +
                                    L".\nThe list of typed addresses was cleared.");
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::kWarning);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CacheLocationRefused,
    ::testing::Values(
        RefusedLocation{"Relative", L"Temporary Internet Files", L"is not a full path"},
        RefusedLocation{"RootRelative", L"\\Temp", L"is not a full path"},
        RefusedLocation{"DriveRelative", L"C:Temp", L"is not a full path"},
        RefusedLocation{"Device", L"\\\\.\\C:\\Temp", L"is not a full path"},
        RefusedLocation{"BareDrive", L"C:", L"is a whole drive"},
        RefusedLocation{"DriveRoot", L"C:\\", L"is a whole drive"},
        RefusedLocation{"SlashedRoot", L"c:/", L"is a whole drive"},
        RefusedLocation{"ExtendedRoot", L"\\\\?\\C:\\", L"is a whole drive"},
        RefusedLocation{"ClimbsToRoot", L"C:\\Users\\..\\", L"is a whole drive"},
        RefusedLocation{"Share", L"\\\\server\\share", L"is a whole network share"},
        RefusedLocation{"ShareSlash", L"\\\\server\\share\\", L"is a whole network share"},
        RefusedLocation{"ExtendedShare", L"\\\\?\\UNC\\server\\share", L"is a whole network share"},
        RefusedLocation{"Profile", L"C:\\Users\\Bob", L"is your user folder"},
        RefusedLocation{"ProfileOtherCase", L"c:\\users\\BOB\\", L"is your user folder"},
        RefusedLocation{"HoldsProfile", L"C:\\Users", L"holds your user folder"},
        RefusedLocation{"ClimbsToProfile", L"C:\\Users\\Bob\\AppData\\Local\\..\\..",
                        L"is your user folder"},
        RefusedLocation{"Desktop", L"C:\\Users\\Bob\\Desktop", L"is your Desktop"},
        RefusedLocation{"Documents", L"C:\\Users\\Bob\\Documents", L"is your Documents folder"},
        RefusedLocation{"Windows", L"C:\\WINDOWS", L"is the Windows folder"},
        RefusedLocation{"System", L"C:\\Windows\\System32", L"is the Windows system folder"},
        RefusedLocation{"ProgramFiles", L"C:\\Program Files", L"is the Program Files folder"},
        RefusedLocation{"JunctionToProfile", L"C:\\Sneaky", L"is your user folder"},
        RefusedLocation{"ShortNameHoldingProfile", L"C:\\Short~1", L"holds your user folder"}),
    [](const auto& info) { return std::string(info.param.name); });

// A folder inside a protected one, or one whose name merely starts like a
// protected folder's, is accepted, in its canonical form.
TEST_F(CacheCleanerTest, CheckFolderAcceptsFoldersInsideProtectedOnesInTheirCanonicalForm) {
  using cleaners::CheckFolder;
  using cleaners::Refusal;
  const auto cache = CheckFolder(
      L"\\\\?\\C:\\Users\\Bob\\AppData\\Local\\.\\Temp\\..\\Temporary Internet Files\\", files);
  EXPECT_EQ(cache.refusal, Refusal::kNone);
  EXPECT_EQ(cache.path, kCache);
  const auto share = CheckFolder(L"\\\\?\\UNC\\srv\\profiles\\bob\\Cookies", files);
  EXPECT_EQ(share.refusal, Refusal::kNone);
  EXPECT_EQ(share.path, L"\\\\srv\\profiles\\bob\\Cookies");
  for (const wchar_t* path :
       {L"C:\\Windows\\Temp", L"C:\\Users\\Bobby", L"C:\\Program Files Cache"}) {
    EXPECT_EQ(CheckFolder(path, files).refusal, Refusal::kNone)
        << testing::PrintToString(std::wstring(path));
  }
}

}  // namespace
}  // namespace quellnet
