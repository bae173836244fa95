// An in-memory registry hive. Key paths and value names compare without
// regard to case, as Windows compares them. Keys exist only when created
// (SetText never creates one), values may be marked as not text, and any
// operation on a key can be made to fail with a chosen status.
#pragma once

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace quellnet::fakes {

class FakeRegistry final : public platform::Registry {
 public:
  enum class Op { kRead, kCreateKey, kSet, kDeleteValue, kDeleteKeyTree };

  struct Value {
    std::wstring text;
    bool is_text = true;  // false: a value of another type (REG_DWORD, ...)
  };

  // Creates the key and its parents.
  platform::RegStatus CreateKey(std::wstring_view key_path) override {
    calls.push_back(Op::kCreateKey);
    if (const auto failure = Failure(Op::kCreateKey, key_path)) {
      return *failure;
    }
    AddKey(key_path);
    return platform::RegStatus::kOk;
  }
  // The same without a trace in `calls`, for setting up a test.
  void AddKey(std::wstring_view key_path) {
    std::wstring path = Fold(key_path);
    for (;;) {
      keys.try_emplace(path);
      const auto separator = path.rfind(L'\\');
      if (separator == std::wstring::npos) {
        break;
      }
      path.resize(separator);
    }
  }
  bool KeyExists(std::wstring_view key_path) const { return keys.count(Fold(key_path)) != 0; }

  // Puts a value in place, creating its key.
  void Put(std::wstring_view key_path, std::wstring_view value_name, std::wstring_view text,
           bool is_text = true) {
    AddKey(key_path);
    keys[Fold(key_path)][Fold(value_name)] = Value{std::wstring(text), is_text};
  }

  // The value's data, or nullptr when there is none.
  const Value* Find(std::wstring_view key_path, std::wstring_view value_name) const {
    const auto key = keys.find(Fold(key_path));
    if (key == keys.end()) {
      return nullptr;
    }
    const auto value = key->second.find(Fold(value_name));
    return value == key->second.end() ? nullptr : &value->second;
  }
  std::size_t ValueCount(std::wstring_view key_path) const {
    const auto key = keys.find(Fold(key_path));
    return key == keys.end() ? 0 : key->second.size();
  }

  // Every operation of kind `op` on `key_path` returns `status` and changes
  // nothing.
  void FailOn(Op op, std::wstring_view key_path, platform::RegStatus status) {
    failures[{op, Fold(key_path)}] = status;
  }

  platform::RegStatus ReadText(std::wstring_view key_path, std::wstring_view value_name,
                               std::wstring& text) override {
    calls.push_back(Op::kRead);
    if (const auto failure = Failure(Op::kRead, key_path)) {
      return *failure;
    }
    const Value* value = Find(key_path, value_name);
    if (value == nullptr) {
      return platform::RegStatus::kNotFound;
    }
    if (!value->is_text) {
      return platform::RegStatus::kNotText;
    }
    text = value->text;
    return platform::RegStatus::kOk;
  }

  platform::RegStatus SetText(std::wstring_view key_path, std::wstring_view value_name,
                              std::wstring_view text) override {
    calls.push_back(Op::kSet);
    if (const auto failure = Failure(Op::kSet, key_path)) {
      return *failure;
    }
    const auto key = keys.find(Fold(key_path));
    if (key == keys.end()) {
      return platform::RegStatus::kNotFound;
    }
    key->second[Fold(value_name)] = Value{std::wstring(text), true};
    return platform::RegStatus::kOk;
  }

  platform::RegStatus DeleteValue(std::wstring_view key_path,
                                  std::wstring_view value_name) override {
    calls.push_back(Op::kDeleteValue);
    if (const auto failure = Failure(Op::kDeleteValue, key_path)) {
      return *failure;
    }
    const auto key = keys.find(Fold(key_path));
    if (key == keys.end() || key->second.erase(Fold(value_name)) == 0) {
      return platform::RegStatus::kNotFound;
    }
    return platform::RegStatus::kOk;
  }

  platform::RegStatus DeleteKeyTree(std::wstring_view key_path) override {
    calls.push_back(Op::kDeleteKeyTree);
    if (const auto failure = Failure(Op::kDeleteKeyTree, key_path)) {
      return *failure;
    }
    const std::wstring path = Fold(key_path);
    if (keys.erase(path) == 0) {
      return platform::RegStatus::kNotFound;
    }
    const std::wstring below = path + L"\\";
    for (auto it = keys.begin(); it != keys.end();) {
      it = it->first.compare(0, below.size(), below) == 0 ? keys.erase(it) : std::next(it);
    }
    return platform::RegStatus::kOk;
  }

  // The kind of every call, in call order.
  std::vector<Op> calls;
  // Key paths and value names folded to lower case, as Windows compares them.
  std::map<std::wstring, std::map<std::wstring, Value>> keys;
  std::map<std::pair<Op, std::wstring>, platform::RegStatus> failures;

 private:
  static std::wstring Fold(std::wstring_view text) {
    std::wstring folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return folded;
  }

  std::optional<platform::RegStatus> Failure(Op op, std::wstring_view key_path) const {
    const auto found = failures.find({op, Fold(key_path)});
    if (found == failures.end()) {
      return std::nullopt;
    }
    return found->second;
  }
};

}  // namespace quellnet::fakes
