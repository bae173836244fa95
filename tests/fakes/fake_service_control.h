// An in-memory service control manager. Services are stopped, running or
// absent; a stop or start moves a service to the requested state and reports
// kDone, or kAlreadyInState when it was there. A scripted outcome replaces
// the next call's behaviour, leaving the service in a chosen state.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/service_control.h"

namespace quellnet::fakes {

class FakeServiceControl final : public platform::ServiceControl {
 public:
  enum class Op { kStop, kStart, kQuery };

  struct Call {
    Op op;
    std::wstring service_name;
  };

  // What the next Stop or Start reports instead of doing its work.
  struct Scripted {
    platform::ServiceResult result;
    platform::ServiceState state_after;
  };

  platform::ServiceResult Stop(std::wstring_view service_name) override {
    return Change(Op::kStop, service_name, platform::ServiceState::kStopped);
  }
  platform::ServiceResult Start(std::wstring_view service_name) override {
    return Change(Op::kStart, service_name, platform::ServiceState::kRunning);
  }
  platform::ServiceState Query(std::wstring_view service_name) override {
    calls.push_back({Op::kQuery, std::wstring(service_name)});
    return StateOf(service_name);
  }

  platform::ServiceState StateOf(std::wstring_view service_name) const {
    const auto found = states.find(std::wstring(service_name));
    return found == states.end() ? platform::ServiceState::kNotInstalled : found->second;
  }

  // Services not listed are not installed.
  std::map<std::wstring, platform::ServiceState> states;
  std::optional<Scripted> next;
  std::vector<Call> calls;
  // Runs inside every Stop and Start, before it returns.
  std::function<void()> during_change;

 private:
  platform::ServiceResult Change(Op op, std::wstring_view service_name,
                                 platform::ServiceState requested) {
    calls.push_back({op, std::wstring(service_name)});
    if (during_change) {
      during_change();
    }
    const std::wstring name(service_name);
    if (next) {
      const Scripted scripted = *next;
      next.reset();
      if (scripted.state_after == platform::ServiceState::kNotInstalled) {
        states.erase(name);
      } else {
        states[name] = scripted.state_after;
      }
      return scripted.result;
    }
    const auto found = states.find(name);
    if (found == states.end()) {
      return {platform::ServiceOutcome::kNotInstalled, {}};
    }
    if (found->second == requested) {
      return {platform::ServiceOutcome::kAlreadyInState, {}};
    }
    found->second = requested;
    return {platform::ServiceOutcome::kDone, {}};
  }
};

}  // namespace quellnet::fakes
