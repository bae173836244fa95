// The programs that hold files open, as the file system and the Restart
// Manager tell them (Vista and later).
#pragma once

#include <vector>

#include <windows.h>

// After <windows.h>.
#include <restartmanager.h>

#include "platform/file_system.h"

namespace quellnet::platform::win32 {

// Asks one Restart Manager session, for as long as it lives, about the
// programs that hold the files of a whole run: a program is asked about once,
// when the first file it holds comes up, and the files it holds later are
// told from that answer. The session starts at the first file in use and
// ends with this object.
class FileHolders {
 public:
  FileHolders() = default;
  ~FileHolders();
  FileHolders(const FileHolders&) = delete;
  FileHolders& operator=(const FileHolders&) = delete;

  // The programs that hold open the file that `file` holds (this one aside):
  // which processes, as the file system tells, and what they are, as the
  // Restart Manager tells (loaded from the system folder only when present);
  // empty where the system can't tell.
  std::vector<Holder> Of(HANDLE file);

 private:
  // Registers the processes not asked about yet and learns what they are.
  void Learn(const std::vector<RM_UNIQUE_PROCESS>& processes);

  DWORD session_ = 0;
  bool started_ = false;
  bool failed_ = false;  // the session could not be started: nothing to ask
  std::vector<RM_UNIQUE_PROCESS> asked_;
  std::vector<RM_PROCESS_INFO> known_;
};

}  // namespace quellnet::platform::win32
