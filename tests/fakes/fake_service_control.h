// An in-memory service control manager with the one service the program
// asks for. A stop or start moves it to the requested state and reports
// kDone, or kAlreadyInState when it was there. A scripted outcome replaces
// the next call's behaviour, leaving the service in a chosen state.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/service_control.h"

namespace quellnet::fakes {

struct FakeServiceControl final : platform::ServiceControl {
  using State = platform::ServiceState;
  struct Scripted {
    platform::ServiceResult result;
    State state_after;
  };

  platform::ServiceResult Stop(std::wstring_view name) override {
    return Change(L"Stop ", name, State::kStopped);
  }
  platform::ServiceResult Start(std::wstring_view name) override {
    return Change(L"Start ", name, State::kRunning);
  }
  State Query(std::wstring_view name) override {
    calls.push_back(L"Query " + std::wstring(name));
    return state;
  }

  State state = State::kRunning;
  std::optional<Scripted> next;         // what the next Stop or Start does instead
  std::vector<std::wstring> calls;      // "Stop Messenger", "Query Messenger", ...
  std::function<void()> during_change;  // runs inside every Stop and Start

 private:
  platform::ServiceResult Change(const wchar_t* op, std::wstring_view name, State requested) {
    calls.push_back(op + std::wstring(name));
    if (during_change) {
      during_change();
    }
    if (next) {
      state = next->state_after;
      return std::exchange(next, std::nullopt)->result;
    }
    using O = platform::ServiceOutcome;
    return {std::exchange(state, requested) == requested ? O::kAlreadyInState : O::kDone, {}};
  }
};

}  // namespace quellnet::fakes
