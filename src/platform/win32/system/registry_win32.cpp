// The current user's registry through the wide-character registry API.
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/process/factories.h"
#include "platform/win32/system/handles.h"
#include "platform/win32/system/optional_functions_win32.h"

namespace quellnet::platform::win32 {
namespace {

// The status for a registry call's error, which goes with it.
RegResult ToResult(LONG error) {
  const auto code = static_cast<SystemError>(error);
  switch (error) {
    case ERROR_SUCCESS:
      return {};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return {RegStatus::kNotFound, code};
    case ERROR_ACCESS_DENIED:
      return {RegStatus::kAccessDenied, code};
    default:
      return {RegStatus::kFailed, code};
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
  const LONG status = delete_key(link);
  if (status >= 0) {
    return ERROR_SUCCESS;
  }
  // The system's own reason, which need not be a denial.
  const auto to_error = Ntdll().rtl_nt_status_to_dos_error;
  return to_error != nullptr ? static_cast<LONG>(to_error(status)) : ERROR_GEN_FAILURE;
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

// Decodes data read from a value: REG_SZ and REG_EXPAND_SZ (expanded) as
// text, and with `numbers` REG_DWORD and REG_QWORD as their decimal number.
RegStatus Decode(DWORD type, const std::vector<BYTE>& data, DWORD bytes, bool numbers,
                 std::wstring& text) {
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    // The stored data may or may not end with a NUL; stop at the first.
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    std::memcpy(value.data(), data.data(), value.size() * sizeof(wchar_t));
    if (const std::size_t nul = value.find(L'\0'); nul != std::wstring::npos) {
      value.resize(nul);
    }
    text = type == REG_EXPAND_SZ ? Expand(value) : value;
    return RegStatus::kOk;
  }
  if (numbers && ((type == REG_DWORD && bytes == sizeof(std::uint32_t)) ||
                  (type == REG_QWORD && bytes == sizeof(std::uint64_t)))) {
    std::uint64_t number = 0;  // a DWORD fills its low half: both are little-endian
    std::memcpy(&number, data.data(), bytes);
    text = std::to_wstring(number);
    return RegStatus::kOk;
  }
  return RegStatus::kNotText;
}

bool Readable(DWORD type, bool numbers) {
  return type == REG_SZ || type == REG_EXPAND_SZ ||
         (numbers && (type == REG_DWORD || type == REG_QWORD));
}

RegResult ReadValue(HKEY key, const std::wstring& name, bool numbers, std::wstring& text) {
  DWORD type = REG_NONE;
  DWORD bytes = 0;
  LONG error = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes);
  // A value may grow between the size query and the read; retry then, a
  // few times: one that another program keeps growing fails the read.
  std::vector<BYTE> data;
  for (int tries = 4; tries > 0 && (error == ERROR_SUCCESS || error == ERROR_MORE_DATA); --tries) {
    if (!Readable(type, numbers)) {
      return {RegStatus::kNotText};
    }
    // Room for a terminating NUL that the stored text may lack.
    data.assign(bytes + sizeof(wchar_t), 0);
    bytes = static_cast<DWORD>(data.size());
    error = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &bytes);
    if (error == ERROR_SUCCESS) {
      return {Decode(type, data, bytes, numbers, text)};
    }
  }
  return ToResult(error);
}

RegResult SetTextIn(HKEY key, std::wstring_view value_name, std::wstring_view text) {
  const std::wstring data = Terminated(text);
  // The length passed counts the terminating NUL.
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return ToResult(::RegSetValueExW(key, Terminated(value_name).c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(data.c_str()), bytes));
}

// Opens `name` below `parent` as itself, never as the key a link leads to,
// with `access` and what the link test needs; with `create` it is made
// when missing.
RegResult OpenAsItself(HKEY parent, const std::wstring& name, REGSAM access, bool create,
                       UniqueHKey& key) {
  access |= KEY_QUERY_VALUE;
  LONG error = ::RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, access, key.Receive());
  if (error == ERROR_FILE_NOT_FOUND && create) {
    DWORD disposition = 0;
    error = ::RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                              nullptr, key.Receive(), &disposition);
    if (error == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY) {
      return {};  // new, so no link
    }
    if (error == ERROR_SUCCESS) {
      // Another program made it meanwhile, and the creation would have
      // followed a link: open it again as itself.
      error = ::RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, access, key.Receive());
    }
  }
  if (error != ERROR_SUCCESS) {
    return ToResult(error);
  }
  return {IsLink(key.Get()) ? RegStatus::kLink : RegStatus::kOk};
}

