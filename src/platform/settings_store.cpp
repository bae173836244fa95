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

std::optional<std::wstring> SettingsStore::Read(std::wstring_view application,
                                                std::wstring_view section, std::wstring_view key,
                                                std::wstring_view default_text) {
  std::wstring text;
  switch (registry_.ReadText(SectionKeyPath(application, section), key, text)) {
    case RegStatus::kOk:
      return text;
    case RegStatus::kNotFound:
      return std::wstring(default_text);
    default:
      return std::nullopt;
  }
}

bool SettingsStore::Write(std::wstring_view application, std::wstring_view section,
                          std::wstring_view key, std::wstring_view text) {
  const std::wstring path = SectionKeyPath(application, section);
  return registry_.CreateKey(path) == RegStatus::kOk &&
         registry_.SetText(path, key, text) == RegStatus::kOk;
}

}  // namespace quellnet::platform
