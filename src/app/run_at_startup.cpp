#include "app/run_at_startup.h"

#include "app/app_info.h"

namespace quellnet::app {
namespace {

std::wstring RunAtStartupData(std::wstring_view executable_path) {
  std::wstring data;
  data.reserve(executable_path.size() + 2);
  data += L'"';
  data += executable_path;
  data += L'"';
  return data;
}

}  // namespace

platform::RegResult SetRunAtStartup(bool enable, platform::Registry& registry,
                                    platform::Shell& shell) {
  if (!enable) {
    // A missing entry is no failure: there is simply nothing to remove.
    const platform::RegResult removed = registry.DeleteValue(kRunKeyPath, kApplicationTitle);
    return removed.status == platform::RegStatus::kNotFound ? platform::RegResult{} : removed;
  }
  // Read afresh: the program may have been moved since the last run.
  const std::wstring executable = shell.ExecutablePath();
  if (executable.empty()) {
    // An entry without a path would start nothing; leave any earlier entry
    // as it is rather than replace it with a broken one.
    return {platform::RegStatus::kFailed};
  }
  return registry.SetText(kRunKeyPath, kApplicationTitle, RunAtStartupData(executable));
}

}  // namespace quellnet::app
