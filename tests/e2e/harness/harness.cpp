#include "harness.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <thread>

#include "platform/win32/handles.h"

namespace quellnet::e2e {

namespace {

using platform::win32::UniqueKernelHandle;

// How long one message to the program may take before the program counts as hung.
constexpr UINT kMessageTimeoutMs = 5000;

bool SendWithTimeout(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                     DWORD_PTR* result = nullptr) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             result != nullptr ? result : &ignored) != 0;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, Millis timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(Millis{20});
  }
  return true;
}

// ---------------------------------------------------------------- files

bool MakeFolders(const std::wstring& folder) {
  const int made = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  return made == ERROR_SUCCESS || made == ERROR_ALREADY_EXISTS;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteTextFile(const std::wstring& path, const std::string& content) {
  UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file &&
         WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                   nullptr) &&
         written == content.size();
}

std::optional<std::string> ReadTextFile(const std::wstring& path) {
  UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    return std::nullopt;
  }
  std::string content;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    content.append(buffer, read);
  }
  return content;
}

UniqueKernelHandle HoldOpen(const std::wstring& path) {
  return UniqueKernelHandle(CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
}

std::vector<std::wstring> Contents(const std::wstring& folder, const std::wstring& below) {
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((L"\\\\?\\" + folder + below + L"\\*").c_str(), &entry);
  for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &entry)) {
    const std::wstring name = below + L"\\" + entry.cFileName;
    if (name == below + L"\\." || name == below + L"\\..") {
      continue;
    }
    found.push_back(name);
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      const std::vector<std::wstring> inner = Contents(folder, name);
      found.insert(found.end(), inner.begin(), inner.end());
    }
  }
  if (find != INVALID_HANDLE_VALUE) {
    FindClose(find);
  }
  std::sort(found.begin(), found.end());
  return found;
}

bool MakeUnixFolderLink(const std::wstring& link, const std::wstring& target) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unix_name == nullptr) {
    return false;
  }
  // The link does not exist yet: name its folder and append its own name.
  const std::size_t slash = link.rfind(L'\\');
  char* unix_target = unix_name(target.c_str());
  char* unix_folder = unix_name(link.substr(0, slash).c_str());
  std::string command = "\\\\?\\unix\\bin\\ln -s \"" + std::string(unix_target) + "\" \"" +
                        std::string(unix_folder) + "/" + Narrow(link.substr(slash + 1)) + "\"";
  HeapFree(GetProcessHeap(), 0, unix_target);
  HeapFree(GetProcessHeap(), 0, unix_folder);
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // Wine does not let the handle of a Unix process tell when it ends; wait
  // for the link instead.
  return WaitUntil([&] {
    const DWORD attributes = GetFileAttributesW(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  });
}

// ---------------------------------------------------------------- registry

std::optional<std::wstring> ReadUserString(const std::wstring& key, const std::wstring& name) {
  wchar_t text[2048] = {};
  DWORD type = 0;
  DWORD size = sizeof text - sizeof(wchar_t);
  if (SHGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), &type, text, &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  return std::wstring(text);
}

bool UserValueExists(const std::wstring& key, const std::wstring& name) {
  return SHGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

bool WriteString(const std::wstring& key, const std::wstring& name, const std::wstring& text,
                 HKEY root) {
  return SHSetValueW(root, key.c_str(), name.c_str(), REG_SZ, text.c_str(),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool DeleteUserKeyTree(const std::wstring& key) {
  const DWORD status = SHDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

void ResetProgramState() {
  DeleteUserKeyTree(L"Software\\Quellnet");
  SHDeleteValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName);
}

// ---------------------------------------------------------------- windows and controls

std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                       &copied)) {
    return {};
  }
  text.resize(copied);
  return text;
}