// Opens the program's own key `key_path` with `access`: its first key as
// Windows gives it ("Software"), every key below as itself. With `create`
// the keys that are missing are made.
RegResult OpenOwnKey(std::wstring_view key_path, REGSAM access, bool create, UniqueHKey& key) {
  std::size_t end = key_path.find(L'\\');
  const std::wstring first = Terminated(key_path.substr(0, end));
  const REGSAM walk = create ? KEY_CREATE_SUB_KEY : KEY_QUERY_VALUE;
  LONG error = ::RegOpenKeyExW(HKEY_CURRENT_USER, first.c_str(), 0,
                               end == std::wstring_view::npos ? access : walk, key.Receive());
  if (error != ERROR_SUCCESS) {
    return ToResult(error);
  }
  while (end != std::wstring_view::npos) {
    const std::size_t start = end + 1;
    end = key_path.find(L'\\', start);
    UniqueHKey parent = std::move(key);
    const RegResult opened =
        OpenAsItself(parent.Get(), Terminated(key_path.substr(start, end - start)),
                     end == std::wstring_view::npos ? access : walk, create, key);
    if (opened.status != RegStatus::kOk) {
      return opened;
    }
  }
  return {};
}

class Win32Registry final : public Registry {
 public:
  RegResult ReadText(std::wstring_view key_path, std::wstring_view value_name,
                     std::wstring& text) override {
    UniqueHKey key;
    const LONG error = ::RegOpenKeyExW(HKEY_CURRENT_USER, Terminated(key_path).c_str(), 0,
                                       KEY_QUERY_VALUE, key.Receive());
    if (error != ERROR_SUCCESS) {
      return ToResult(error);
    }
    return ReadValue(key.Get(), Terminated(value_name), false, text);
  }

  RegResult CreateKey(std::wstring_view key_path) override {
    UniqueHKey key;
    return ToResult(::RegCreateKeyExW(HKEY_CURRENT_USER, Terminated(key_path).c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                                      key.Receive(), nullptr));
  }

  RegResult SetText(std::wstring_view key_path, std::wstring_view value_name,
                    std::wstring_view text) override {
    UniqueHKey key;
    const LONG error = ::RegOpenKeyExW(HKEY_CURRENT_USER, Terminated(key_path).c_str(), 0,
                                       KEY_SET_VALUE, key.Receive());
    if (error != ERROR_SUCCESS) {
      return ToResult(error);
    }
    return SetTextIn(key.Get(), value_name, text);
  }

  RegResult DeleteValue(std::wstring_view key_path, std::wstring_view value_name) override {
    UniqueHKey key;
    LONG error = ::RegOpenKeyExW(HKEY_CURRENT_USER, Terminated(key_path).c_str(), 0, KEY_SET_VALUE,
                                 key.Receive());
    if (error != ERROR_SUCCESS) {
      return ToResult(error);
    }
    return ToResult(::RegDeleteValueW(key.Get(), Terminated(value_name).c_str()));
  }

  RegResult DeleteKeyTree(std::wstring_view key_path) override {
    // An empty path opens HKEY_CURRENT_USER itself: the walk would delete
    // every key of the user before failing on the root.
    if (key_path.find_first_not_of(L'\\') == std::wstring_view::npos) {
      return {RegStatus::kFailed, ERROR_INVALID_PARAMETER};
    }
    return ToResult(DeleteTree(HKEY_CURRENT_USER, Terminated(key_path)));
  }

  RegResult ReadOwnValue(std::wstring_view key_path, std::wstring_view value_name,
                         std::wstring& text) override {
    UniqueHKey key;
    const RegResult opened = OpenOwnKey(key_path, KEY_QUERY_VALUE, false, key);
    return opened.status != RegStatus::kOk
               ? opened
               : ReadValue(key.Get(), Terminated(value_name), true, text);
  }

  RegResult SetOwnText(std::wstring_view key_path, std::wstring_view value_name,
                       std::wstring_view text) override {
    UniqueHKey key;
    const RegResult opened = OpenOwnKey(key_path, KEY_SET_VALUE, true, key);
    return opened.status != RegStatus::kOk ? opened : SetTextIn(key.Get(), value_name, text);
  }
};

}  // namespace

std::unique_ptr<Registry> CreateRegistry() {
  return std::make_unique<Win32Registry>();
}

}  // namespace quellnet::platform::win32
