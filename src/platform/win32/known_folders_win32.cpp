#include "platform/win32/known_folders_win32.h"

#include <windows.h>

#include <restartmanager.h>
#include <shlobj.h>

#include "platform/program_folder.h"
#include "platform/win32/filled.h"
#include "platform/win32/handles.h"
#include "platform/win32/optional_functions_win32.h"

namespace quellnet::platform::win32 {
namespace {

constexpr auto kFileProcessIdsUsingFileInformation = static_cast<FILE_INFORMATION_CLASS>(47);
// PROCESS_QUERY_LIMITED_INFORMATION (Vista on, as is everything here).
constexpr DWORD kQueryLimitedInformation = 0x1000;

}  // namespace
namespace {

std::optional<std::wstring> ShellFolder(int csidl) {
  wchar_t path[MAX_PATH];
  if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return std::nullopt;
  }
  return std::wstring(path);
}

std::optional<std::wstring> Variable(const wchar_t* name) {
  return Filled([name](wchar_t* buffer, DWORD size) {
    return ::GetEnvironmentVariableW(name, buffer, size);
  });
}

std::optional<std::wstring> WindowsFolder() {
  return Filled([](wchar_t* buffer, DWORD size) {
    return static_cast<DWORD>(::GetWindowsDirectoryW(buffer, size));
  });
}

std::optional<std::wstring> SystemFolder() {
  return Filled([](wchar_t* buffer, DWORD size) {
    return static_cast<DWORD>(::GetSystemDirectoryW(buffer, size));
  });
}

// Downloads has no CSIDL; SHGetKnownFolderPath (Vista and later) names it.
std::optional<std::wstring> DownloadsFolder() {
  static constexpr GUID kDownloads = {
      0x374DE290, 0x123F, 0x4565, {0x91, 0x64, 0x39, 0xC4, 0x92, 0x5E, 0x46, 0x7B}};
  const auto get = Shell32().sh_get_known_folder_path;
  const auto free = Ole32().co_task_mem_free;
  PWSTR path = nullptr;
  if (get == nullptr || free == nullptr || FAILED(get(kDownloads, 0, nullptr, &path))) {
    return std::nullopt;
  }
  std::wstring downloads(path);
  free(path);
  return downloads;
}

// True for a 32-bit program on 64-bit Windows (see architecture.h).
bool IsWow64() {
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

std::optional<std::wstring> KnownFolderPathOf(KnownFolder folder) {
  switch (folder) {
    case KnownFolder::kProfile:
      return ShellFolder(CSIDL_PROFILE);
    case KnownFolder::kProfiles: {
      // Every profile lies in the folder that holds the user's own.
      const std::optional<std::wstring> profile = ShellFolder(CSIDL_PROFILE);
      return profile ? std::optional(FolderOfPath(*profile)) : std::nullopt;
    }
    case KnownFolder::kAppData:
      return ShellFolder(CSIDL_APPDATA);
    case KnownFolder::kLocalAppData:
      return ShellFolder(CSIDL_LOCAL_APPDATA);
    case KnownFolder::kFavorites:
      return ShellFolder(CSIDL_FAVORITES);
    case KnownFolder::kPictures:
      return ShellFolder(CSIDL_MYPICTURES);
    case KnownFolder::kMusic:
      return ShellFolder(CSIDL_MYMUSIC);
    case KnownFolder::kVideos:
      return ShellFolder(CSIDL_MYVIDEO);
    case KnownFolder::kDownloads:
      return DownloadsFolder();
    case KnownFolder::kDesktop:
      return ShellFolder(CSIDL_DESKTOPDIRECTORY);
    case KnownFolder::kDocuments:
      return ShellFolder(CSIDL_PERSONAL);
    case KnownFolder::kPublicProfile:
      // "Public" from Vista on; on XP the "All Users" profile plays its part.
      if (std::optional<std::wstring> shared = Variable(L"PUBLIC")) {
        return shared;
      }
      return Variable(L"ALLUSERSPROFILE");
    case KnownFolder::kCommonAppData:
      return ShellFolder(CSIDL_COMMON_APPDATA);
    case KnownFolder::kWindows:
      return WindowsFolder();
    case KnownFolder::kSystem:
      return SystemFolder();
    case KnownFolder::kSystemWow64:
      return Filled([](wchar_t* buffer, DWORD size) {
        return static_cast<DWORD>(::GetSystemWow64DirectoryW(buffer, size));
      });
    case KnownFolder::kSystemNative: {
      const std::optional<std::wstring> windows = WindowsFolder();
      return windows && IsWow64() ? std::optional(*windows + L"\\Sysnative") : std::nullopt;
    }
    case KnownFolder::kProgramFiles:
      return ShellFolder(CSIDL_PROGRAM_FILES);
    case KnownFolder::kProgramFilesX86:
      return ShellFolder(CSIDL_PROGRAM_FILESX86);
    case KnownFolder::kProgramFiles64:
      return Variable(L"ProgramW6432");
    case KnownFolder::kProgram: {
      const std::wstring program = ProgramFilePath();
      return program.empty() ? std::nullopt : std::optional(FolderOfPath(program));
    }
  }
  return std::nullopt;
}

std::wstring ProgramFilePath() {
  // Long enough for any path the system hands out, "\\?\" form included.
  constexpr DWORD kLongestPath = 32768;
  // The path may be longer than MAX_PATH; grow the buffer until it fits. A
  // cut-off path fills the buffer exactly (XP does not even end it with a
  // NUL), which is how a too small buffer shows on every version.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) {
      return std::wstring();
    }
    if (length < size) {
      path.resize(length);
      return path;
    }
    if (size >= kLongestPath) {
      return std::wstring();
    }
    path.resize(size * 2 > kLongestPath ? kLongestPath : size * 2);
  }
}

