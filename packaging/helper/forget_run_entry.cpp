#include "forget_run_entry.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "app/run_at_startup.h"
#include "platform/app_info.h"
#include "platform/win32/handles.h"

namespace quellnet::packaging {
namespace {

using platform::win32::UniqueHKey;
using platform::win32::UniqueKernelHandle;

// A file as the file system knows it: its volume and its index there.
using FileId = std::pair<DWORD, ULONGLONG>;

std::optional<FileId> IdOf(const std::wstring& path) {
  // Read attributes only, sharing everything: a running program is opened too.
  UniqueKernelHandle file(::CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file || !::GetFileInformationByHandle(file.Get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return FileId{info.dwVolumeSerialNumber,
                (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// The file Windows starts for `name` taken from a command line: the name
// itself, else with ".exe" added when it has no extension of its own.
std::optional<FileId> IdOfProgram(const std::wstring& name) {
  if (std::optional<FileId> id = IdOf(name)) {
    return id;
  }
  const size_t last_part = name.find_last_of(L"\\/");
  const bool has_extension =
      name.find(L'.', last_part == std::wstring::npos ? 0 : last_part) != std::wstring::npos;
  return has_extension ? std::nullopt : IdOf(name + L".exe");
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return ::lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

// True when Windows, running `command` (a Run value's data), starts
// `program`. A quoted name ends at its closing quote. A name without quotes
// may hold blanks: Windows tries each text before a blank, shortest first,
// and runs the first that is an existing file.
bool Starts(std::wstring command, const std::wstring& program) {
  command.erase(0, command.find_first_not_of(L" \t"));
  const std::optional<FileId> program_id = IdOf(program);
  const auto names = [&](const std::wstring& name) {
    if (program_id) {
      return IdOfProgram(name) == program_id;
    }
    // The program is gone: only its own text, in any letter case, names it.
    return SameText(name, program) || SameText(name, program + L".exe");
  };
  if (!command.empty() && command[0] == L'"') {
    const size_t close = command.find(L'"', 1);
    return names(command.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
  }
  for (size_t end = 0; end != std::wstring::npos;) {
    end = command.find_first_of(L" \t", end + 1);
    const std::wstring name = command.substr(0, end);
    if (program_id ? IdOfProgram(name).has_value() : names(name)) {
      return names(name);
    }
  }
  return false;
}

// The text of a string value with its environment variables expanded when
// it is REG_EXPAND_SZ; nullopt when absent or not a string.
std::optional<std::wstring> ReadCommand(HKEY key, const wchar_t* name, LONG& status) {
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
  if (type == REG_EXPAND_SZ) {
    std::wstring expanded(::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0), L'\0');
    if (expanded.empty() || ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(),
                                                        static_cast<DWORD>(expanded.size())) == 0) {
      status = static_cast<LONG>(::GetLastError());
      return std::nullopt;
    }
    expanded.resize(::lstrlenW(expanded.c_str()));
    return expanded;
  }
  return text;
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
  const std::optional<std::wstring> command = ReadCommand(run.Get(), value_name.c_str(), status);
  if (!command) {
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? ForgetResult::kKept
                                                                     : ForgetResult::kFailed;
  }
  if (!Starts(*command, program)) {
    return ForgetResult::kKept;
  }
  return ::RegDeleteValueW(run.Get(), value_name.c_str()) == ERROR_SUCCESS ? ForgetResult::kRemoved
                                                                           : ForgetResult::kFailed;
}

}  // namespace quellnet::packaging
