// Closing the running Quellnet before its files and settings go away.
#pragma once

namespace quellnet::packaging {

// How the Quellnet that was closed ran, so that it can be started again the
// same way.
enum class ClosedProgram {
  kNone,    // none ran
  kShown,   // its window was on the screen
  kHidden,  // it ran hidden in the tray (or minimised)
};

// Closes every Quellnet of this session the way its close box does: a
// WM_CLOSE to its main window, whose unload saves the options and the
// run-at-logon value. Waits until each has ended, at most `wait_ms` in all.
// True when no Quellnet runs any more; `closed` then tells how the one that
// was closed ran (shown when any of them was).
bool CloseRunningQuellnet(unsigned long wait_ms, ClosedProgram& closed);

}  // namespace quellnet::packaging
