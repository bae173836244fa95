#include <gtest/gtest.h>

#include <string>

#include "cleaner_test_setup.h"
#include "cleaners/folder_safety.h"

namespace quellnet {
namespace {

using cleaners::Refusal;
namespace paths = cleaners::paths;

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
