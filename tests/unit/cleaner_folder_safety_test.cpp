#include <gtest/gtest.h>

#include <string>

#include "cleaner_test_setup.h"
#include "cleaners/folder_safety.h"

namespace quellnet {
namespace {

using cleaners::Refusal;
namespace paths = cleaners::paths;

TEST(CleanerPaths, ExtendedPrefixesAndForwardSlashesBecomeThePlainForm) {
  EXPECT_EQ(paths::Plain(L"\\\\?\\C:\\Cache"), L"C:\\Cache");
  EXPECT_EQ(paths::Plain(L"\\\\?\\UNC\\srv\\share\\c"), L"\\\\srv\\share\\c");
  EXPECT_EQ(paths::Plain(L"\\\\?\\unc\\srv\\share"), L"\\\\srv\\share");
  EXPECT_EQ(paths::Plain(L"C:/Users/Bob"), L"C:\\Users\\Bob");
  EXPECT_EQ(paths::Plain(L"\\\\?\\UNCLE"), L"UNCLE");
}

TEST(CleanerPaths, TellFullPathsRootsAndRelativeOnes) {
  EXPECT_TRUE(paths::IsFullPath(L"C:\\a"));
  EXPECT_TRUE(paths::IsFullPath(L"\\\\srv\\share\\a"));
  for (const wchar_t* relative : {L"a", L"\\a", L"C:a", L"C:", L"\\\\.\\C:\\a", L"\\\\\\a", L""}) {
    EXPECT_FALSE(paths::IsFullPath(relative)) << relative;
  }
  for (const wchar_t* root : {L"C:", L"C:\\", L"z:\\\\"}) {
    EXPECT_TRUE(paths::IsDriveRoot(root)) << root;
  }
  EXPECT_FALSE(paths::IsDriveRoot(L"C:\\a"));
  for (const wchar_t* root : {L"\\\\srv", L"\\\\srv\\", L"\\\\srv\\share", L"\\\\srv\\share\\",
                              L"\\\\srv\\\\share\\\\"}) {
    EXPECT_TRUE(paths::IsShareRoot(root)) << root;
  }
  EXPECT_FALSE(paths::IsShareRoot(L"\\\\srv\\share\\a"));
  EXPECT_FALSE(paths::IsShareRoot(L"C:\\"));
}

TEST(CleanerPaths, CompareWithoutCaseOrTrailingSeparatorsAndOnlyAtComponentBoundaries) {
  EXPECT_TRUE(paths::SamePath(L"C:\\Users\\Bob\\", L"c:\\users\\bob"));
  EXPECT_FALSE(paths::SamePath(L"C:\\Users\\Bob", L"C:\\Users\\Bobby"));
  EXPECT_TRUE(paths::IsBelow(L"C:\\Users\\Bob", L"C:\\USERS\\"));
  EXPECT_TRUE(paths::IsBelow(L"C:\\Users", L"C:\\"));
  EXPECT_FALSE(paths::IsBelow(L"C:\\Users\\Bobby", L"C:\\Users\\Bob"));
  EXPECT_FALSE(paths::IsBelow(L"C:\\Users", L"C:\\Users"));
  EXPECT_EQ(paths::Parent(L"C:\\Users\\Bob\\"), L"C:\\Users");
  EXPECT_EQ(paths::Parent(L"C:\\Users"), L"C:\\");
  EXPECT_EQ(paths::Parent(L"C:\\"), L"");
  EXPECT_EQ(paths::Parent(L"\\\\srv\\share\\a"), L"\\\\srv\\share");
  EXPECT_EQ(paths::Parent(L"\\\\srv\\share"), L"");
}

class CleanerFolderSafety : public ::testing::Test {
 protected:
  CleanerFolderSafety() { testing_world::Populate(files); }
  fakes::FakeFileSystem files;
};

TEST_F(CleanerFolderSafety, AcceptsFoldersInsideProtectedOnesInTheirCanonicalForm) {
  const auto cache = cleaners::CheckFolder(
      L"\\\\?\\C:\\Users\\Bob\\AppData\\Local\\.\\Temp\\..\\Temporary Internet Files\\", files);
  EXPECT_EQ(cache.refusal, Refusal::kNone);
  EXPECT_EQ(cache.path, L"C:\\Users\\Bob\\AppData\\Local\\Temporary Internet Files");

  const auto windows_temp = cleaners::CheckFolder(L"C:\\Windows\\Temp", files);
  EXPECT_EQ(windows_temp.refusal, Refusal::kNone);

  const auto share = cleaners::CheckFolder(L"\\\\?\\UNC\\srv\\profiles\\bob\\Cookies", files);
  EXPECT_EQ(share.refusal, Refusal::kNone);
  EXPECT_EQ(share.path, L"\\\\srv\\profiles\\bob\\Cookies");

  // A name that merely starts like a protected folder's is not it.
  EXPECT_EQ(cleaners::CheckFolder(L"C:\\Users\\Bobby", files).refusal, Refusal::kNone);
  EXPECT_EQ(cleaners::CheckFolder(L"C:\\Program Files Cache", files).refusal, Refusal::kNone);
}

}  // namespace
}  // namespace quellnet
