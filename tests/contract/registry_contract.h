// The registry operations the program relies on, as Windows performs them:
// keys made with the keys above them, values read, set and deleted, a key
// deleted with all below it but never through a link, and the reason given
// for what can't be done. Included once by each test program that defines
// MakeBackend().
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "contract/contract_backend.h"

namespace quellnet::contract {
namespace {

using platform::RegResult;
using platform::RegStatus;
// Each status with the system's code that goes with it: none where the
// program itself refuses.
const RegResult kOk{}, kNotFound{RegStatus::kNotFound, 2}, kDenied{RegStatus::kAccessDenied, 5},
    kNotText{RegStatus::kNotText}, kLink{RegStatus::kLink};

class RegistryContract : public ::testing::Test {
 protected:
  std::wstring Key(const std::wstring& name) const { return root_ + L'\\' + name; }
  // Creates the key with the text value "v".
  bool Make(const std::wstring& key) {
    return registry_.CreateKey(key) == kOk && registry_.SetText(key, L"v", L"text") == kOk;
  }
  RegResult Read(const std::wstring& key, const std::wstring& name = L"v") {
    std::wstring text;
    return registry_.ReadText(key, name, text);
  }

  std::unique_ptr<Backend> backend_ = MakeBackend();
  platform::Registry& registry_ = backend_->Registry();
  const std::wstring root_ = backend_->ScratchKey();
};

TEST_F(RegistryContract, ValuesAreReadSetAndDeletedInKeysThatExist) {
  ASSERT_TRUE(Make(Key(L"a\\b")));
  std::wstring text;
  EXPECT_EQ(registry_.ReadText(Key(L"a\\b"), L"v", text), kOk);
  EXPECT_EQ(text, L"text");
  EXPECT_EQ(registry_.SetText(Key(L"a"), L"v", L"x"), kOk);  // made with "a\b"
  ASSERT_TRUE(backend_->PutNonText(Key(L"a"), L"number", Backend::Stored::kDword));
  EXPECT_EQ(Read(Key(L"a"), L"number"), kNotText);

  EXPECT_EQ(registry_.SetText(Key(L"none"), L"v", L"x"), kNotFound);
  EXPECT_EQ(Read(Key(L"none")), kNotFound);  // SetText made no key
  EXPECT_EQ(registry_.DeleteValue(Key(L"a\\b"), L"v"), kOk);
  EXPECT_EQ(Read(Key(L"a\\b")), kNotFound);
  EXPECT_EQ(registry_.DeleteValue(Key(L"a\\b"), L"v"), kNotFound);
  EXPECT_EQ(registry_.DeleteValue(Key(L"none"), L"v"), kNotFound);
}

// A link, below the key or the key itself, goes as the link: the key it
// leads to may be any program's. A key whose name merely starts alike stays.
TEST_F(RegistryContract, DeletingAKeyTreeTakesAllBelowItButNotWhatALinkLeadsTo) {
  ASSERT_TRUE(Make(Key(L"tree\\a\\b")) && Make(Key(L"tree2")) && Make(Key(L"target\\inner")) &&
              backend_->MakeKeyLink(Key(L"tree\\link"), Key(L"target")) &&
              backend_->MakeKeyLink(Key(L"link"), Key(L"target")));
  EXPECT_EQ(registry_.DeleteKeyTree(Key(L"tree")), kOk);
  EXPECT_EQ(registry_.DeleteKeyTree(Key(L"link")), kOk);
  EXPECT_EQ(Read(Key(L"tree\\a\\b")), kNotFound);
  EXPECT_EQ(Read(Key(L"link\\inner")), kNotFound);
  EXPECT_EQ(Read(Key(L"tree2")), kOk);
  EXPECT_EQ(Read(Key(L"target\\inner")), kOk);
  EXPECT_EQ(registry_.DeleteKeyTree(Key(L"tree")), kNotFound);
}

// The program's own keys: what a user or a tool stored as a number is read
// as its number, and their values are made with the keys that are missing.
// A link there, the key itself or one above it, is neither read nor written
// through, and what it leads to stays as it was.
TEST_F(RegistryContract, OwnKeysReadNumbersAndAreNeverReachedThroughALink) {
  using Stored = Backend::Stored;
  ASSERT_TRUE(Make(Key(L"own")) && backend_->PutNonText(Key(L"own"), L"dword", Stored::kDword) &&
              backend_->PutNonText(Key(L"own"), L"qword", Stored::kQword) &&
              backend_->PutNonText(Key(L"own"), L"multi", Stored::kMultiText));
  for (const auto& [name, expected] :
       {std::pair{L"v", L"text"}, {L"dword", L"1"}, {L"qword", L"1"}}) {
    std::wstring text;
    EXPECT_EQ(registry_.ReadOwnValue(Key(L"own"), name, text), kOk);
    EXPECT_EQ(text, expected);
  }
  std::wstring text;
  EXPECT_EQ(registry_.ReadOwnValue(Key(L"own"), L"multi", text), kNotText);
  EXPECT_EQ(registry_.ReadOwnValue(Key(L"none\\deeper"), L"v", text), kNotFound);
  EXPECT_EQ(registry_.SetOwnText(Key(L"made\\deeper"), L"v", L"1"), kOk);
  EXPECT_EQ(Read(Key(L"made\\deeper")), kOk);

  ASSERT_TRUE(Make(Key(L"target\\inner")) && backend_->MakeKeyLink(Key(L"link"), Key(L"target")));
  for (const std::wstring below : {L"", L"\\inner", L"\\new"}) {
    EXPECT_EQ(registry_.ReadOwnValue(Key(L"link" + below), L"v", text), kLink) << below;
    EXPECT_EQ(registry_.SetOwnText(Key(L"link" + below), L"w", L"1"), kLink) << below;
    EXPECT_EQ(Read(Key(L"target" + below), L"w"), kNotFound) << below;
  }
}

// What can't be done comes with the system's code for why: a key the user
// may not change, or a name longer than the registry takes (255 characters;
// Wine takes 256).
TEST_F(RegistryContract, WhatCantBeDoneComesWithTheSystemsCode) {
  ASSERT_TRUE(Make(Key(L"tree\\locked")) && backend_->DenyKeyChanges(Key(L"tree\\locked")));
  EXPECT_EQ(registry_.SetText(Key(L"tree\\locked"), L"v", L"x"), kDenied);
  const std::wstring too_long = Key(std::wstring(300, L'x'));
  for (const RegResult made :
       {registry_.CreateKey(too_long), registry_.SetOwnText(too_long, L"v", L"1")}) {
    EXPECT_EQ(made.status, RegStatus::kFailed);
    EXPECT_NE(made.error, 0u);
  }
}

}  // namespace
}  // namespace quellnet::contract
