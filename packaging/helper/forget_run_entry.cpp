#include "forget_run_entry.h"

#include <windows.h>

#include <optional>
#include <string>

#include "platform/app_info.h"
#include "app/run_at_startup.h"
#include "platform/win32/handles.h"

namespace quellnet::packaging {
namespace {

using platform::win32::UniqueHKey;

// The text of a string value; nullopt when absent or not a string.
std::optional<std::wstring> ReadString(HKEY key, const wchar_t* name, LONG& status) {
  DWORD type = 0;
  DWORD size = 0;
  status = ::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  status =
      ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
  if (status != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The stored text may or may not end in a null.
  text.resize(::lstrlenW(text.c_str()));
  return text;
}

// True unless Windows says the file is not there; a file that can't be
// looked at counts as present, so its value stays.
bool MayExist(const std::wstring& path) {
  if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return true;
  }
  const DWORD error = ::GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

}  // namespace

ForgetResult ForgetRunEntry(const std::wstring& program) {
  const std::wstring key_path(app::kRunKeyPath);
  const std::wstring value_name(platform::kApplicationTitle);
  UniqueHKey run;
  LONG status = ::RegOpenKeyExW(HKEY_CURRENT_USER, key_path.c_str(), 0,
                                KEY_QUERY_VALUE | KEY_SET_VALUE, run.Receive());
  if (status == ERROR_FILE_NOT_FOUND) {
    return ForgetResult::kKept;
  }
  if (status != ERROR_SUCCESS) {
    return ForgetResult::kFailed;
  }
  const std::optional<std::wstring> data = ReadString(run.Get(), value_name.c_str(), status);
  if (!data) {
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? ForgetResult::kKept
                                                                     : ForgetResult::kFailed;
  }
  // Paths compare without regard to case, as Windows treats them.
  if (::lstrcmpiW(data->c_str(), app::RunAtStartupData(program).c_str()) != 0 ||
      MayExist(program)) {
    return ForgetResult::kKept;
  }
  return ::RegDeleteValueW(run.Get(), value_name.c_str()) == ERROR_SUCCESS ? ForgetResult::kRemoved
                                                                           : ForgetResult::kFailed;
}

}  // namespace quellnet::packaging
