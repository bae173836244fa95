#include "rules/run_entry.h"

#include <algorithm>
#include <cwctype>

#include "app/app_info.h"
#include "app/run_at_startup.h"

namespace quellnet::packaging {
namespace {

bool SameText(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<std::wint_t>(a[i])) !=
        std::towlower(static_cast<std::wint_t>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool HasExtension(const std::wstring& name) {
  const std::size_t last_part = name.find_last_of(L"\\/");
  return name.find(L'.', last_part == std::wstring::npos ? 0 : last_part) != std::wstring::npos;
}

// The file Windows starts for `name` taken from a command line.
std::optional<FileId> IdOfProgram(const std::wstring& name, FileIds& files) {
  if (std::optional<FileId> id = files.IdOf(name)) {
    return id;
  }
  return HasExtension(name) ? std::nullopt : files.IdOf(name + L".exe");
}

}  // namespace

bool StartsProgram(std::wstring_view command, const std::wstring& program, FileIds& files) {
  command.remove_prefix(std::min(command.find_first_not_of(L" \t"), command.size()));
  const std::optional<FileId> program_id = files.IdOf(program);
  const auto names_program = [&](const std::wstring& name) {
    if (program_id) {
      return IdOfProgram(name, files) == program_id;
    }
    return SameText(name, program) || (!HasExtension(name) && SameText(name + L".exe", program));
  };
  if (!command.empty() && command[0] == L'"') {
    // Without its closing quote, the name runs to the end.
    const std::size_t close = command.find(L'"', 1);
    return names_program(
        std::wstring(command.substr(1, close == command.npos ? command.npos : close - 1)));
  }
  for (std::size_t end = 0; end != command.npos;) {
    end = command.find_first_of(L" \t", end + 1);
    const std::wstring name(command.substr(0, end));
    // The first text that is a file is what runs; once the program is gone,
    // no name runs, and each is only compared.
    if (program_id ? IdOfProgram(name, files).has_value() : names_program(name)) {
      return names_program(name);
    }
  }
  return false;
}

ForgetResult ForgetRunEntry(platform::Registry& registry, FileIds& files,
                            const std::wstring& program) {
  std::wstring command;
  switch (registry.ReadText(app::kRunKeyPath, app::kApplicationTitle, command).status) {
    case platform::RegStatus::kOk:
      break;
    case platform::RegStatus::kNotFound:  // no Run key, or no value in it
    case platform::RegStatus::kNotText:
      return ForgetResult::kKept;
    default:
      return ForgetResult::kFailed;
  }
  if (!StartsProgram(command, program, files)) {
    return ForgetResult::kKept;
  }
  // A value that went meanwhile is as good as removed.
  const platform::RegStatus deleted =
      registry.DeleteValue(app::kRunKeyPath, app::kApplicationTitle).status;
  return deleted == platform::RegStatus::kOk || deleted == platform::RegStatus::kNotFound
             ? ForgetResult::kRemoved
             : ForgetResult::kFailed;
}

}  // namespace quellnet::packaging
