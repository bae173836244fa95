#include "platform/path_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// The file name and its separator go; a drive root keeps its separator, as
// "C:" alone would name the drive's current folder, not its root.
TEST(FolderOfPath, DropsTheFileNameButKeepsTheSeparatorOfARoot) {
  for (const auto& [path, folder] :
       {std::pair<std::wstring, std::wstring>{L"C:\\Program Files\\Q\\quellnet.exe",
                                              L"C:\\Program Files\\Q"},
        {L"\\\\server\\share\\tools\\quellnet.exe", L"\\\\server\\share\\tools"},
        {L"C:/Quellnet/quellnet.exe", L"C:/Quellnet"},
        {L"C:\\quellnet.exe", L"C:\\"},
        {L"\\\\?\\D:\\quellnet.exe", L"\\\\?\\D:\\"},
        {L"\\quellnet.exe", L"\\"},
        {L"quellnet.exe", L""},
        {L"", L""}}) {
    EXPECT_EQ(quellnet::platform::paths::FolderOfPath(path), folder)
        << testing::PrintToString(path);
  }
}

}  // namespace