std::wstring ClassNameOf(HWND window) {
  wchar_t name[256];
  const int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

RECT RectIn(HWND window, HWND reference) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void SeeUnscaledPixels() {
  using SetContext = void*(WINAPI*)(void*);
  const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
  if (set != nullptr) {
    set(reinterpret_cast<void*>(-3));  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE
  }
}

std::optional<int> CheckState(HWND button) {
  DWORD_PTR state = 0;
  return SendWithTimeout(button, BM_GETCHECK, 0, 0, &state) ? std::optional<int>(state)
                                                            : std::nullopt;
}

bool Click(HWND button) {
  return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

bool Mouse(POINT at, std::initializer_list<DWORD> buttons) {
  // Absolute mouse positions run from 0 to 65535 across the screen.
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  std::vector<INPUT> inputs(buttons.size() + 1);
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, width - 1);
    input.mi.dy = MulDiv(at.y, 65535, height - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  size_t i = 1;
  for (DWORD button : buttons) {
    inputs[i++].mi.dwFlags |= button;
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool PressKey(HWND target, UINT virtual_key) {
  const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyW(virtual_key, 0)) << 16);
  const LPARAM up = down | (1 << 30) | (1u << 31);
  return PostMessageW(target, WM_KEYDOWN, virtual_key, down) &&
         PostMessageW(target, WM_KEYUP, virtual_key, up);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return thread != 0 && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

RemoteMemory::RemoteMemory(HANDLE process, size_t size)
    : process_(process),
      address_(static_cast<char*>(
          VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))),
      size_(size) {}

RemoteMemory::~RemoteMemory() {
  if (address_ != nullptr) {
    VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
}

bool RemoteMemory::Write(size_t offset, const void* data, size_t size) const {
  SIZE_T moved = 0;
  return address_ != nullptr && offset + size <= size_ &&
         WriteProcessMemory(process_, address_ + offset, data, size, &moved) && moved == size;
}

bool RemoteMemory::Read(size_t offset, void* data, size_t size) const {
  SIZE_T moved = 0;
  return address_ != nullptr && offset + size <= size_ &&
         ReadProcessMemory(process_, address_ + offset, data, size, &moved) && moved == size;
}

Shown MostlyShown(HWND control) {
  RECT box{};
  GetWindowRect(control, &box);
  UpdateWindow(control);
  HDC screen = GetDC(nullptr);
  int green = 0;
  int red = 0;
  for (LONG y = box.top; y < box.bottom; ++y) {
    for (LONG x = box.left; x < box.right; ++x) {
      const COLORREF colour = GetPixel(screen, x, y);
      const int r = GetRValue(colour);
      const int g = GetGValue(colour);
      const int b = GetBValue(colour);
      green += g > r + 60 && g > b + 60 ? 1 : 0;
      red += r > g + 60 && r > b + 60 ? 1 : 0;
    }
  }
  ReleaseDC(nullptr, screen);
  return green > 100 && red < 20   ? Shown::kGreen
         : red > 100 && green < 20 ? Shown::kRed
                                   : Shown::kNothing;
}

bool NotifyIcon(DWORD message, HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = window;
  data.uID = platform::kTrayIconId;
  return Shell_NotifyIconW(message, &data) != FALSE;
}

// Wine's notification area draws its icons into its own window and gives
// each one a tooltip of its own, whose tool covers the icon while it is
// shown and nothing once it is gone.
std::vector<ShownIcon> ShownIcons() {
  std::vector<ShownIcon> icons;
  HWND area = FindWindowW(L"Shell_TrayWnd", nullptr);
  DWORD process_id = 0;
  GetWindowThreadProcessId(area, &process_id);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (area == nullptr || process == nullptr) {
    return icons;
  }
  {
    wchar_t text[1024] = {};  // the longest text a tooltip hands out
    RemoteMemory remote(process, sizeof(TTTOOLINFOW) + sizeof text);
    for (HWND tooltip = nullptr;
         (tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
      TTTOOLINFOW info{};
      info.cbSize = sizeof info;
      info.lpszText = reinterpret_cast<wchar_t*>(remote.address() + sizeof info);
      DWORD_PTR found = 0;
      if (GetWindow(tooltip, GW_OWNER) != area || !remote.Write(0, &info, sizeof info) ||
          !remote.Write(sizeof info, text, sizeof text) ||
          !SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, 0,
                               reinterpret_cast<LPARAM>(remote.address()), SMTO_ABORTIFHUNG, 5000,
                               &found) ||
          found == 0 || !remote.Read(0, &info, sizeof info) || IsRectEmpty(&info.rect)) {
        continue;
      }
      MapWindowPoints(area, nullptr, reinterpret_cast<POINT*>(&info.rect), 2);
      ShownIcon icon{
          {(info.rect.left + info.rect.right) / 2, (info.rect.top + info.rect.bottom) / 2}, {}};
      if (SendMessageTimeoutW(tooltip, TTM_GETTEXTW, 1024,
                              reinterpret_cast<LPARAM>(remote.address()), SMTO_ABORTIFHUNG, 5000,
                              &found) &&
          remote.Read(sizeof info, text, sizeof text - sizeof(wchar_t))) {
        icon.tip = text;
      }
      icons.push_back(icon);
    }
  }
  CloseHandle(process);
  return icons;
}

int TabCount(HWND tab) {
  DWORD_PTR count = 0;
  return SendWithTimeout(tab, TCM_GETITEMCOUNT, 0, 0, &count) ? static_cast<int>(count) : -1;
}

int CurrentTab(HWND tab) {
  DWORD_PTR index = 0;
  return SendWithTimeout(tab, TCM_GETCURSEL, 0, 0, &index) ? static_cast<int>(index) : -1;
}

std::optional<std::wstring> TabCaption(HANDLE process, HWND tab, int index) {
  wchar_t text[256] = {};
  RemoteMemory remote(process, sizeof(TCITEMW) + sizeof text);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = reinterpret_cast<wchar_t*>(remote.address() + sizeof item);
  item.cchTextMax = 255;
  DWORD_PTR ok = 0;
  if (!remote.Write(0, &item, sizeof item) || !remote.Write(sizeof item, text, sizeof text) ||
      !SendWithTimeout(tab, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(remote.address()), &ok) ||
      ok == 0 || !remote.Read(sizeof item, text, sizeof text - sizeof(wchar_t))) {
    return std::nullopt;
  }
  return std::wstring(text);
}

bool SelectTab(HWND tab, int index) {
  for (int current = CurrentTab(tab); current != index; current = CurrentTab(tab)) {
    if (current < 0 || !PressKey(tab, current < index ? VK_RIGHT : VK_LEFT) ||
        !WaitUntil([&] { return CurrentTab(tab) != current; })) {
      return false;
    }
  }
  return true;
}

namespace {

struct WindowSearch {
  DWORD process_id;
  bool visible_only;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id && (!search->visible_only || IsWindowVisible(window))) {
    search->found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD process_id, bool visible_only) {
  WindowSearch search{process_id, visible_only, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD process_id, Millis timeout) {
  std::optional<MessageBoxInfo> box;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindowsOf(process_id, true)) {
          if (ClassNameOf(window) == L"#32770") {
            // A message box's text is the static control with id 0xFFFF.
            box =
                MessageBoxInfo{window, WindowText(window), WindowText(GetDlgItem(window, 0xFFFF))};
          }
        }
        return box.has_value();
      },
      timeout);
  return box;
}

bool AnswerMessageBox(const MessageBoxInfo& box) {
  HWND button = GetDlgItem(box.dialog, IDOK);
  return button != nullptr &&
         PostMessageW(box.dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button)) &&
         WaitUntil([&] { return !IsWindow(box.dialog); });
}

// ---------------------------------------------------------------- the program under test

bool ProgramUnderTest::Start(const StartOptions& options) {
  Kill();
  last_error_.clear();
  std::vector<RegistryValue> presets = options.presets;
  for (const auto& [name, text] : options.options) {
    presets.push_back({kOptionsKey, name, text});
  }
  for (const RegistryValue& preset : presets) {
    if (!WriteString(preset.key, preset.name, preset.text)) {
      last_error_ = "could not preset " + Narrow(preset.key) + "\\" + Narrow(preset.name);
      return false;
    }
  }
  const std::wstring folder = options.folder.empty() ? ProgramDir() : options.folder;
  const std::wstring path = folder + L"\\" + kProgramFileName;
  std::wstring command_line = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    last_error_ =
        "could not start " + Narrow(path) + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
  if (!options.wait_for_window) {
    return true;
  }
  // The window is created before its start-up code has run and shown after it.
  WaitUntil([&] {
    for (HWND window : TopLevelWindowsOf(pid_)) {
      if (ClassNameOf(window) == platform::kForm1ClassName) {
        main_window_ = window;
      }
    }
    return (main_window_ != nullptr && (IsWindowVisible(main_window_) || IsIconic(main_window_))) ||
           !IsRunning();
  });
  if (!IsRunning()) {
    last_error_ = "the program ended during its start-up";
  } else if (main_window_ == nullptr) {
    last_error_ = "no main window appeared";
  } else if (!IsWindowVisible(main_window_) && !IsIconic(main_window_)) {
    last_error_ = "the main window was not shown";
  } else if (WaitForInputIdle(process_, static_cast<DWORD>(kDefaultTimeout.count())) != 0) {
    last_error_ = "the program did not become idle";
  }
  return last_error_.empty();
}

bool ProgramUnderTest::IsRunning() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool ProgramUnderTest::WaitForExit(Millis timeout) {
  DWORD exit_code = 1;
  return process_ != nullptr &&
         WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0 &&
         GetExitCodeProcess(process_, &exit_code) && exit_code == 0;
}

bool ProgramUnderTest::Close() {
  return main_window_ != nullptr && PostMessageW(main_window_, WM_CLOSE, 0, 0) && WaitForExit();
}

void ProgramUnderTest::Kill() {
  if (process_ == nullptr) {
    return;
  }
  if (IsRunning()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
  pid_ = 0;
  main_window_ = nullptr;
}

std::string Narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string narrow(size > 0 ? size : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                      static_cast<int>(narrow.size()), nullptr, nullptr);
  return narrow;
}

}  // namespace quellnet::e2e
