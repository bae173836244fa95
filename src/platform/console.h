// Where a run from the command line writes what it has to say: the output
// that whoever started the program gave it (a console window, a file or a
// pipe it was redirected to), when there is one.
#pragma once

#include <string_view>

namespace quellnet::platform {

class Console {
 public:
  virtual ~Console() = default;
  // Writes `text` and a line end; a "\n" inside it starts a new line. False
  // when there is no output to write to, or writing failed.
  virtual bool WriteLines(std::wstring_view text) = 0;
};

}  // namespace quellnet::platform
