#include "platform/win32/files/file_holders_win32.h"

#include <algorithm>

#include "platform/win32/system/handles.h"
#include "platform/win32/system/optional_functions_win32.h"

namespace quellnet::platform::win32 {
namespace {

constexpr auto kFileProcessIdsUsingFileInformation = static_cast<FILE_INFORMATION_CLASS>(47);
constexpr NTSTATUS kStatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
constexpr NTSTATUS kStatusBufferOverflow = static_cast<NTSTATUS>(0x80000005);
// PROCESS_QUERY_LIMITED_INFORMATION (Vista on, as is everything here).
constexpr DWORD kQueryLimitedInformation = 0x1000;

// A process is known to the Restart Manager by its id and its start.
bool SameProcess(const RM_UNIQUE_PROCESS& a, const RM_UNIQUE_PROCESS& b) {
  return a.dwProcessId == b.dwProcessId &&
         a.ProcessStartTime.dwLowDateTime == b.ProcessStartTime.dwLowDateTime &&
         a.ProcessStartTime.dwHighDateTime == b.ProcessStartTime.dwHighDateTime;
}

// The processes that hold `file` open, as the file system tells; this one
// and those that can't be opened (already gone) aside.
std::vector<RM_UNIQUE_PROCESS> ProcessesHolding(HANDLE file) {
  const auto query = Ntdll().nt_query_information_file;
  // FILE_PROCESS_IDS_USING_FILE_INFORMATION: a count, then the ids, each as
  // wide as a pointer. Where more programs hold the file than fit, the
  // system answers STATUS_INFO_LENGTH_MISMATCH (or a partial list with
  // STATUS_BUFFER_OVERFLOW) and the list is asked again, larger.
  std::vector<ULONG_PTR> ids(64);
  for (int tries = 0;; ++tries) {
    if (query == nullptr) {
      return {};
    }
    IO_STATUS_BLOCK io;
    const NTSTATUS status =
        query(file, &io, ids.data(), static_cast<ULONG>(ids.size() * sizeof ids[0]),
              kFileProcessIdsUsingFileInformation);
    if (NT_SUCCESS(status)) {
      break;
    }
    if ((status != kStatusInfoLengthMismatch && status != kStatusBufferOverflow) || tries == 2) {
      return {};
    }
    ids.assign(std::max<std::size_t>(ids.size() * 16, (ids[0] & 0xFFFFFFFF) + 1), 0);
  }
  std::vector<RM_UNIQUE_PROCESS> processes;
  for (ULONG_PTR i = 1; i <= (ids[0] & 0xFFFFFFFF) && i < ids.size(); ++i) {
    const DWORD id = static_cast<DWORD>(ids[i]);
    const UniqueKernelHandle process(::OpenProcess(kQueryLimitedInformation, FALSE, id));
    FILETIME started, ended, kernel, user;
    if (id != ::GetCurrentProcessId() && process &&
        ::GetProcessTimes(process.Get(), &started, &ended, &kernel, &user)) {
      processes.push_back({id, started});
    }
  }
  return processes;
}

}  // namespace

FileHolders::~FileHolders() {
  if (started_) {
    // Nothing is left to undo if this fails.
    RestartManager().rm_end_session(session_);
  }
}

void FileHolders::Learn(const std::vector<RM_UNIQUE_PROCESS>& processes) {
  std::vector<RM_UNIQUE_PROCESS> fresh;
  for (const RM_UNIQUE_PROCESS& process : processes) {
    if (std::none_of(asked_.begin(), asked_.end(),
                     [&](const RM_UNIQUE_PROCESS& asked) { return SameProcess(asked, process); })) {
      fresh.push_back(process);
    }
  }
  if (fresh.empty() || failed_) {
    return;
  }
  // Loaded on the first file found in use.
  const RestartManagerFunctions& manager = RestartManager();
  if (manager.rm_start_session == nullptr || manager.rm_register_resources == nullptr ||
      manager.rm_get_list == nullptr || manager.rm_end_session == nullptr) {
    failed_ = true;
    return;
  }
  if (!started_) {
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    started_ = manager.rm_start_session(&session_, 0, key) == ERROR_SUCCESS;
    failed_ = !started_;
    if (failed_) {
      return;
    }
  }
  asked_.insert(asked_.end(), fresh.begin(), fresh.end());
  if (manager.rm_register_resources(session_, 0, nullptr, static_cast<UINT>(fresh.size()),
                                    fresh.data(), 0, nullptr) != ERROR_SUCCESS) {
    return;
  }
  // Every process the session was told of so far: asked with no room, the
  // answer is ERROR_MORE_DATA and how many there are; the list may grow
  // between two calls, so it is asked again while it does.
  std::vector<RM_PROCESS_INFO> found;
  for (int tries = 0; tries < 3; ++tries) {
    UINT needed = 0;
    UINT count = static_cast<UINT>(found.size());
    DWORD reasons = 0;
    const DWORD answer = manager.rm_get_list(session_, &needed, &count,
                                             found.empty() ? nullptr : found.data(), &reasons);
    if (answer == ERROR_SUCCESS) {
      found.resize(count);
      known_ = std::move(found);
      return;
    }
    if (answer != ERROR_MORE_DATA) {
      return;
    }
    found.resize(needed);
  }
}

std::vector<Holder> FileHolders::Of(HANDLE file) {
  const std::vector<RM_UNIQUE_PROCESS> processes = ProcessesHolding(file);
  Learn(processes);
  std::vector<Holder> holders;
  for (const RM_PROCESS_INFO& info : known_) {
    if (std::any_of(processes.begin(), processes.end(), [&](const RM_UNIQUE_PROCESS& process) {
          return SameProcess(info.Process, process);
        })) {
      holders.push_back({info.strAppName, info.ApplicationType == RmExplorer ||
                                              info.ApplicationType == RmService ||
                                              info.ApplicationType == RmCritical});
    }
  }
  return holders;
}

}  // namespace quellnet::platform::win32
