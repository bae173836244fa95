#include "platform/settings_store.h"

namespace quellnet::platform {
namespace {

std::wstring SectionKeyPath(std::wstring_view application, std::wstring_view section) {
  std::wstring path = L"Software\\";
  path += application;
  path += L'\\';
  path += section;
  return path;
}

}  // namespace

StoredText SettingsStore::Read(std::wstring_view application, std::wstring_view section,
                               std::wstring_view key, std::wstring_view default_text) {
  std::wstring text;
  const RegResult read = registry_.ReadOwnValue(SectionKeyPath(application, section), key, text);
  switch (read.status) {
    case RegStatus::kOk:
      return {text};
    case RegStatus::kNotFound:
    // The whole key is out of reach: nothing in it can be read, and writing
    // there fails as well, which closing tells.
    case RegStatus::kAccessDenied:
    case RegStatus::kLink:
      return {std::wstring(default_text)};
    case RegStatus::kNotText:
    case RegStatus::kFailed:
      break;
  }
  return {std::nullopt, read.error};
}

RegResult SettingsStore::Write(std::wstring_view application, std::wstring_view section,
                               std::wstring_view key, std::wstring_view text) {
  return registry_.SetOwnText(SectionKeyPath(application, section), key, text);
}

}  // namespace quellnet::platform
