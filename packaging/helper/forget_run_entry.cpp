#include "forget_run_entry.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/run_at_startup.h"
#include "app/app_info.h"
#include "platform/win32/factories.h"
#include "platform/win32/handles.h"

namespace quellnet::packaging {
namespace {

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

}  // namespace

ForgetResult ForgetRunEntry(const std::wstring& program) {
  const std::unique_ptr<platform::Registry> registry = platform::win32::CreateRegistry();
  std::wstring command;
  switch (registry->ReadText(app::kRunKeyPath, app::kApplicationTitle, command)) {
    case platform::RegStatus::kOk:
      break;
    case platform::RegStatus::kNotFound:  // no Run key, or no value in it
    case platform::RegStatus::kNotText:
      return ForgetResult::kKept;
    default:
      return ForgetResult::kFailed;
  }
  if (!Starts(command, program)) {
    return ForgetResult::kKept;
  }
  return registry->DeleteValue(app::kRunKeyPath, app::kApplicationTitle) == platform::RegStatus::kOk
             ? ForgetResult::kRemoved
             : ForgetResult::kFailed;
}

}  // namespace quellnet::packaging
