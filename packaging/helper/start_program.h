// Starting Quellnet again after an upgrade closed it.
#pragma once

#include <string>

namespace quellnet::packaging {

// Starts `program` in its own folder, for the user who runs the package.
// With `hidden`, waits until its window has come up and minimises it as a
// click on its minimise button does, which hides it in the tray. True when
// the program started (and, with `hidden`, its window was hidden or the
// program ended by itself meanwhile).
bool StartProgram(const std::wstring& program, bool hidden);

}  // namespace quellnet::packaging
