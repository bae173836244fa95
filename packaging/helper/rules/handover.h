// What the package does with a running Quellnet and the user's state around
// an upgrade or an uninstall: close it the normal way before its files and
// settings are touched, carry the options and the run-at-logon value across
// the removal of the installed version, and start again whatever it closed,
// as it ran and from where it ran, also when the package fails. Portable
// logic, without a Windows header; the helper gives it the system.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace quellnet::packaging {

// A Quellnet that the package closed.
struct ClosedCopy {
  std::wstring program;  // its program file; empty when the system could not tell
  bool shown = false;    // its window was on the screen, not hidden in the tray
};

enum class StartResult { kStarted, kMissing, kFailed };

// The running copies of this session.
class RunningCopies {
 public:
  virtual ~RunningCopies() = default;
  // Closes every running Quellnet as its close box does (its unload saves
  // the options and the run-at-logon value) and waits for its end, within a
  // time limit. True when none runs any more. `closed` gets the first one
  // closed (shown when any was), also when another one would not close.
  virtual bool CloseAll(std::optional<ClosedCopy>& closed) = 0;
  // Starts `copy.program` as it ran: shown, or hidden in the tray.
  // kMissing when there is no such file.
  virtual StartResult Start(const ClosedCopy& copy) = 0;
};

// The user's options and run-at-logon value, and the copy the upgrade
// closed, kept while the installed version is removed; a volatile key of
// the user's registry, which Windows forgets at logoff.
class Stash {
 public:
  virtual ~Stash() = default;
  // Keeps them, replacing any earlier stash. False when something could not
  // be kept.
  virtual bool Save(const std::optional<ClosedCopy>& closed) = 0;
  enum class Restored { kNone, kAll, kPart };
  // Puts back the options and the run-at-logon value, reads the closed copy
  // and deletes the stash. kNone when there is none; kPart when something
  // could not be put back or the stash could not be deleted.
  virtual Restored Restore(std::optional<ClosedCopy>& closed) = 0;
  // Deletes any stash; true when none is left.
  virtual bool Discard() = 0;
};

// Asked while a Quellnet does not close: true to try again.
using AskRetry = std::function<bool()>;

// Before an uninstall: closes every running Quellnet, asking `retry` while
// one stays. When one stays, whatever was closed is started again and the
// result is false: the package then stops before it changes anything.
// `installed` is the program file the package installs.
bool CloseForRemoval(RunningCopies& copies, const AskRetry& retry, const std::wstring& installed);

// Before an upgrade: as CloseForRemoval, then stashes the user's state and
// the closed copy. When that fails, the stash is discarded, the closed copy
// is started again and the result is false.
bool PrepareUpgrade(RunningCopies& copies, Stash& stash, const AskRetry& retry,
                    const std::wstring& installed);

// After an upgrade, whether it succeeded, failed or was cancelled: puts back
// what PrepareUpgrade stashed and starts the closed copy again, from where it
// ran (a copy outside the package stays that copy), else `installed`. Does
// nothing without a stash. False when something could not be put back or
// started.
bool FinishUpgrade(RunningCopies& copies, Stash& stash, const std::wstring& installed);

}  // namespace quellnet::packaging