std::vector<Holder> HoldersOfFile(HANDLE file) {
  // Loaded on the first file found in use.
  const RestartManagerFunctions& manager = RestartManager();
  const auto start = manager.rm_start_session;
  const auto add = manager.rm_register_resources;
  const auto list = manager.rm_get_list;
  const auto end = manager.rm_end_session;
  const auto query = Ntdll().nt_query_information_file;
  // FILE_PROCESS_IDS_USING_FILE_INFORMATION: a count, then the ids, each as
  // wide as a pointer. More than fit are not told.
  std::vector<ULONG_PTR> ids(64);
  IO_STATUS_BLOCK io;
  if (start == nullptr || add == nullptr || list == nullptr || end == nullptr || query == nullptr ||
      !NT_SUCCESS(query(file, &io, ids.data(), static_cast<ULONG>(ids.size() * sizeof ids[0]),
                        kFileProcessIdsUsingFileInformation))) {
    return {};
  }
  std::vector<RM_UNIQUE_PROCESS> processes;
  for (ULONG_PTR i = 1; i <= (ids[0] & 0xFFFFFFFF) && i < ids.size(); ++i) {
    // A process is known to the Restart Manager by its id and its start.
    const DWORD id = static_cast<DWORD>(ids[i]);
    const UniqueKernelHandle process(::OpenProcess(kQueryLimitedInformation, FALSE, id));
    FILETIME started, ended, kernel, user;
    if (id != ::GetCurrentProcessId() && process &&
        ::GetProcessTimes(process.Get(), &started, &ended, &kernel, &user)) {
      processes.push_back({id, started});
    }
  }
  DWORD session = 0;
  WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
  if (processes.empty() || start(&session, 0, key) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<RM_PROCESS_INFO> found;
  if (add(session, 0, nullptr, static_cast<UINT>(processes.size()), processes.data(), 0, nullptr) ==
      ERROR_SUCCESS) {
    UINT needed = 0;
    UINT count = 0;
    DWORD reasons = 0;
    // The list may grow between the two calls; then it is simply not told.
    if (list(session, &needed, &count, nullptr, &reasons) == ERROR_MORE_DATA) {
      found.resize(needed);
      count = needed;
      if (list(session, &needed, &count, found.data(), &reasons) != ERROR_SUCCESS) {
        count = 0;
      }
      found.resize(count);
    }
  }
  end(session);  // nothing is left to undo if this fails
  std::vector<Holder> holders;
  for (const RM_PROCESS_INFO& info : found) {
    holders.push_back({info.strAppName, info.ApplicationType == RmExplorer ||
                                            info.ApplicationType == RmService ||
                                            info.ApplicationType == RmCritical});
  }
  return holders;
}

}  // namespace quellnet::platform::win32
