// The settings store in the current user's registry: one key per application
// and section, HKCU\Software\<application>\<section>, each value a REG_SZ
// text.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/factories.h"
#include "platform/win32/handles.h"

namespace quellnet::platform::win32 {
namespace {

std::wstring SectionKeyPath(std::wstring_view application, std::wstring_view section) {
  std::wstring path = L"Software\\";
  path += application;
  path += L'\\';
  path += section;
  return path;
}

class Win32SettingsStore final : public SettingsStore {
 public:
  std::optional<std::wstring> Read(std::wstring_view application, std::wstring_view section,
                                   std::wstring_view key, std::wstring_view default_text) override {
    UniqueHKey section_key;
    LONG error = ::RegOpenKeyExW(HKEY_CURRENT_USER, SectionKeyPath(application, section).c_str(), 0,
                                 KEY_QUERY_VALUE, section_key.Receive());
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      return std::wstring(default_text);
    }
    if (error != ERROR_SUCCESS) {
      return std::nullopt;
    }
    const std::wstring name(key);
    DWORD type = 0;
    DWORD bytes = 0;
    error = ::RegQueryValueExW(section_key.Get(), name.c_str(), nullptr, &type, nullptr, &bytes);
    std::vector<wchar_t> buffer;
    // The value may grow between the size query and the read; ask again then.
    while (error == ERROR_SUCCESS || error == ERROR_MORE_DATA) {
      if (type != REG_SZ) {
        // Another type is no text this store wrote, so no number either.
        return std::nullopt;
      }
      buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0');
      bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
      error = ::RegQueryValueExW(section_key.Get(), name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(buffer.data()), &bytes);
      if (error == ERROR_SUCCESS) {
        if (type != REG_SZ) {
          return std::nullopt;
        }
        // The data need not end with a NUL; the text ends at the first one.
        const std::wstring stored(buffer.data(),
                                  std::min<std::size_t>(bytes / sizeof(wchar_t), buffer.size()));
        return std::wstring(stored.c_str());
      }
    }
    if (error == ERROR_FILE_NOT_FOUND) {
      return std::wstring(default_text);
    }
    return std::nullopt;
  }

  bool Write(std::wstring_view application, std::wstring_view section, std::wstring_view key,
             std::wstring_view text) override {
    UniqueHKey section_key;
    const LONG error = ::RegCreateKeyExW(
        HKEY_CURRENT_USER, SectionKeyPath(application, section).c_str(), 0, nullptr,
        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, section_key.Receive(), nullptr);
    if (error != ERROR_SUCCESS) {
      return false;
    }
    const std::wstring data(text);
    // The length passed counts the terminating NUL.
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(section_key.Get(), std::wstring(key).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()), bytes) == ERROR_SUCCESS;
  }
};

}  // namespace

std::unique_ptr<SettingsStore> CreateSettingsStore() {
  return std::make_unique<Win32SettingsStore>();
}

}  // namespace quellnet::platform::win32
