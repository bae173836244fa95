// The file operations the cleaners rely on, as Windows performs them: what a
// listing and a handle show of an entry, what a removal through a handle
// takes, and the reason it gives for what stays. Included once by each test
// program that defines MakeBackend().
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "contract/contract_backend.h"

namespace quellnet::contract {
namespace {

using platform::FsStatus;
using platform::Shown;

class FileSystemContract : public ::testing::Test {
 protected:
  std::wstring At(const std::wstring& name) const { return root_ + L'\\' + name; }
  std::unique_ptr<platform::Folder> Open(const std::wstring& path) {
    std::unique_ptr<platform::Folder> folder;
    EXPECT_EQ(files_.OpenFolder(path, folder).status, FsStatus::kOk)
        << testing::PrintToString(path);
    return folder;
  }
  static std::map<std::wstring, platform::Entry> Listed(platform::Folder& folder) {
    std::vector<platform::Entry> entries;
    EXPECT_EQ(folder.List(entries).status, FsStatus::kOk);
    std::map<std::wstring, platform::Entry> listed;
    for (const platform::Entry& entry : entries) {
      listed[entry.name] = entry;
    }
    return listed;
  }
  // What the entry `name` of `folder` shows through its handle.
  static Shown ShownBy(platform::Folder& folder, const std::wstring& name,
                       platform::EntryType kind) {
    std::unique_ptr<platform::OpenEntry> entry;
    Shown shown;
    EXPECT_EQ(folder.Open(name, kind, entry).status, FsStatus::kOk) << testing::PrintToString(name);
    EXPECT_EQ(entry ? entry->Show(shown).status : FsStatus::kFailed, FsStatus::kOk);
    return shown;
  }
  static FsStatus RemoveThroughHandle(platform::Folder& folder, const std::wstring& name,
                                      platform::EntryType kind = {}) {
    std::unique_ptr<platform::OpenEntry> entry;
    const FsStatus opened = folder.Open(name, kind, entry).status;
    return opened == FsStatus::kOk ? entry->Remove().status : opened;
  }

