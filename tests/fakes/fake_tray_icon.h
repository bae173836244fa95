// An in-memory notification area holding at most the program's one icon.
// Like the real one, it can be missing (no shell running).
#pragma once

#include "platform/tray_icon.h"

namespace quellnet::fakes {

class FakeTrayIcon final : public platform::TrayIcon {
 public:
  bool Add() override {
    if (!area_available) {
      present = false;  // a missing or restarting area has lost the icon
      return false;
    }
    present = true;
    return true;
  }
  bool Remove() override {
    ++remove_requests;
    const bool was_present = present;
    present = false;
    return was_present;
  }

  bool area_available = true;
  bool present = false;
  int remove_requests = 0;
};

}  // namespace quellnet::fakes
