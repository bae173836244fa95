#include "rules/handover.h"

namespace quellnet::packaging {
namespace {

// Starts the closed copy from where it ran; the installed program when
// the system could not tell where that was, or when its file has gone (an
// upgrade that installs the program elsewhere).
bool StartAgain(RunningCopies& copies, const std::optional<ClosedCopy>& closed,
                const std::wstring& installed) {
  if (!closed) {
    return true;
  }
  ClosedCopy copy = *closed;
  if (copy.program.empty()) {
    copy.program = installed;
  }
  StartResult started = copies.Start(copy);
  if (started == StartResult::kMissing && copy.program != installed) {
    copy.program = installed;
    started = copies.Start(copy);
  }
  return started == StartResult::kStarted;
}

bool CloseAll(RunningCopies& copies, const AskRetry& retry, std::optional<ClosedCopy>& closed,
              const std::wstring& installed) {
  while (!copies.CloseAll(closed)) {
    if (!retry()) {
      StartAgain(copies, closed, installed);
      return false;
    }
  }
  return true;
}

}  // namespace

bool CloseForRemoval(RunningCopies& copies, const AskRetry& retry, const std::wstring& installed) {
  std::optional<ClosedCopy> closed;
  return CloseAll(copies, retry, closed, installed);
}

bool PrepareUpgrade(RunningCopies& copies, Stash& stash, const AskRetry& retry,
                    const std::wstring& installed) {
  std::optional<ClosedCopy> closed;
  if (!CloseAll(copies, retry, closed, installed)) {
    return false;
  }
  if (stash.Save(closed)) {
    return true;
  }
  // Nothing has been removed yet: what was there is still there.
  stash.Discard();
  StartAgain(copies, closed, installed);
  return false;
}

bool FinishUpgrade(RunningCopies& copies, Stash& stash, const std::wstring& installed) {
  std::optional<ClosedCopy> closed;
  const Stash::Restored restored = stash.Restore(closed);
  if (restored == Stash::Restored::kNone) {
    return true;
  }
  const bool started = StartAgain(copies, closed, installed);
  return restored == Stash::Restored::kAll && started;
}

}  // namespace quellnet::packaging
