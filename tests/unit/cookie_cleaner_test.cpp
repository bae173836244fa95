#include "cleaners/cookie_cleaner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaner_test_setup.h"

namespace quellnet {
namespace {

using namespace testing_world;
using fakes::FakeRegistry;
using platform::FsStatus;
using platform::MessageIcon;
using platform::RegStatus;

const std::wstring kIncomplete = L"The cookies were not cleared completely.\n\n";

class CookieCleanerTest : public CleanerTest<cleaners::CookieCleaner> {
 protected:
  CookieCleanerTest() {
    registry.Put(kShellFolders, L"Cookies", kCookies);
    registry.Put(kTypedUrls, L"url1", L"http://one.example/");
    files.AddFile(kCookies + L"\\bob@example[1].txt");
    files.AddFile(kCookies + L"\\bob@shop[2].txt", /*read_only=*/true);
    files.AddFile(kCookies + L"\\index.dat");
    files.AddLink(kCookies + L"\\shortcut.txt", L"C:\\Data\\photos\\cat.jpg", /*to_folder=*/false);
    files.AddFile(kCookies + L"\\Low\\bob@low[1].txt");
    files.AddLink(kCookies + L"\\Album", L"C:\\Data\\photos");
  }
};

TEST_F(CookieCleanerTest, DeletesTheFilesDirectlyInTheFolderAndLeavesItsSubfoldersAndTheRegistry) {
  bool waiting_while_deleting = true;
  files.on_delete = [&] { waiting_while_deleting = waiting_while_deleting && window.wait_cursor; };
  std::vector<std::wstring> at_message;
  window.on_message = [&] { at_message = files.Under(kCookies); };

  cleaner.Run();

  const std::vector<std::wstring> kept = {kCookies, kCookies + L"\\Album", kCookies + L"\\Low",
                                          kCookies + L"\\Low\\bob@low[1].txt"};
  EXPECT_EQ(files.Under(kCookies), kept);
  EXPECT_EQ(at_message, kept);
  EXPECT_TRUE(AllPreciousFilesRemain(files));
  for (const auto op : registry.calls) {
    EXPECT_EQ(op, FakeRegistry::Op::kRead);
  }
  EXPECT_TRUE(registry.KeyExists(kTypedUrls));
  EXPECT_TRUE(waiting_while_deleting);
  EXPECT_FALSE(window.wait_cursor);
  EXPECT_EQ(OnlyMessage().text, L"All Cookies Cleared !");
  EXPECT_EQ(OnlyMessage().caption, L"Quellnet");
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::kNone);
}

TEST_F(CookieCleanerTest, AFileHeldOpenStaysAndIsReported) {
  files.FailDelete(kCookies + L"\\index.dat", FsStatus::kInUse);
  files.FailDelete(kCookies + L"\\bob@shop[2].txt", FsStatus::kAccessDenied);

  cleaner.Run();

  EXPECT_TRUE(files.Exists(kCookies + L"\\index.dat"));
  EXPECT_TRUE(files.Exists(kCookies + L"\\bob@shop[2].txt"));
  EXPECT_FALSE(files.Exists(kCookies + L"\\bob@example[1].txt"));
  EXPECT_EQ(OnlyMessage().text,
            kIncomplete +
                L"1 item is in use and was left. Close the browser and try again.\n"
                L"1 item was left because you have no permission to delete it.");
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::kWarning);
}

struct Trouble {
  const char* name;
  const wchar_t* location;  // the "Cookies" value; nullptr: none
  FsStatus open;            // what opening the folder gives
  FsStatus listing;         // what listing its files gives
  std::wstring message;
};

class CookieTrouble : public CookieCleanerTest, public ::testing::WithParamInterface<Trouble> {};

TEST_P(CookieTrouble, NothingOnDiskChangesAndTheMessageSaysWhy) {
  const Trouble& trouble = GetParam();
  if (trouble.location == nullptr) {
    registry.DeleteValue(kShellFolders, L"Cookies");
  } else {
    registry.Put(kShellFolders, L"Cookies", trouble.location);
  }
  if (trouble.open != FsStatus::kOk) {
    files.FailOpen(kCookies, trouble.open);
  }
  if (trouble.listing != FsStatus::kOk) {
    files.FailListing(kCookies, trouble.listing);
  }
  const auto before = files.Under(L"C:\\");

  cleaner.Run();

  EXPECT_EQ(files.Under(L"C:\\"), before);
  EXPECT_EQ(OnlyMessage().text, kIncomplete + trouble.message);
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::kWarning);
}

const FsStatus kOk = FsStatus::kOk;

INSTANTIATE_TEST_SUITE_P(
    Cases, CookieTrouble,
    ::testing::Values(
        Trouble{"Missing", nullptr, kOk, kOk,
                L"The cookie folder could not be found: its location is not recorded for this "
                L"user.\nNothing was deleted."},
        Trouble{"FolderMissing", L"C:\\Gone", kOk, kOk,
                L"The cookie folder \"C:\\Gone\" could not be found."},
        Trouble{"NotOpenable", kCookies.c_str(), FsStatus::kAccessDenied, kOk,
                L"The cookie folder \"" + kCookies +
                    L"\" could not be opened: you have no permission to open it."},
        Trouble{"NotListable", kCookies.c_str(), kOk, FsStatus::kFailed,
                L"The files in \"" + kCookies + L"\" were left: that folder could not be read."},
        Trouble{"DriveRoot", L"C:\\", kOk, kOk,
                L"The cookie folder was left alone: its recorded location, \"C:\\\", is a whole "
                L"drive."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellnet
