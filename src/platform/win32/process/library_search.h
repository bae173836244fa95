// Where the program's own search for a library looks, set before anything
// else runs. Declared without a Windows header for the composition root.
#pragma once

namespace quellnet::platform::win32 {

// Restricts every later load of a library by name, the program's own and the
// system's on its behalf, to the system folder where Windows offers that
// (Windows 8 on, and 7 and Vista with update KB2533623); elsewhere at least
// the current folder is taken out of the search. Call it first thing.
void SearchLibrariesInSystemFolderOnly();

}  // namespace quellnet::platform::win32
