// Carrying the user's state across an upgrade. The package removes the
// installed Quellnet before it installs the new one, and that removal deletes
// the options and the run-at-logon value as an uninstall does; what was
// there is saved before and put back after.
#pragma once

#include "close_program.h"

namespace quellnet::packaging {

// Saves the options, the run-at-logon value "Quellnet" and how the closed
// program ran into a volatile key of the user's registry, which Windows
// forgets at logoff, replacing any earlier copy. False when something could
// not be saved.
bool SaveForUpgrade(ClosedProgram closed);

// Puts back what SaveForUpgrade saved and deletes the copy. Returns how the
// program ran that the upgrade closed (kNone when nothing was saved);
// `restored` is false when something could not be put back.
ClosedProgram RestoreAfterUpgrade(bool& restored);

}  // namespace quellnet::packaging
