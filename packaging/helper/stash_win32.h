// The upgrade's stash in the user's registry (stash_win32.cpp).
#pragma once

#include "rules/handover.h"

namespace quellnet::packaging {

// A volatile key, "HKCU\Software\Quellnet Upgrade": the options' values in
// its subkey "Options" as they are, the Run value "Quellnet" as "Run", the
// process id of the installer that made it as "Installer" and, when a
// running Quellnet was closed, "Restart" ("shown" or "hidden") with its
// program file as "Program".
class VolatileStash final : public Stash {
 public:
  bool Save(const std::optional<ClosedCopy>& closed) override;
  Restored Restore(std::optional<ClosedCopy>& closed) override;
  bool Discard() override;
  // Discards a stash whose installer has ended: one that an upgrade left.
  // The stash of an upgrade under way stays: Wine removes the installed
  // version in an installation of its own, which does not tell that it is
  // part of an upgrade (UPGRADINGPRODUCTCODE). True when none is left over.
  bool DiscardLeftOver();
};

}  // namespace quellnet::packaging
