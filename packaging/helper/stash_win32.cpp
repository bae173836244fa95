#include <windows.h>

#include <tlhelp32.h>

#include <string>
#include <vector>

#include "app/run_at_startup.h"
#include "app/settings_keys.h"
#include "app/app_info.h"
#include "platform/win32/process/factories.h"
#include "platform/win32/system/handles.h"
#include "stash_win32.h"

namespace quellnet::packaging {
namespace {

using platform::RegStatus;
using platform::win32::UniqueHKey;

constexpr wchar_t kHandoverKey[] = L"Software\\Quellnet Upgrade";
constexpr wchar_t kOptionsCopy[] = L"Options";
constexpr wchar_t kRunCopy[] = L"Run";
constexpr wchar_t kRestart[] = L"Restart";
constexpr wchar_t kProgram[] = L"Program";
constexpr wchar_t kInstaller[] = L"Installer";
constexpr wchar_t kShown[] = L"shown";
constexpr wchar_t kHidden[] = L"hidden";
constexpr DWORD kLongestValueName = 16383;

std::wstring OptionsKey() {
  return L"Software\\" + std::wstring(app::kApplicationTitle) + L"\\" +
         std::wstring(app::kOptionsSection);
}

LONG Open(HKEY parent, const std::wstring& path, UniqueHKey& key) {
  return ::RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | KEY_SET_VALUE, key.Receive());
}

LONG Create(HKEY parent, const std::wstring& path, DWORD options, UniqueHKey& key) {
  return ::RegCreateKeyExW(parent, path.c_str(), 0, nullptr, options, KEY_READ | KEY_SET_VALUE,
                           nullptr, key.Receive(), nullptr);
}

// Copies one value, its type and data as they are. ERROR_FILE_NOT_FOUND
// when there is none.
LONG CopyValue(HKEY from, const wchar_t* name, HKEY to, const wchar_t* to_name) {
  DWORD type = 0;
  DWORD size = 0;
  LONG status = ::RegQueryValueExW(from, name, nullptr, &type, nullptr, &size);
  std::vector<BYTE> data(size);
  if (status == ERROR_SUCCESS) {
    status = ::RegQueryValueExW(from, name, nullptr, &type, data.data(), &size);
  }
  return status == ERROR_SUCCESS ? ::RegSetValueExW(to, to_name, 0, type, data.data(), size)
                                 : status;
}

LONG CopyValues(HKEY from, HKEY to) {
  std::wstring name(kLongestValueName + 1, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    LONG status =
        ::RegEnumValueW(from, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) {
      return ERROR_SUCCESS;
    }
    if (status == ERROR_SUCCESS) {
      status = CopyValue(from, name.c_str(), to, name.c_str());
    }
    if (status != ERROR_SUCCESS) {
      return status;
    }
  }
}

bool Succeeded(LONG status) {
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

LONG SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
  return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The process that started this one: the installer that runs the package.
DWORD InstallerProcess() {
  const platform::win32::UniqueKernelHandle snapshot(
      ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = snapshot && ::Process32FirstW(snapshot.Get(), &entry); more;
       more = ::Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID == ::GetCurrentProcessId()) {
      return entry.th32ParentProcessID;
    }
  }
  return 0;
}

bool IsRunning(DWORD process_id) {
  const platform::win32::UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, process_id));
  return process && ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

}  // namespace

bool VolatileStash::Discard() {
  const RegStatus status = platform::win32::CreateRegistry()->DeleteKeyTree(kHandoverKey).status;
  return status == RegStatus::kOk || status == RegStatus::kNotFound;
}

