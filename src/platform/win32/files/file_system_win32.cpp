// The cleaners' file operations on paths: the full form of a path, the
// folders the system names, and the folder at a path opened to work in
// (folder_win32.cpp), below which nothing is reached by a path any more.
//
// Every path goes to the system in its extended form ("\\?\C:\...",
// "\\?\UNC\server\share\..."), so entries deeper than MAX_PATH are reached
// like any other; the paths handed back are in the ordinary form.
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/path_text.h"
#include "platform/win32/process/factories.h"
#include "platform/win32/system/filled.h"
#include "platform/win32/files/folder_win32.h"
#include "platform/win32/files/known_folders_win32.h"

namespace quellnet::platform::win32 {
namespace {

using paths::WithExtendedPrefix;
using paths::WithoutExtendedPrefix;

class Win32FileSystem final : public FileSystem {
 public:
  std::optional<std::wstring> FullPath(const std::wstring& path) override {
    const std::wstring ordinary = WithoutExtendedPrefix(path);
    std::optional<std::wstring> full = Filled([&](wchar_t* buffer, DWORD size) {
      return ::GetFullPathNameW(ordinary.c_str(), size, buffer, nullptr);
    });
    if (!full || full->empty()) {
      return std::nullopt;
    }
    // Short names become long ones where the path exists; where it does not,
    // the full path is as good as it gets.
    const std::wstring extended = WithExtendedPrefix(*full);
    if (std::optional<std::wstring> longer = Filled([&](wchar_t* buffer, DWORD size) {
          return ::GetLongPathNameW(extended.c_str(), buffer, size);
        })) {
      full = WithoutExtendedPrefix(*longer);
    }
    // No trailing separator, except on a drive root ("C:\").
    while (full->size() > 1 && full->back() == L'\\' &&
           !(full->size() == 3 && (*full)[1] == L':')) {
      full->pop_back();
    }
    return full;
  }

  std::optional<std::wstring> KnownFolderPath(KnownFolder folder) override {
    return KnownFolderPathOf(folder);
  }

  std::wstring ComputerName() override {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    // Without a name only "localhost" is taken for this machine.
    return ::GetComputerNameW(name, &size) ? std::wstring(name, size) : std::wstring();
  }

  FsResult OpenFolder(const std::wstring& path, std::unique_ptr<Folder>& folder) override {
    if (!behaviour_) {
      behaviour_ = std::make_shared<NtBehaviour>(ProbeNtBehaviour());  // once, at the first folder
    }
    return OpenFolderAt(WithExtendedPrefix(path), behaviour_, folder);
  }

 private:
  std::shared_ptr<NtBehaviour> behaviour_;
};

}  // namespace

std::unique_ptr<FileSystem> CreateFileSystem() {
  return std::make_unique<Win32FileSystem>();
}

}  // namespace quellnet::platform::win32
