// An in-memory registry hive. Key paths and value names compare without
// regard to case, as Windows compares them. Keys exist only when created
// (SetText never creates one), values may be marked as not text, and any
// operation on a key can be made to fail with a chosen status.
#pragma once

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <utility>

#include "platform/registry.h"

namespace quellnet::fakes {

struct FakeRegistry final : platform::Registry {
  using RegStatus = platform::RegStatus;
  enum class Op { kRead, kCreateKey, kSet, kDeleteValue, kDeleteKeyTree };
  struct Value {
    std::wstring text;
    bool is_text = true;  // false: a value of another type (REG_DWORD, ...)
  };

  // Creates the key alone: no test needs the keys above it.
  void AddKey(std::wstring_view key_path) { keys.try_emplace(Fold(key_path)); }
  bool KeyExists(std::wstring_view key_path) const { return keys.count(Fold(key_path)) != 0; }
  void Put(std::wstring_view key_path, std::wstring_view name, std::wstring_view text,
           bool is_text = true) {
    keys[Fold(key_path)][Fold(name)] = Value{std::wstring(text), is_text};
  }
  // The value's data, or nullptr when there is none.
  const Value* Find(std::wstring_view key_path, std::wstring_view name) const {
    const auto key = keys.find(Fold(key_path));
    const auto value = key == keys.end() ? nullptr : &key->second;
    return value == nullptr || value->count(Fold(name)) == 0 ? nullptr : &value->at(Fold(name));
  }
  // Every operation of kind `op` on `key_path` returns `status` and changes nothing.
  void FailOn(Op op, std::wstring_view key_path, RegStatus status) {
    failures[{op, Fold(key_path)}] = status;
  }

  RegStatus CreateKey(std::wstring_view key_path) override {
    return Do(Op::kCreateKey, key_path, [&] { return AddKey(key_path), RegStatus::kOk; });
  }
  RegStatus ReadText(std::wstring_view key_path, std::wstring_view name,
                     std::wstring& text) override {
    return Do(Op::kRead, key_path, [&] {
      const Value* value = Find(key_path, name);
      if (value != nullptr && value->is_text) {
        text = value->text;
      }
      return value == nullptr  ? RegStatus::kNotFound
             : !value->is_text ? RegStatus::kNotText
                               : RegStatus::kOk;
    });
  }
  RegStatus SetText(std::wstring_view key_path, std::wstring_view name,
                    std::wstring_view text) override {
    return Do(Op::kSet, key_path, [&] {
      if (!KeyExists(key_path)) {
        return RegStatus::kNotFound;
      }
      Put(key_path, name, text);
      return RegStatus::kOk;
    });
  }
  RegStatus DeleteValue(std::wstring_view key_path, std::wstring_view name) override {
    return Do(Op::kDeleteValue, key_path, [&] {
      const auto key = keys.find(Fold(key_path));
      return key != keys.end() && key->second.erase(Fold(name)) != 0 ? RegStatus::kOk
                                                                     : RegStatus::kNotFound;
    });
  }
  RegStatus DeleteKeyTree(std::wstring_view key_path) override {
    return Do(Op::kDeleteKeyTree, key_path, [&] {
      const std::wstring path = Fold(key_path);
      const std::size_t erased = std::erase_if(keys, [&](const auto& key) {
        return key.first == path || key.first.starts_with(path + L"\\");
      });
      return erased != 0 ? RegStatus::kOk : RegStatus::kNotFound;
    });
  }

  // Key paths and value names folded to lower case.
  std::map<std::wstring, std::map<std::wstring, Value>> keys;
  std::map<std::pair<Op, std::wstring>, RegStatus> failures;

 private:
  static std::wstring Fold(std::wstring_view text) {
    std::wstring folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return folded;
  }
  template <typename Work>
  RegStatus Do(Op op, std::wstring_view key_path, Work work) {
    const auto failure = failures.find({op, Fold(key_path)});
    return failure != failures.end() ? failure->second : work();
  }
};

}  // namespace quellnet::fakes
