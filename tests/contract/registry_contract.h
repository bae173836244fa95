// The registry operations the program relies on, as Windows performs them:
// keys made with the keys above them, values read, set and deleted, a key
// deleted with all below it but never through a link, and the reason given
// for what can't be done. Included once by each test program that defines
// MakeBackend() (contract_backend.h).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contract/contract_backend.h"

namespace quellnet::contract {
namespace {

using platform::RegStatus;

class RegistryContract : public ::testing::Test {
 protected:
  std::wstring Key(const std::wstring& name) const { return root_ + L'\\' + name; }
  // Creates the key with a value "v" of `text`.
  bool Make(const std::wstring& key, const std::wstring& text = L"x") {
    return registry_.CreateKey(key) == RegStatus::kOk &&
           registry_.SetText(key, L"v", text) == RegStatus::kOk;
  }
  RegStatus Read(const std::wstring& key, const std::wstring& name = L"v") {
    std::wstring text;
    return registry_.ReadText(key, name, text);
  }

  std::unique_ptr<Backend> backend_ = MakeBackend();
  platform::Registry& registry_ = backend_->Registry();
  const std::wstring root_ = backend_->ScratchKey();
};

TEST_F(RegistryContract, ValuesAreReadSetAndDeletedInKeysThatExist) {
  ASSERT_TRUE(Make(Key(L"a\\b"), L"text"));
  std::wstring text;
  EXPECT_EQ(registry_.ReadText(Key(L"a\\b"), L"v", text), RegStatus::kOk);
  EXPECT_EQ(text, L"text");
  EXPECT_EQ(registry_.SetText(Key(L"a"), L"v", L"x"), RegStatus::kOk);  // made above "b"
  ASSERT_TRUE(backend_->PutNumber(Key(L"a"), L"number"));
  EXPECT_EQ(Read(Key(L"a"), L"number"), RegStatus::kNotText);

  EXPECT_EQ(registry_.SetText(Key(L"none"), L"v", L"x"), RegStatus::kNotFound);
  EXPECT_EQ(Read(Key(L"none")), RegStatus::kNotFound);  // SetText made no key
  EXPECT_EQ(Read(Key(L"a\\b"), L"none"), RegStatus::kNotFound);
  EXPECT_EQ(registry_.DeleteValue(Key(L"a\\b"), L"v"), RegStatus::kOk);
  EXPECT_EQ(Read(Key(L"a\\b")), RegStatus::kNotFound);
  EXPECT_EQ(registry_.DeleteValue(Key(L"a\\b"), L"v"), RegStatus::kNotFound);
  EXPECT_EQ(registry_.DeleteValue(Key(L"none"), L"v"), RegStatus::kNotFound);
}

TEST_F(RegistryContract, DeletingAKeyTreeTakesAllBelowItAndNothingBeside) {
  ASSERT_TRUE(Make(Key(L"tree")) && Make(Key(L"tree\\a\\b")) && Make(Key(L"tree\\c")) &&
              Make(Key(L"tree2")));
  EXPECT_EQ(registry_.DeleteKeyTree(Key(L"tree")), RegStatus::kOk);
  for (const wchar_t* gone : {L"tree", L"tree\\a\\b", L"tree\\c"}) {
    EXPECT_EQ(Read(Key(gone)), RegStatus::kNotFound) << gone;
  }
  EXPECT_EQ(Read(Key(L"tree2")), RegStatus::kOk);
  EXPECT_EQ(registry_.DeleteKeyTree(Key(L"tree")), RegStatus::kNotFound);
}

// A link may lead to any program's key: deleting the link, or a tree that
// holds one, leaves that key whole.
TEST_F(RegistryContract, DeletingAKeyTreeDeletesALinkButNotWhatItLeadsTo) {
  ASSERT_TRUE(Make(Key(L"target\\inner"), L"keep") && Make(Key(L"tree")) &&
              backend_->MakeKeyLink(Key(L"tree\\link"), Key(L"target")) &&
              backend_->MakeKeyLink(Key(L"link"), Key(L"target")));
  EXPECT_EQ(registry_.DeleteKeyTree(Key(L"tree")), RegStatus::kOk);
  EXPECT_EQ(registry_.DeleteKeyTree(Key(L"link")), RegStatus::kOk);
  EXPECT_EQ(Read(Key(L"target\\inner")), RegStatus::kOk);
  EXPECT_EQ(Read(Key(L"link\\inner")), RegStatus::kNotFound);
  EXPECT_EQ(Read(Key(L"tree\\link\\inner")), RegStatus::kNotFound);
}

TEST_F(RegistryContract, AKeyTheUserMayNotChangeStaysAsAccessDenied) {
  ASSERT_TRUE(Make(Key(L"tree\\locked")) && backend_->DenyKeyChanges(Key(L"tree\\locked")));
  EXPECT_EQ(registry_.SetText(Key(L"tree\\locked"), L"v", L"changed"), RegStatus::kAccessDenied);
  if (const char* reason = backend_->Lacks(Gap::kKeyDeletionRules)) {
    GTEST_SKIP() << reason;
  }
  EXPECT_EQ(registry_.DeleteKeyTree(Key(L"tree")), RegStatus::kAccessDenied);
  EXPECT_EQ(registry_.DeleteKeyTree(Key(L"tree\\locked")), RegStatus::kAccessDenied);
}

}  // namespace
}  // namespace quellnet::contract
