// The world both cleaners' tests start from: a user "Bob" with his own files
// in the protected folders, and the browser's folders named in the registry.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_controls.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"

namespace quellnet::testing_world {

inline const std::wstring kShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline const std::wstring kTypedUrls = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
inline const std::wstring kProfile = L"C:\\Users\\Bob";
inline const std::wstring kCache = kProfile + L"\\AppData\\Local\\Temporary Internet Files";
inline const std::wstring kCookies = kProfile + L"\\AppData\\Roaming\\Cookies";

// Files of the user and the system that no cleaner may ever touch.
inline const std::vector<std::wstring> kPrecious = {
    kProfile + L"\\ntuser.dat",
    kProfile + L"\\Desktop\\note.txt",
    kProfile + L"\\Documents\\thesis.doc",
    L"C:\\Windows\\win.ini",
    L"C:\\Windows\\System32\\kernel32.dll",
    L"C:\\Program Files\\App\\app.exe",
    L"C:\\Data\\photos\\cat.jpg",
};

inline void Populate(fakes::FakeFileSystem& files) {
  using platform::ProtectedKind;
  files.protected_folders = {
      {ProtectedKind::kProfile, kProfile},
      {ProtectedKind::kDesktop, kProfile + L"\\Desktop"},
      {ProtectedKind::kDocuments, kProfile + L"\\Documents"},
      {ProtectedKind::kWindows, L"C:\\Windows"},
      {ProtectedKind::kSystem, L"C:\\Windows\\System32"},
      {ProtectedKind::kProgramFiles, L"C:\\Program Files"},
  };
  for (const auto& path : kPrecious) {
    files.AddFile(path);
  }
}

inline bool AllPreciousFilesRemain(const fakes::FakeFileSystem& files) {
  for (const auto& path : kPrecious) {
    if (!files.Exists(path)) {
      return false;
    }
  }
  return true;
}

// The fakes a cleaner works on, with the world above in place.
template <typename Cleaner>
class CleanerTest : public ::testing::Test {
 protected:
  CleanerTest() { Populate(files); }

  const fakes::ShownMessage& OnlyMessage() {
    EXPECT_EQ(window.messages.size(), 1u);
    return window.messages.back();
  }

  fakes::FakeMainWindow window;
  fakes::FakeRegistry registry;
  fakes::FakeFileSystem files;
  Cleaner cleaner{window, registry, files};
};

}  // namespace quellnet::testing_world
