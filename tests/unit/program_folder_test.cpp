#include <gtest/gtest.h>

#include "platform/program_folder.h"

namespace {

using quellnet::platform::FolderOfPath;

TEST(FolderOfPath, DropsTheFileNameAndItsSeparator) {
  EXPECT_EQ(FolderOfPath(L"C:\\Program Files\\Quellnet\\quellnet.exe"),
            L"C:\\Program Files\\Quellnet");
  EXPECT_EQ(FolderOfPath(L"\\\\server\\share\\tools\\quellnet.exe"), L"\\\\server\\share\\tools");
  EXPECT_EQ(FolderOfPath(L"C:/Quellnet/quellnet.exe"), L"C:/Quellnet");
}

TEST(FolderOfPath, KeepsTheSeparatorOfADriveRoot) {
  // "C:" alone would name the drive's current folder, not its root.
  EXPECT_EQ(FolderOfPath(L"C:\\quellnet.exe"), L"C:\\");
  EXPECT_EQ(FolderOfPath(L"\\\\?\\D:\\quellnet.exe"), L"\\\\?\\D:\\");
  EXPECT_EQ(FolderOfPath(L"\\quellnet.exe"), L"\\");
}

TEST(FolderOfPath, LongPathsAndPathsWithoutAFolder) {
  std::wstring deep = L"\\\\?\\C:";
  for (int i = 0; i < 40; ++i) {
    deep += L"\\folder-with-a-long-name";
  }
  EXPECT_EQ(FolderOfPath(deep + L"\\quellnet.exe"), deep);
  EXPECT_EQ(FolderOfPath(L"quellnet.exe"), L"");
  EXPECT_EQ(FolderOfPath(L""), L"");
}

}  // namespace
