// Waiting, files, the registry and processes: the parts of the harness that
// do not touch the program's window.
#include "harness.h"

#include <shlwapi.h>
#include <tlhelp32.h>

#include <thread>

namespace quellnet::e2e {

namespace {

// Closes a kernel handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) {
      CloseHandle(handle_);
    }
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) {
      FindClose(handle_);
    }
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

class Key {
 public:
  Key() = default;
  ~Key() {
    if (key_ != nullptr) {
      RegCloseKey(key_);
    }
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

bool IsDots(const wchar_t* name) {
  return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, Millis timeout, Millis poll) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) {
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(poll);
  }
}

std::wstring ProgramDir() {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"QUELLNET_E2E_PROGRAM_DIR", buffer, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    return std::wstring(buffer, length);
  }
  return L"C:\\Quellnet";
}

bool MakeFolders(const std::wstring& folder) {
  if (folder.empty()) {
    return false;
  }
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
  const size_t slash = folder.find_last_of(L"\\/");
  if (slash != std::wstring::npos && slash > 2) {
    if (!MakeFolders(folder.substr(0, slash))) {
      return false;
    }
  }
  return CreateDirectoryW(folder.c_str(), nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteTextFile(const std::wstring& path, const std::string& content) {
  Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    return false;
  }
  DWORD written = 0;
  return WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written,
                   nullptr) != 0 &&
         written == content.size();
}

std::optional<std::string> ReadTextFile(const std::wstring& path) {
  Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    return std::nullopt;
  }
  std::string content;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    content.append(buffer, read);
  }
  return content;
}

bool DeleteTree(const std::wstring& folder) {
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return true;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    // A file, or a link that must be removed without following it.
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return RemoveDirectoryW(folder.c_str()) != 0;
    }
    return DeleteFileW(folder.c_str()) != 0;
  }
  {
    WIN32_FIND_DATAW entry;
    FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (find.get() != INVALID_HANDLE_VALUE) {
      do {
        if (!IsDots(entry.cFileName)) {
          DeleteTree(folder + L"\\" + entry.cFileName);
        }
      } while (FindNextFileW(find.get(), &entry));
    }
  }
  return RemoveDirectoryW(folder.c_str()) != 0 ||
         GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool CopyProgramTo(const std::wstring& folder) {
  if (!MakeFolders(folder)) {
    return false;
  }
  const std::wstring source = ProgramDir();
  WIN32_FIND_DATAW entry;
  FindHandle find(FindFirstFileW((source + L"\\*").c_str(), &entry));
  if (find.get() == INVALID_HANDLE_VALUE) {
    return false;
  }
  bool copied_program = false;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      continue;
    }
    const std::wstring from = source + L"\\" + entry.cFileName;
    const std::wstring to = folder + L"\\" + entry.cFileName;
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
      return false;
    }
    copied_program = copied_program || _wcsicmp(entry.cFileName, kProgramFileName) == 0;
  } while (FindNextFileW(find.get(), &entry));
  return copied_program;
}

std::optional<std::wstring> ReadUserString(const std::wstring& key, const std::wstring& name) {
  Key opened;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, opened.out()) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  DWORD buffer_size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(text.data()), &buffer_size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  text.resize(buffer_size / sizeof(wchar_t));
  // Stored strings normally carry their terminator; an unterminated one does not.
  while (!text.empty() && text.back() == L'\0') {
    text.pop_back();
  }
  return text;
}

bool UserValueExists(const std::wstring& key, const std::wstring& name) {
  Key opened;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, opened.out()) !=
      ERROR_SUCCESS) {
    return false;
  }
  return RegQueryValueExW(opened.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

namespace {

bool WriteValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                const void* data, DWORD size) {
  Key opened;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.out(),
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExW(opened.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                        size) == ERROR_SUCCESS;
}

}  // namespace

bool WriteUserString(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
  return WriteValue(HKEY_CURRENT_USER, key, name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool WriteUserDword(const std::wstring& key, const std::wstring& name, DWORD value) {
  return WriteValue(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof value);
}

bool WriteMachineString(const std::wstring& key, const std::wstring& name,
                        const std::wstring& text) {
  return WriteValue(HKEY_LOCAL_MACHINE, key, name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool DeleteUserValue(const std::wstring& key, const std::wstring& name) {
  Key opened;
  const LONG opened_status =
      RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, opened.out());
  if (opened_status == ERROR_FILE_NOT_FOUND) {
    return true;
  }
  if (opened_status != ERROR_SUCCESS) {
    return false;
  }
  const LONG status = RegDeleteValueW(opened.get(), name.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool DeleteUserKeyTree(const std::wstring& key) {
  const DWORD status = SHDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

int KillProcessesNamed(const std::wstring& exe_name) {
  Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) {
    return 0;
  }
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  int ended = 0;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, exe_name.c_str()) != 0 ||
        entry.th32ProcessID == GetCurrentProcessId()) {
      continue;
    }
    Handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
    if (process.valid() && TerminateProcess(process.get(), 1)) {
      WaitForSingleObject(process.get(), 5000);
      ++ended;
    }
  }
  return ended;
}

void ResetProgramState() {
  KillProcessesNamed(kProgramFileName);
  DeleteUserKeyTree(kQuellnetKey);
  DeleteUserValue(kRunKey, kRunValueName);
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) {
    return {};
  }
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string narrow(size > 0 ? size : 0, '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size,
                        nullptr, nullptr);
  }
  return narrow;
}

}  // namespace quellnet::e2e
