// The current user's registry through the wide-character registry API.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/factories.h"
#include "platform/win32/handles.h"
#include "platform/win32/optional_functions_win32.h"

namespace quellnet::platform::win32 {
namespace {

RegStatus ToStatus(LONG error) {
  switch (error) {
    case ERROR_SUCCESS:
      return RegStatus::kOk;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return RegStatus::kNotFound;
    case ERROR_ACCESS_DENIED:
      return RegStatus::kAccessDenied;
    default:
      return RegStatus::kFailed;
  }
}

// The registry API takes NUL-terminated names; string_views need not be.
std::wstring Terminated(std::wstring_view text) {
  return std::wstring(text);
}

// Expands %VARIABLES% in REG_EXPAND_SZ data. Leaves the text as it is when
// expansion fails, which is what Explorer itself does with such values.
std::wstring Expand(const std::wstring& text) {
  DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (needed == 0) {
    return text;
  }
  std::wstring expanded(needed, L'\0');
  DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
  if (written == 0 || written > needed) {
    return text;
  }
  expanded.resize(written - 1);
  return expanded;
}

// A registry link (a key created with REG_OPTION_CREATE_LINK) leads to
// another key, which may belong to any program. Opened with
// REG_OPTION_OPEN_LINK it shows itself, with its target in this value.
bool IsLink(HKEY key) {
  DWORD type = REG_NONE;
  return ::RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
             ERROR_SUCCESS &&
         type == REG_LINK;
}

// RegDeleteKey opens the key again without REG_OPTION_OPEN_LINK and so would
// delete the target; the link itself goes only through its own handle.
// NtDeleteKey is in every ntdll from XP on, but not in the SDK's import
// libraries of every toolchain, so it is looked up.
LONG DeleteLink(HKEY link) {
  const auto delete_key = Ntdll().nt_delete_key;
  if (delete_key == nullptr) {
    return ERROR_CALL_NOT_IMPLEMENTED;  // left; never followed
  }
  return delete_key(link) >= 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// XP has no RegDeleteTree: delete the subkeys depth first by taking index 0
// until none is left, then the key itself. A link, at the top or below, is
// deleted as the link; the key it leads to is never entered.
LONG DeleteTree(HKEY parent, const std::wstring& name) {
  UniqueHKey key;
  LONG error =
      ::RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, KEY_READ | DELETE, key.Receive());
  if (error != ERROR_SUCCESS) {
    return error;
  }
  if (IsLink(key.Get())) {
    return DeleteLink(key.Get());
  }
  // Registry key names are at most 255 characters.
  wchar_t child[256];
  for (;;) {
    DWORD length = 256;
    error = ::RegEnumKeyExW(key.Get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr);
    if (error == ERROR_NO_MORE_ITEMS) {
      break;
    }
    if (error != ERROR_SUCCESS) {
      return error;
    }
    error = DeleteTree(key.Get(), child);
    if (error != ERROR_SUCCESS) {
      return error;
    }
  }
  key.Reset();
  return ::RegDeleteKeyW(parent, name.c_str());
}

class Win32Registry final : public Registry {
 public:
  RegStatus ReadText(std::wstring_view key_path, std::wstring_view value_name,
                     std::wstring& text) override {
    UniqueHKey key;
    LONG error = ::RegOpenKeyExW(HKEY_CURRENT_USER, Terminated(key_path).c_str(), 0,
                                 KEY_QUERY_VALUE, key.Receive());
    if (error != ERROR_SUCCESS) {
      return ToStatus(error);
    }
    const std::wstring name = Terminated(value_name);
    DWORD type = 0;
    DWORD bytes = 0;
    error = ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &bytes);
    // A value may grow between the size query and the read; retry then, a
    // few times: one that another program keeps growing fails the read.
    std::vector<wchar_t> buffer;
    for (int tries = 4; tries > 0 && (error == ERROR_SUCCESS || error == ERROR_MORE_DATA);
         --tries) {
      if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return RegStatus::kNotText;
      }
      buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0');
      bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
      error = ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(buffer.data()), &bytes);
      if (error == ERROR_SUCCESS) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
          return RegStatus::kNotText;
        }
        // The stored data may or may not end with a NUL; stop at the first.
        std::wstring value(buffer.data(),
                           std::min<std::size_t>(bytes / sizeof(wchar_t), buffer.size()));
        value = value.c_str();
        text = type == REG_EXPAND_SZ ? Expand(value) : value;
        return RegStatus::kOk;
      }
    }
    return ToStatus(error);
  }

  RegStatus CreateKey(std::wstring_view key_path) override {
    UniqueHKey key;
    return ToStatus(::RegCreateKeyExW(HKEY_CURRENT_USER, Terminated(key_path).c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                                      key.Receive(), nullptr));
  }

  RegStatus SetText(std::wstring_view key_path, std::wstring_view value_name,
                    std::wstring_view text) override {
    UniqueHKey key;
    LONG error = ::RegOpenKeyExW(HKEY_CURRENT_USER, Terminated(key_path).c_str(), 0, KEY_SET_VALUE,
                                 key.Receive());
    if (error != ERROR_SUCCESS) {
      return ToStatus(error);
    }
    const std::wstring data = Terminated(text);
    // The length passed counts the terminating NUL.
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return ToStatus(::RegSetValueExW(key.Get(), Terminated(value_name).c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(data.c_str()), bytes));
  }

  RegStatus DeleteValue(std::wstring_view key_path, std::wstring_view value_name) override {
    UniqueHKey key;
    LONG error = ::RegOpenKeyExW(HKEY_CURRENT_USER, Terminated(key_path).c_str(), 0, KEY_SET_VALUE,
                                 key.Receive());
    if (error != ERROR_SUCCESS) {
      return ToStatus(error);
    }
    return ToStatus(::RegDeleteValueW(key.Get(), Terminated(value_name).c_str()));
  }

  RegStatus DeleteKeyTree(std::wstring_view key_path) override {
    // An empty path opens HKEY_CURRENT_USER itself: the walk would delete
    // every key of the user before failing on the root.
    if (key_path.find_first_not_of(L'\\') == std::wstring_view::npos) {
      return RegStatus::kFailed;
    }
    return ToStatus(DeleteTree(HKEY_CURRENT_USER, Terminated(key_path)));
  }
};

}  // namespace

std::unique_ptr<Registry> CreateRegistry() {
  return std::make_unique<Win32Registry>();
}

}  // namespace quellnet::platform::win32
