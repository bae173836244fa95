// An in-memory registry hive. Key paths and value names are compared exactly
// as written. Keys exist only when created (SetText never creates one),
// values may be marked as not text or as numbers, keys as registry links
// (which only the calls on the program's own keys tell apart), and every
// operation on a key can be made to fail with a chosen status and the
// system's code for it.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "platform/registry.h"

namespace quellnet::fakes {

struct FakeRegistry final : platform::Registry {
  using RegStatus = platform::RegStatus;
  using RegResult = platform::RegResult;
  struct Value {
    std::wstring text;
    bool is_text = true;     // false: a value of another type (REG_DWORD, ...)
    bool is_number = false;  // a REG_DWORD or REG_QWORD, its digits in `text`
  };

  void AddKey(std::wstring_view key_path) { keys.try_emplace(std::wstring(key_path)); }
  bool KeyExists(std::wstring_view key_path) const { return keys.count(key_path) != 0; }
  void Put(std::wstring_view key_path, std::wstring_view name, std::wstring_view text,
           bool is_text = true) {
    keys[std::wstring(key_path)][std::wstring(name)] = Value{std::wstring(text), is_text};
  }
  void PutNumber(std::wstring_view key_path, std::wstring_view name, unsigned long long number) {
    keys[std::wstring(key_path)][std::wstring(name)] = Value{std::to_wstring(number), false, true};
  }
  // The value's data, or nullptr when there is none.
  const Value* Find(std::wstring_view key_path, std::wstring_view name) const {
    const auto key = keys.find(key_path);
    const auto value = key == keys.end() ? nullptr : &key->second;
    return value == nullptr || value->count(name) == 0 ? nullptr : &value->find(name)->second;
  }

  // The key and the keys above it.
  RegResult CreateKey(std::wstring_view key_path) override {
    return Do(key_path, [&] {
      for (auto end = key_path.find(L'\\'); end != key_path.npos;
           end = key_path.find(L'\\', end + 1)) {
        AddKey(key_path.substr(0, end));
      }
      return AddKey(key_path), RegStatus::kOk;
    });
  }
  RegResult ReadText(std::wstring_view key_path, std::wstring_view name,
                     std::wstring& text) override {
    return Do(key_path, [&] {
      const Value* value = Find(key_path, name);
      if (value != nullptr && value->is_text) {
        text = value->text;
      }
      return value == nullptr  ? RegStatus::kNotFound
             : !value->is_text ? RegStatus::kNotText
                               : RegStatus::kOk;
    });
  }
  RegResult SetText(std::wstring_view key_path, std::wstring_view name,
                    std::wstring_view text) override {
    return Do(key_path, [&] {
      if (!KeyExists(key_path)) {
        return RegStatus::kNotFound;
      }
      Put(key_path, name, text);
      return RegStatus::kOk;
    });
  }
  RegResult DeleteValue(std::wstring_view key_path, std::wstring_view name) override {
    if (before_delete) {
      before_delete();
    }
    return Do(key_path, [&] {
      const auto key = keys.find(key_path);
      return key != keys.end() && key->second.erase(std::wstring(name)) != 0 ? RegStatus::kOk
                                                                             : RegStatus::kNotFound;
    });
  }
  // The key with all below it.
  RegResult DeleteKeyTree(std::wstring_view key_path) override {
    return Do(key_path, [&] {
      const std::wstring below = std::wstring(key_path) + L'\\';
      std::erase_if(keys, [&](const auto& key) { return key.first.starts_with(below); });
      return keys.erase(std::wstring(key_path)) != 0 ? RegStatus::kOk : RegStatus::kNotFound;
    });
  }

  // A number reads as its digits, as text does.
  RegResult ReadOwnValue(std::wstring_view key_path, std::wstring_view name,
                         std::wstring& text) override {
    const Value* value = Find(key_path, name);
    if (ThroughLink(key_path) || value == nullptr || !value->is_number) {
      return ThroughLink(key_path) ? RegResult{RegStatus::kLink} : ReadText(key_path, name, text);
    }
    return Do(key_path, [&] { return text = value->text, RegStatus::kOk; });
  }
  RegResult SetOwnText(std::wstring_view key_path, std::wstring_view name,
                       std::wstring_view text) override {
    const RegResult made =
        ThroughLink(key_path) ? RegResult{RegStatus::kLink} : CreateKey(key_path);
    return made.status != RegStatus::kOk ? made : SetText(key_path, name, text);
  }

  template <typename T>
  using ByName = std::map<std::wstring, T, std::less<>>;
  ByName<ByName<Value>> keys;
  // Every operation on one of these keys returns this and changes nothing.
  ByName<RegResult> failing;
  // Keys that are registry links, which no path of the program's own goes
  // through.
  std::set<std::wstring, std::less<>> links;
  // Runs as a value's deletion begins: another program may have been first.
  std::function<void()> before_delete;

 private:
  bool ThroughLink(std::wstring_view key_path) const {
    return std::any_of(links.begin(), links.end(), [&](const std::wstring& link) {
      return key_path == link || key_path.starts_with(link + L'\\');
    });
  }

  // As Windows answers what the fake itself finds.
  static RegResult Usual(RegStatus s) { return {s, s == RegStatus::kNotFound ? 2u : 0}; }
  // Windows takes no key name of more than 255 characters.
  static bool TooLong(std::wstring_view key_path) {
    std::size_t name = 0;
    return std::any_of(key_path.begin(), key_path.end(),
                       [&](wchar_t c) { return (name = c == L'\\' ? 0 : name + 1) > 255; });
  }
  template <typename Work>
  RegResult Do(std::wstring_view key_path, Work work) {
    const auto failure = failing.find(key_path);
    return failure != failing.end() ? failure->second
           : TooLong(key_path)      ? RegResult{RegStatus::kFailed, 87}
                                    : Usual(work());
  }
};

}  // namespace quellnet::fakes
