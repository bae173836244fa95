// Per-user store of text values addressed by application, section and key.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellnet::platform {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text; `default_text` when there is no such value; nullopt when
  // a value exists but can't be read as text.
  virtual std::optional<std::wstring> Read(std::wstring_view application, std::wstring_view section,
                                           std::wstring_view key,
                                           std::wstring_view default_text) = 0;
  // Creates or replaces the value. False when it could not be stored.
  virtual bool Write(std::wstring_view application, std::wstring_view section,
                     std::wstring_view key, std::wstring_view text) = 0;
};

}  // namespace quellnet::platform
