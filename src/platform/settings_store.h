// Per-user store of text values addressed by application, section and key:
// one registry key per application and section,
// HKCU\Software\<application>\<section>, each value a text. These keys are
// the program's own: never read or written through a registry link.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace quellnet::platform {

// A value as read.
struct StoredText {
  // The stored text, a stored number as its decimal text; the default when
  // there is no such value, or its key can't be read or is a registry link
  // (writing there fails as well); nullopt when a value exists but can't be
  // read.
  std::optional<std::wstring> text;
  SystemError error = 0;  // the system's code for why it can't be read, where it gave one
};

class SettingsStore {
 public:
  explicit SettingsStore(Registry& registry) : registry_(registry) {}

  StoredText Read(std::wstring_view application, std::wstring_view section, std::wstring_view key,
                  std::wstring_view default_text);
  // Creates or replaces the value as text, and its key if need be; a failure
  // comes with the system's code for it.
  RegResult Write(std::wstring_view application, std::wstring_view section, std::wstring_view key,
                  std::wstring_view text);

 private:
  Registry& registry_;
};

}  // namespace quellnet::platform
