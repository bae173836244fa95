// The running Quellnet of this session, as the package's helper closes and
// starts it (close_program.cpp, start_program.cpp).
#pragma once

#include "rules/handover.h"

namespace quellnet::packaging {

class Win32RunningCopies final : public RunningCopies {
 public:
  bool CloseAll(std::optional<ClosedCopy>& closed) override;
  StartResult Start(const ClosedCopy& copy) override;
};

}  // namespace quellnet::packaging
