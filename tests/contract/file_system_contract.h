// The file operations the cleaners rely on, as Windows performs them: what
// an entry is, what a removal takes, and the reason it gives for what stays.
// Included once by each test program that defines MakeBackend().
#pragma once

#include <gtest/gtest.h>

#include <map>
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
constexpr EntryType kFile{false, false};
constexpr EntryType kFolder{true, false};

class FileSystemContract : public ::testing::Test {
 protected:
  std::wstring At(const std::wstring& name) const { return root_ + L'\\' + name; }
  FsStatus TypeOf(const std::wstring& path, Kind* kind = nullptr) {
    EntryType type;
    const FsStatus status = files_.TypeOf(path, type);
    if (kind != nullptr) {
      *kind = {type.folder, type.link};
    }
    return status;
  }

  std::unique_ptr<Backend> backend_ = MakeBackend();
  platform::FileSystem& files_ = backend_->Files();
  const std::wstring root_ = backend_->ScratchFolder();
};

TEST_F(FileSystemContract, ListAndTypeOfTellFoldersFilesAndLinksApart) {
  ASSERT_TRUE(backend_->MakeFolder(At(L"folder")) && backend_->MakeFile(At(L"folder\\in.txt")) &&
              backend_->MakeFile(At(L"file.txt")) &&
              backend_->MakeFile(At(L"read-only.txt"), true) &&
              backend_->MakeFolderLink(At(L"link"), At(L"folder")));
  std::vector<platform::Entry> entries;
  ASSERT_EQ(files_.List(root_, entries), FsStatus::kOk);
  std::map<std::wstring, Kind> listed;
  std::map<std::wstring, Kind> typed;
  for (const platform::Entry& entry : entries) {
    listed[entry.name] = {entry.type.folder, entry.type.link};
    EXPECT_EQ(TypeOf(At(entry.name), &typed[entry.name]), FsStatus::kOk);
  }
  const std::map<std::wstring, Kind> expected = {{L"file.txt", {false, false}},
                                                 {L"folder", {true, false}},
                                                 {L"link", {true, true}},
                                                 {L"read-only.txt", {false, false}}};
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(typed, expected);
}

// Read-only files and paths beyond MAX_PATH (260) go like any other entry;
// a folder that still holds something stays, as in use; what has gone, or
// never was, is not found.
TEST_F(FileSystemContract, RemoveTakesOneEntryAndWhatIsGoneIsNotFound) {
  std::wstring deep = root_;
  for (const wchar_t letter : {L'a', L'b', L'c'}) {
    deep += L'\\' + std::wstring(90, letter);
    ASSERT_TRUE(backend_->MakeFolder(deep));
  }
  const std::wstring parent = deep.substr(0, deep.rfind(L'\\'));
  ASSERT_TRUE(backend_->MakeFile(deep + L"\\file.txt") &&
              backend_->MakeFile(deep + L"\\read-only.txt", true));
  EXPECT_EQ(files_.Remove(parent, kFolder), FsStatus::kInUse);
  for (const auto& [path, type] : {std::pair{deep + L"\\file.txt", kFile},
                                   {deep + L"\\read-only.txt", kFile},
                                   {deep, kFolder},
                                   {parent, kFolder}}) {
    EXPECT_EQ(files_.Remove(path, type), FsStatus::kOk) << path;
    EXPECT_EQ(files_.Remove(path, type), FsStatus::kNotFound) << path;
    EXPECT_EQ(TypeOf(path), FsStatus::kNotFound) << path;
  }
  std::vector<platform::Entry> entries;
  EXPECT_EQ(files_.List(parent, entries), FsStatus::kNotFound);
  EXPECT_EQ(TypeOf(parent + L"\\deeper"), FsStatus::kNotFound);
}

TEST_F(FileSystemContract, AFileHeldOpenStaysAsInUse) {
  ASSERT_TRUE(backend_->MakeFolder(At(L"held")) && backend_->MakeFile(At(L"held\\file.txt")) &&
              backend_->HoldOpen(At(L"held\\file.txt")));
  EXPECT_EQ(files_.Remove(At(L"held\\file.txt"), kFile), FsStatus::kInUse);
  EXPECT_EQ(files_.Remove(At(L"held"), kFolder), FsStatus::kInUse);
}

// Whatever a removal does to a link, what the link leads to stays whole.
TEST_F(FileSystemContract, ALinkIsRemovedAsItselfAndWhatItLeadsToStays) {
  ASSERT_TRUE(backend_->MakeFolder(At(L"folder")) && backend_->MakeFile(At(L"folder\\in.txt")) &&
              backend_->MakeFolderLink(At(L"link"), At(L"folder")));
  const FsStatus removed = files_.Remove(At(L"link"), {true, true});
  EXPECT_EQ(TypeOf(At(L"folder\\in.txt")), FsStatus::kOk);
  if (const char* reason = backend_->LacksLinkRemoval()) {
    GTEST_SKIP() << reason;
  }
  EXPECT_EQ(removed, FsStatus::kOk);
  EXPECT_EQ(TypeOf(At(L"link")), FsStatus::kNotFound);
}

// One folder under any of its names, a link's among them; no file, and
// nothing that is not there, has a folder's identity.
TEST_F(FileSystemContract, EveryNameOfAFolderHasItsIdentityAndNoOtherEntryHasIt) {
  const std::wstring folder = At(L"A long folder name");
  ASSERT_TRUE(backend_->MakeFolder(folder) && backend_->MakeFolder(At(L"other")) &&
              backend_->MakeFile(At(L"file.txt")) && backend_->MakeFolderLink(At(L"link"), folder));
  const auto identity = files_.IdentityOf(folder);
  ASSERT_TRUE(identity);
  for (const std::wstring& name :
       {At(L"A LONG FOLDER NAME"), backend_->ShortName(folder), At(L"link")}) {
    EXPECT_EQ(files_.IdentityOf(name), identity) << name;
  }
  EXPECT_NE(files_.IdentityOf(At(L"other")), identity);
  EXPECT_NE(files_.IdentityOf(root_), identity);
  EXPECT_FALSE(files_.IdentityOf(At(L"file.txt")));
  EXPECT_FALSE(files_.IdentityOf(At(L"none")));
}

}  // namespace
}  // namespace quellnet::contract
