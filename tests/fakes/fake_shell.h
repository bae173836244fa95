// The shell and the running program's location, in memory.
#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace quellnet::fakes {

class FakeShell final : public platform::Shell {
 public:
  void Open(std::wstring_view target) override { opened.emplace_back(target); }
  std::wstring ExecutablePath() override { return executable_path; }
  std::wstring ProgramFolder() override { return program_folder; }

  std::wstring executable_path = L"C:\\Quellnet\\quellnet.exe";
  std::wstring program_folder = L"C:\\Quellnet";
  std::vector<std::wstring> opened;
};

}  // namespace quellnet::fakes
