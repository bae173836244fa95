// The current user's registry hive, for the few keys the program touches
// directly: the run-at-logon entry and the browser's keys the cleaners use.
// Paths are below HKEY_CURRENT_USER, without a leading backslash.
#pragma once

#include <string>
#include <string_view>

namespace quellnet::platform {

enum class RegStatus {
  kOk,
  kNotFound,      // the key or value does not exist
  kAccessDenied,  // the user may not read or change it
  kNotText,       // the value exists but is not REG_SZ or REG_EXPAND_SZ
  kFailed,        // any other error
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Reads a text value; REG_EXPAND_SZ data comes back with its variables
  // expanded.
  virtual RegStatus ReadText(std::wstring_view key_path, std::wstring_view value_name,
                             std::wstring& text) = 0;
  // Creates the key and the keys above it where missing; kOk when it exists
  // afterwards.
  virtual RegStatus CreateKey(std::wstring_view key_path) = 0;
  // Sets a REG_SZ value in an existing key; the key is never created.
  virtual RegStatus SetText(std::wstring_view key_path, std::wstring_view value_name,
                            std::wstring_view text) = 0;
  // Deleting a value that is not there reports kNotFound.
  virtual RegStatus DeleteValue(std::wstring_view key_path, std::wstring_view value_name) = 0;
  // Deletes the key with all its values and subkeys.
  virtual RegStatus DeleteKeyTree(std::wstring_view key_path) = 0;
};

}  // namespace quellnet::platform
