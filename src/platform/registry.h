// The current user's registry hive, for the few keys the program touches
// directly: its own options, the run-at-logon entry and the browser's keys
// the cleaners use. Paths are below HKEY_CURRENT_USER, without a leading
// backslash.
#pragma once

#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace quellnet::platform {

enum class RegStatus {
  kOk,
  kNotFound,      // the key or value does not exist
  kAccessDenied,  // the user may not read or change it
  kNotText,       // the value exists but is not REG_SZ or REG_EXPAND_SZ (nor a number
                  // where one is read)
  kLink,          // one of the program's own keys is a registry link, not followed
  kFailed,        // any other error
};

// How one call went, and the system's own code for a failure: 0 where the
// program itself refused (kNotText, kLink) or the call went well.
struct RegResult {
  RegStatus status = RegStatus::kOk;
  SystemError error = 0;
  friend bool operator==(const RegResult&, const RegResult&) = default;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Reads a text value; REG_EXPAND_SZ data comes back with its variables
  // expanded.
  virtual RegResult ReadText(std::wstring_view key_path, std::wstring_view value_name,
                             std::wstring& text) = 0;
  // Creates the key and the keys above it where missing; kOk when it exists
  // afterwards.
  virtual RegResult CreateKey(std::wstring_view key_path) = 0;
  // Sets a REG_SZ value in an existing key; the key is never created.
  virtual RegResult SetText(std::wstring_view key_path, std::wstring_view value_name,
                            std::wstring_view text) = 0;
  // Deleting a value that is not there reports kNotFound.
  virtual RegResult DeleteValue(std::wstring_view key_path, std::wstring_view value_name) = 0;
  // Deletes the key with all its values and subkeys.
  virtual RegResult DeleteKeyTree(std::wstring_view key_path) = 0;

  // The program's own keys, such as "Software\Quellnet\Options": every key
  // of the path but the first is opened as itself, never through a registry
  // link, which any program could put there to lead the program's writes
  // into another key. Where one of them is a link, the call reads or writes
  // nothing and reports kLink.
  //
  // Reads a value as ReadText does, and a REG_DWORD or REG_QWORD as its
  // decimal number: what a user or a tool may have stored there.
  virtual RegResult ReadOwnValue(std::wstring_view key_path, std::wstring_view value_name,
                                 std::wstring& text) = 0;
  // Sets a REG_SZ value, making the keys where they are missing.
  virtual RegResult SetOwnText(std::wstring_view key_path, std::wstring_view value_name,
                               std::wstring_view text) = 0;
};

}  // namespace quellnet::platform
