// The file operations the cleaners rely on, as Windows performs them: what
// an entry is, what a removal takes and what it leaves, and the reason it
// gives for what stays. Included once by each test program that defines
// MakeBackend() (contract_backend.h).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "contract/contract_backend.h"

namespace quellnet::contract {
namespace {

using platform::EntryType;
using platform::FsStatus;
using Kind = std::pair<bool, bool>;  // folder, link
constexpr Kind kFile{false, false};
constexpr Kind kFolder{true, false};
constexpr Kind kFolderLink{true, true};

Kind KindOf(EntryType type) {
  return {type.folder, type.link};
}
EntryType TypeFor(Kind kind) {
  return {kind.first, kind.second};
}

class FileSystemContract : public ::testing::Test {
 protected:
  std::wstring At(const std::wstring& name) const { return root_ + L'\\' + name; }
  bool Exists(const std::wstring& path) {
    EntryType type;
    return files_.TypeOf(path, type) == FsStatus::kOk;
  }

  std::unique_ptr<Backend> backend_ = MakeBackend();
  platform::FileSystem& files_ = backend_->Files();
  const std::wstring root_ = backend_->ScratchFolder();
};

TEST_F(FileSystemContract, ListAndTypeOfTellFoldersFilesAndLinksApart) {
  ASSERT_TRUE(backend_->MakeFolder(At(L"folder")) && backend_->MakeFile(At(L"folder\\in.txt")) &&
              backend_->MakeFile(At(L"file.txt")) &&
              backend_->MakeFile(At(L"read-only.txt"), true) &&
              backend_->MakeLink(At(L"link"), At(L"folder"), true));
  const std::vector<std::pair<std::wstring, Kind>> expected = {{L"file.txt", kFile},
                                                               {L"folder", kFolder},
                                                               {L"link", kFolderLink},
                                                               {L"read-only.txt", kFile}};

  std::vector<platform::Entry> entries;
  ASSERT_EQ(files_.List(root_, entries), FsStatus::kOk);
  std::vector<std::pair<std::wstring, Kind>> listed;
  for (const platform::Entry& entry : entries) {
    listed.emplace_back(entry.name, KindOf(entry.type));
  }
  std::sort(listed.begin(), listed.end());  // the system's order is its own
  EXPECT_EQ(listed, expected);
  for (const auto& [name, kind] : expected) {
    EntryType type;
    EXPECT_EQ(files_.TypeOf(At(name), type), FsStatus::kOk) << name;
    EXPECT_EQ(KindOf(type), kind) << name;
  }
}

TEST_F(FileSystemContract, WhatIsNotThereIsNotFound) {
  ASSERT_TRUE(backend_->MakeFile(At(L"file.txt")));
  EntryType type;
  std::vector<platform::Entry> entries;
  EXPECT_EQ(files_.TypeOf(At(L"none"), type), FsStatus::kNotFound);
  EXPECT_EQ(files_.TypeOf(At(L"none\\deeper"), type), FsStatus::kNotFound);
  EXPECT_EQ(files_.List(At(L"none"), entries), FsStatus::kNotFound);
  EXPECT_EQ(files_.Remove(At(L"none"), TypeFor(kFile)), FsStatus::kNotFound);
  EXPECT_EQ(files_.Remove(At(L"none\\deeper"), TypeFor(kFolder)), FsStatus::kNotFound);
  EXPECT_FALSE(files_.IdentityOf(At(L"none")));
  EXPECT_FALSE(files_.IdentityOf(At(L"file.txt")));  // no folder
}

// Read-only files and paths longer than MAX_PATH (260) go like any other; a
// folder that still holds something stays, as in use.
TEST_F(FileSystemContract, RemoveTakesFilesReadOnlyOnesAndEmptyFoldersAtAnyDepth) {
  std::wstring deep = root_;
  for (const wchar_t letter : {L'a', L'b', L'c'}) {
    deep += L'\\' + std::wstring(90, letter);
    ASSERT_TRUE(backend_->MakeFolder(deep));
  }
  ASSERT_TRUE(backend_->MakeFile(deep + L"\\read-only.txt", true) &&
              backend_->MakeFile(At(L"file.txt")) &&
              backend_->MakeFile(At(L"read-only.txt"), true) && backend_->MakeFolder(At(L"empty")));
  const std::wstring parent = deep.substr(0, deep.rfind(L'\\'));
  EXPECT_EQ(files_.Remove(parent, TypeFor(kFolder)), FsStatus::kInUse);
  for (const auto& [path, kind] : {std::pair{At(L"file.txt"), kFile},
                                   {At(L"read-only.txt"), kFile},
                                   {At(L"empty"), kFolder},
                                   {deep + L"\\read-only.txt", kFile},
                                   {deep, kFolder},
                                   {parent, kFolder}}) {
    EXPECT_EQ(files_.Remove(path, TypeFor(kind)), FsStatus::kOk) << path;
    EXPECT_FALSE(Exists(path)) << path;
  }
}

TEST_F(FileSystemContract, AFileHeldOpenStaysAsInUse) {
  ASSERT_TRUE(backend_->MakeFolder(At(L"folder")) && backend_->MakeFile(At(L"folder\\held.txt")) &&
              backend_->HoldOpen(At(L"folder\\held.txt")));
  EXPECT_EQ(files_.Remove(At(L"folder\\held.txt"), TypeFor(kFile)), FsStatus::kInUse);
  EXPECT_EQ(files_.Remove(At(L"folder"), TypeFor(kFolder)), FsStatus::kInUse);
  EXPECT_TRUE(Exists(At(L"folder\\held.txt")));
}

TEST_F(FileSystemContract, AFileTheUserMayNotDeleteStaysAsAccessDenied) {
  if (const char* reason = backend_->Lacks(Gap::kFileAccessRules)) {
    GTEST_SKIP() << reason;
  }
  ASSERT_TRUE(backend_->MakeFolder(At(L"folder")) && backend_->MakeFile(At(L"folder\\kept.txt")) &&
              backend_->DenyFileDeletion(At(L"folder\\kept.txt")));
  EXPECT_EQ(files_.Remove(At(L"folder\\kept.txt"), TypeFor(kFile)), FsStatus::kAccessDenied);
  EXPECT_TRUE(Exists(At(L"folder\\kept.txt")));
}

// Whatever a removal does to a link, what it leads to stays whole.
TEST_F(FileSystemContract, ALinkIsRemovedAsTheLinkItself) {
  ASSERT_TRUE(backend_->MakeFolder(At(L"folder")) && backend_->MakeFile(At(L"folder\\in.txt")) &&
              backend_->MakeFile(At(L"file.txt")) &&
              backend_->MakeLink(At(L"folder link"), At(L"folder"), true));
  const FsStatus removed = files_.Remove(At(L"folder link"), TypeFor(kFolderLink));
  EXPECT_TRUE(Exists(At(L"folder\\in.txt")));
  if (const char* reason = backend_->Lacks(Gap::kLinkRemoval)) {
    GTEST_SKIP() << reason;
  }
  EXPECT_EQ(removed, FsStatus::kOk);
  EXPECT_FALSE(Exists(At(L"folder link")));

  if (const char* reason = backend_->Lacks(Gap::kFileLinks)) {
    GTEST_SKIP() << reason;
  }
  ASSERT_TRUE(backend_->MakeLink(At(L"file link"), At(L"file.txt"), false));
  EntryType type;
  ASSERT_EQ(files_.TypeOf(At(L"file link"), type), FsStatus::kOk);
  EXPECT_EQ(KindOf(type), Kind(false, true));
  EXPECT_EQ(files_.Remove(At(L"file link"), type), FsStatus::kOk);
  EXPECT_FALSE(Exists(At(L"file link")));
  EXPECT_TRUE(Exists(At(L"file.txt")));
}

// A folder is one folder under any of its names, a link's among them.
TEST_F(FileSystemContract, EveryNameOfAFolderHasItsIdentityAndNoOtherFolderHasIt) {
  const std::wstring folder = At(L"A long folder name");
  ASSERT_TRUE(backend_->MakeFolder(folder) && backend_->MakeFolder(At(L"other")) &&
              backend_->MakeLink(At(L"link"), folder, true));
  const auto identity = files_.IdentityOf(folder);
  ASSERT_TRUE(identity);
  for (const std::wstring& name :
       {At(L"A LONG FOLDER NAME"), backend_->ShortName(folder), At(L"link")}) {
    EXPECT_EQ(files_.IdentityOf(name), identity) << name;
  }
  for (const std::wstring& other : {At(L"other"), root_}) {
    EXPECT_NE(files_.IdentityOf(other), identity) << other;
  }
}

}  // namespace
}  // namespace quellnet::contract
