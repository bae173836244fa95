// Closing the running Quellnet before its files and settings go away.
#pragma once

namespace quellnet::packaging {

// Closes every Quellnet of this session the way its close box does: a
// WM_CLOSE to its main window, whose unload saves the options and the
// run-at-logon value. Waits until each has ended, at most `wait_ms` in all.
// True when no Quellnet runs any more.
bool CloseRunningQuellnet(unsigned long wait_ms);

}  // namespace quellnet::packaging