  std::unique_ptr<Backend> backend_ = MakeBackend();
  platform::FileSystem& files_ = backend_->Files();
  const std::wstring root_ = backend_->ScratchFolder();
};

// A listing and a handle tell the same of each entry: its kind and its
// number. A link to a folder or a file, opened by its name, is the link
// itself, which a removal takes and nothing else, or (Wine) what it leads
// to. What another program puts in an entry's place after the listing
// shows as what it is.
TEST_F(FileSystemContract, AListingAndAHandleTellTheSameOfEachEntryTillItIsReplaced) {
  ASSERT_TRUE(backend_->MakeFolder(At(L"folder")) && backend_->MakeFile(At(L"folder\\in.txt")) &&
              backend_->MakeFile(At(L"file.txt")) &&
              backend_->MakeFile(At(L"read-only.txt"), true) &&
              backend_->MakeLink(At(L"link"), At(L"folder")) &&
              backend_->MakeLink(At(L"file link"), At(L"folder\\in.txt")));
  const auto root = Open(root_);
  const auto listed = Listed(*root);
  EXPECT_TRUE(listed.at(L"folder").type.folder && !listed.at(L"folder").type.link &&
              listed.at(L"link").type.folder && listed.at(L"link").type.link &&
              !listed.at(L"file.txt").type.folder && !listed.at(L"read-only.txt").type.link);
  for (const auto& [name, entry] : listed) {
    const Shown shown = ShownBy(*root, name, entry.type);
    if (shown.type.link || name != L"link") {
      EXPECT_TRUE(shown.type.folder == entry.type.folder && shown.type.link == entry.type.link &&
                  (entry.index == 0 || entry.index == shown.identity.index) &&
                  shown.identity.volume == root->Identity().volume)
          << testing::PrintToString(name);
    }
    if (shown.type.link) {
      EXPECT_EQ(RemoveThroughHandle(*root, name, entry.type), FsStatus::kOk)
          << testing::PrintToString(name);
    }
  }
  EXPECT_EQ(Listed(*Open(At(L"folder"))).count(L"in.txt"), 1u);
  ASSERT_TRUE(
      backend_->Rename(At(L"file.txt"), At(L"moved")) && backend_->MakeFolder(At(L"file.txt")) &&
      backend_->Rename(At(L"folder"), At(L"moved folder")) && backend_->MakeFolder(At(L"folder")));
  // A folder where the listing showed a file is refused at the open for a
  // file, or shows as a folder.
  std::unique_ptr<platform::OpenEntry> replaced;
  Shown shown;
  const FsStatus opened = root->Open(L"file.txt", listed.at(L"file.txt").type, replaced).status;
  const FsStatus looked = opened == FsStatus::kOk ? replaced->Show(shown).status : opened;
  EXPECT_TRUE(looked == FsStatus::kChanged || (looked == FsStatus::kOk && shown.type.folder));
  EXPECT_NE(ShownBy(*root, L"folder", listed.at(L"folder").type).identity.index,
            listed.at(L"folder").index);
  std::unique_ptr<platform::Folder> file;
  EXPECT_EQ(root->OpenFolder(L"moved", file).status, FsStatus::kChanged);
  if (const char* reason = backend_->LacksLinkRemoval()) {
    GTEST_SKIP() << reason;
  }
  EXPECT_EQ(Listed(*root).count(L"link") + Listed(*root).count(L"file link"), 0u);
}

// Read-only files and entries beyond MAX_PATH (260) go like any other, each
// opened through its folder; a file held open and a folder that still holds
// something stay, as in use; what has gone is not found. A name is never
// taken for a path.
TEST_F(FileSystemContract, ARemovalThroughItsHandleTakesOneEntryAndANameIsNeverAPath) {
  std::vector<std::unique_ptr<platform::Folder>> folders;
  folders.push_back(Open(root_));
  std::wstring deep = root_;
  for (const wchar_t letter : {L'a', L'b', L'c'}) {
    deep += L'\\' + std::wstring(90, letter);
    folders.emplace_back();
    ASSERT_TRUE(backend_->MakeFolder(deep));
    ASSERT_EQ(
        folders[folders.size() - 2]->OpenFolder(std::wstring(90, letter), folders.back()).status,
        FsStatus::kOk);
  }
  ASSERT_TRUE(backend_->MakeFile(deep + L"\\file.txt") &&
              backend_->MakeFile(deep + L"\\read-only.txt", true) &&
              backend_->MakeFile(At(L"held.txt")) && backend_->HoldOpen(At(L"held.txt")));
  platform::Folder& deepest = *folders.back();
  std::unique_ptr<platform::OpenEntry> by_path;
  EXPECT_NE(folders[2]->Open(std::wstring(90, L'c') + L"\\file.txt", {}, by_path).status,
            FsStatus::kOk);
  EXPECT_EQ(folders[2]->Remove().status, FsStatus::kInUse);
  EXPECT_EQ(RemoveThroughHandle(*folders[0], L"held.txt"), FsStatus::kInUse);
  for (const wchar_t* name : {L"file.txt", L"read-only.txt"}) {
    EXPECT_EQ(RemoveThroughHandle(deepest, name), FsStatus::kOk) << name;
    EXPECT_EQ(RemoveThroughHandle(deepest, name), FsStatus::kNotFound) << name;
  }
  EXPECT_EQ(deepest.Remove().status, FsStatus::kOk);
  folders.pop_back();  // closed: gone now
  EXPECT_TRUE(Listed(*folders.back()).empty());
  std::unique_ptr<platform::Folder> gone;
  EXPECT_EQ(files_.OpenFolder(deep, gone).status, FsStatus::kNotFound);
}

// One folder under any of its names, a link's among them, and its chain
// the folders that really hold it; no file, and nothing that is not there,
// is a folder.
TEST_F(FileSystemContract, AFolderHasOneIdentityUnderEveryNameAndItsRealParentsInItsChain) {
  const std::wstring folder = At(L"A long folder name");
  ASSERT_TRUE(backend_->MakeFolder(folder) && backend_->MakeFolder(folder + L"\\inner") &&
              backend_->MakeFolder(At(L"other")) && backend_->MakeFile(At(L"file.txt")) &&
              backend_->MakeLink(At(L"other\\link"), folder));
  const auto identity = Open(folder)->Identity();
  for (const std::wstring& name :
       {At(L"A LONG FOLDER NAME"), backend_->ShortName(folder), At(L"other\\link")}) {
    EXPECT_EQ(Open(name)->Identity(), identity) << testing::PrintToString(name);
  }
  // Every folder that really holds it, however deep, up to the drive's root.
  std::vector<std::optional<platform::FileIdentity>> holders;
  const std::wstring inner = folder + L"\\inner";
  for (std::size_t end = inner.size(); end != std::wstring::npos;
       end = inner.find_last_of(L'\\', end - 1)) {
    holders.push_back(Open(inner.substr(0, std::max<std::size_t>(end, 3)))->Identity());
  }
  // Parents another chain read already are taken as read.
  platform::Folder::ReadParents read;
  Open(At(L"other"))->Chain(read);
  EXPECT_EQ(Open(At(L"other\\link\\inner"))->Chain(read), holders);
  EXPECT_NE(Open(At(L"other"))->Identity(), identity);
  for (const wchar_t* none : {L"file.txt", L"none"}) {
    std::unique_ptr<platform::Folder> opened;
    EXPECT_EQ(files_.OpenFolder(At(none), opened).status, FsStatus::kNotFound) << none;
  }
}

}  // namespace
}  // namespace quellnet::contract