bool VolatileStash::Save(const std::optional<ClosedCopy>& closed) {
  UniqueHKey handover;
  if (!Discard() ||
      Create(HKEY_CURRENT_USER, kHandoverKey, REG_OPTION_VOLATILE, handover) != ERROR_SUCCESS) {
    return false;
  }
  bool saved = true;
  UniqueHKey options;
  UniqueHKey options_copy;
  if (const LONG status = Open(HKEY_CURRENT_USER, OptionsKey(), options); status == ERROR_SUCCESS) {
    saved =
        Create(handover.Get(), kOptionsCopy, REG_OPTION_VOLATILE, options_copy) == ERROR_SUCCESS &&
        CopyValues(options.Get(), options_copy.Get()) == ERROR_SUCCESS;
  } else {
    saved = status == ERROR_FILE_NOT_FOUND;
  }
  UniqueHKey run;
  if (const LONG status = Open(HKEY_CURRENT_USER, std::wstring(app::kRunKeyPath), run);
      status == ERROR_SUCCESS) {
    const std::wstring name(app::kApplicationTitle);
    saved = Succeeded(CopyValue(run.Get(), name.c_str(), handover.Get(), kRunCopy)) && saved;
  } else {
    saved = status == ERROR_FILE_NOT_FOUND && saved;
  }
  const DWORD installer = InstallerProcess();
  saved = ::RegSetValueExW(handover.Get(), kInstaller, 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&installer),
                           sizeof(installer)) == ERROR_SUCCESS &&
          saved;
  if (closed) {
    saved = SetText(handover.Get(), kRestart, closed->shown ? kShown : kHidden) == ERROR_SUCCESS &&
            SetText(handover.Get(), kProgram, closed->program) == ERROR_SUCCESS && saved;
  }
  return saved;
}

Stash::Restored VolatileStash::Restore(std::optional<ClosedCopy>& closed) {
  closed.reset();
  UniqueHKey handover;
  if (const LONG status = Open(HKEY_CURRENT_USER, kHandoverKey, handover);
      status != ERROR_SUCCESS) {
    // One that can't be opened can't be put back either.
    return status == ERROR_FILE_NOT_FOUND ? Restored::kNone : Restored::kPart;
  }
  bool restored = true;
  UniqueHKey options_copy;
  UniqueHKey options;
  if (const LONG status = Open(handover.Get(), kOptionsCopy, options_copy);
      status == ERROR_SUCCESS) {
    restored = Create(HKEY_CURRENT_USER, OptionsKey(), REG_OPTION_NON_VOLATILE, options) ==
                   ERROR_SUCCESS &&
               CopyValues(options_copy.Get(), options.Get()) == ERROR_SUCCESS;
  } else {
    restored = status == ERROR_FILE_NOT_FOUND;
  }
  UniqueHKey run;
  const std::wstring name(app::kApplicationTitle);
  if (Open(HKEY_CURRENT_USER, std::wstring(app::kRunKeyPath), run) == ERROR_SUCCESS) {
    restored = Succeeded(CopyValue(handover.Get(), kRunCopy, run.Get(), name.c_str())) && restored;
  } else {
    // No Run key to put a value back into: a failure only when there is one.
    restored = ::RegQueryValueExW(handover.Get(), kRunCopy, nullptr, nullptr, nullptr, nullptr) ==
                   ERROR_FILE_NOT_FOUND &&
               restored;
  }
  wchar_t how[8] = {};
  DWORD size = sizeof(how) - sizeof(wchar_t);  // keeps the last null
  if (::RegQueryValueExW(handover.Get(), kRestart, nullptr, nullptr, reinterpret_cast<BYTE*>(how),
                         &size) == ERROR_SUCCESS) {
    closed = ClosedCopy{std::wstring(), ::lstrcmpW(how, kShown) == 0};
    // Without it, the program that the package installs is started.
    std::wstring program(MAX_PATH * 4, L'\0');
    size = static_cast<DWORD>((program.size() - 1) * sizeof(wchar_t));
    if (::RegQueryValueExW(handover.Get(), kProgram, nullptr, nullptr,
                           reinterpret_cast<BYTE*>(program.data()), &size) == ERROR_SUCCESS) {
      closed->program = program.c_str();
    }
  }
  handover.Reset();
  restored = Discard() && restored;
  return restored ? Restored::kAll : Restored::kPart;
}

bool VolatileStash::DiscardLeftOver() {
  UniqueHKey handover;
  if (const LONG status = Open(HKEY_CURRENT_USER, kHandoverKey, handover);
      status != ERROR_SUCCESS) {
    return status == ERROR_FILE_NOT_FOUND;
  }
  DWORD installer = 0;
  DWORD size = sizeof(installer);
  if (::RegQueryValueExW(handover.Get(), kInstaller, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&installer), &size) == ERROR_SUCCESS &&
      installer != 0 && IsRunning(installer)) {
    return true;  // an upgrade under way, which removes the installed version
  }
  handover.Reset();
  return Discard();
}

}  // namespace quellnet::packaging
