// The desktop shell and facts about the running program.
#pragma once

#include <string>
#include <string_view>

namespace quellnet::platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // Asks the shell to "open" the document or address in a visible window,
  // with no parameters. The result is not reported: nothing visible happens
  // when it can't be opened.
  virtual void Open(std::wstring_view target) = 0;
  // Full path of the running executable, as the system reports it.
  virtual std::wstring ExecutablePath() = 0;
  // The folder that holds the executable, without a trailing separator
  // unless it is a drive root ("C:\").
  virtual std::wstring ProgramFolder() = 0;
};

}  // namespace quellnet::platform
