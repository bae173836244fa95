#include "platform/win32/files/known_folders_win32.h"

#include <memory>

#include <windows.h>

#include <shlobj.h>

#include "platform/path_text.h"
#include "platform/win32/system/filled.h"
#include "platform/win32/system/optional_functions_win32.h"
#include "platform/win32/files/program_file_win32.h"

namespace quellnet::platform::win32 {
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
  // The shell allocated the text for the caller, who frees it with COM's
  // allocator, even when copying it fails.
  const std::unique_ptr<wchar_t, decltype(free)> owned(path, free);
  return std::wstring(owned.get());
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
      return profile ? std::optional(paths::FolderOfPath(*profile)) : std::nullopt;
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
      return program.empty() ? std::nullopt : std::optional(paths::FolderOfPath(program));
    }
  }
  return std::nullopt;
}

}  // namespace quellnet::platform::win32
