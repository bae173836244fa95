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

class CookieCleanerTest : public ::testing::Test {
 protected:
  CookieCleanerTest() {
    Populate(files);
    registry.Put(kShellFolders, L"Cookies", kCookies);
    registry.Put(kTypedUrls, L"url1", L"http://one.example/");
    files.AddFile(kCookies + L"\\bob@example[1].txt");
    files.AddFile(kCookies + L"\\bob@shop[2].txt", /*read_only=*/true);
    files.AddFile(kCookies + L"\\index.dat");
    files.AddLink(kCookies + L"\\shortcut.txt", L"C:\\Data\\photos\\cat.jpg", /*to_folder=*/false);
    files.AddFile(kCookies + L"\\Low\\bob@low[1].txt");
    files.AddLink(kCookies + L"\\Album", L"C:\\Data\\photos");
  }

  const fakes::ShownMessage& OnlyMessage() {
    EXPECT_EQ(window.messages.size(), 1u);
    return window.messages.back();
  }

  fakes::FakeMainWindow window;
  FakeRegistry registry;
  fakes::FakeFileSystem files;
  cleaners::CookieCleaner cleaner{window, registry, files};
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
  for (const auto& call : registry.calls) {
    EXPECT_EQ(call.op, FakeRegistry::Op::kRead);
  }
  EXPECT_TRUE(registry.KeyExists(kTypedUrls));
  EXPECT_TRUE(waiting_while_deleting);
  EXPECT_FALSE(window.wait_cursor);
  EXPECT_EQ(OnlyMessage().text, L"All Cookies Cleared !");
  EXPECT_EQ(OnlyMessage().caption, L"Quellnet");
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::kNone);
}

TEST_F(CookieCleanerTest, AnEmptyFolderIsSuccess) {
  registry.Put(kShellFolders, L"Cookies", L"C:\\Empty\\Cookies");
  files.AddFolder(L"C:\\Empty\\Cookies");
  cleaner.Run();
  EXPECT_EQ(OnlyMessage().text, L"All Cookies Cleared !");
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
  std::function<void(FakeRegistry&, fakes::FakeFileSystem&)> arrange;
  std::wstring message;
};

class CookieTrouble : public CookieCleanerTest, public ::testing::WithParamInterface<Trouble> {};

TEST_P(CookieTrouble, NothingOnDiskChangesAndTheMessageSaysWhy) {
  GetParam().arrange(registry, files);
  const auto before = files.Under(L"C:\\");

  cleaner.Run();

  EXPECT_EQ(files.Under(L"C:\\"), before);
  EXPECT_EQ(OnlyMessage().text, kIncomplete + GetParam().message);
  EXPECT_EQ(OnlyMessage().icon, MessageIcon::kWarning);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CookieTrouble,
    ::testing::Values(
        Trouble{"Missing",
                [](FakeRegistry& registry, fakes::FakeFileSystem&) {
                  registry.DeleteValue(kShellFolders, L"Cookies");
                },
                L"The cookie folder could not be found: its location is not recorded for this "
                L"user.\nNothing was deleted."},
        Trouble{"Empty",
                [](FakeRegistry& registry, fakes::FakeFileSystem&) {
                  registry.Put(kShellFolders, L"Cookies", L"");
                },
                L"The cookie folder could not be found: its recorded location is empty.\n"
                L"Nothing was deleted."},
        Trouble{"NotText",
                [](FakeRegistry& registry, fakes::FakeFileSystem&) {
                  registry.Put(kShellFolders, L"Cookies", L"", /*is_text=*/false);
                },
                L"The cookie folder could not be found: its recorded location is not a folder "
                L"path.\nNothing was deleted."},
        Trouble{"FolderMissing",
                [](FakeRegistry& registry, fakes::FakeFileSystem&) {
                  registry.Put(kShellFolders, L"Cookies", L"C:\\Gone");
                },
                L"The cookie folder \"C:\\Gone\" could not be found."},
        Trouble{"NotOpenable",
                [](FakeRegistry&, fakes::FakeFileSystem& files) {
                  files.FailOpen(kCookies, FsStatus::kAccessDenied);
                },
                L"The cookie folder \"" + kCookies +
                    L"\" could not be opened: you have no permission to open it."},
        Trouble{"NotListable",
                [](FakeRegistry&, fakes::FakeFileSystem& files) {
                  files.FailListing(kCookies, FsStatus::kFailed);
                },
                L"The files in \"" + kCookies + L"\" were left: that folder could not be read."},
        Trouble{"Documents",
                [](FakeRegistry& registry, fakes::FakeFileSystem&) {
                  registry.Put(kShellFolders, L"Cookies", kProfile + L"\\Documents");
                },
                L"The cookie folder was left alone: its recorded location, \"" + kProfile +
                    L"\\Documents\", is your Documents folder."},
        Trouble{"DriveRoot",
                [](FakeRegistry& registry, fakes::FakeFileSystem&) {
                  registry.Put(kShellFolders, L"Cookies", L"C:\\");
                },
                L"The cookie folder was left alone: its recorded location, \"C:\\\", is a whole "
                L"drive."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quellnet
