// What the cleaners accept; what they refuse is in the cleaners' own tests.
#include <gtest/gtest.h>

#include <string>

#include "cleaner_test_setup.h"
#include "cleaners/folder_safety.h"

namespace quellnet {
namespace {

using cleaners::Refusal;

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
