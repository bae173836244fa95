// An in-memory settings store: values addressed by application, section and
// key, with a log of the writes and ways to make reads or writes fail.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/settings_store.h"

namespace quellnet::fakes {

class FakeSettingsStore final : public platform::SettingsStore {
 public:
  using Address = std::tuple<std::wstring, std::wstring, std::wstring>;  // app, section, key

  struct WriteCall {
    std::wstring application;
    std::wstring section;
    std::wstring key;
    std::wstring text;
  };

  std::optional<std::wstring> Read(std::wstring_view application, std::wstring_view section,
                                   std::wstring_view key, std::wstring_view default_text) override {
    const Address address{std::wstring(application), std::wstring(section), std::wstring(key)};
    if (unreadable.count(address) != 0) {
      return std::nullopt;
    }
    const auto found = values.find(address);
    if (found == values.end()) {
      return std::wstring(default_text);
    }
    return found->second;
  }

  bool Write(std::wstring_view application, std::wstring_view section, std::wstring_view key,
             std::wstring_view text) override {
    const Address address{std::wstring(application), std::wstring(section), std::wstring(key)};
    const bool stored = failing_writes.count(address) == 0;
    writes.push_back(
        {std::get<0>(address), std::get<1>(address), std::get<2>(address), std::wstring(text)});
    if (stored) {
      values[address] = std::wstring(text);
      unreadable.erase(address);
    }
    return stored;
  }

  // The stored text, or nullopt when there is none.
  std::optional<std::wstring> Stored(const std::wstring& application, const std::wstring& section,
                                     const std::wstring& key) const {
    const auto found = values.find({application, section, key});
    if (found == values.end()) {
      return std::nullopt;
    }
    return found->second;
  }

  std::map<Address, std::wstring> values;
  // Values that exist but can't be read as text (another registry type).
  std::set<Address> unreadable;
  // Writes to these addresses fail and store nothing.
  std::set<Address> failing_writes;
  std::vector<WriteCall> writes;
};

}  // namespace quellnet::fakes
