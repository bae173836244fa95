// Windows and controls of another process: texts, rectangles, clicks, keys,
// the tab control, the keyboard focus and message boxes.
#include "harness.h"

#include <commctrl.h>

namespace quellnet::e2e {

namespace {

// How long one message to the program may take before the program counts as hung.
constexpr UINT kMessageTimeoutMs = 5000;

bool SendWithTimeout(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR* result) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             result != nullptr ? result : &ignored) != 0;
}

// Memory allocated in another process, for messages whose parameter points to
// a structure (the system copies such parameters only for standard messages).
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size)
      : process_(process),
        address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
        size_(size) {}
  ~RemoteBuffer() {
    if (address_ != nullptr) {
      VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool valid() const { return address_ != nullptr; }
  void* address() const { return address_; }
  bool Write(size_t offset, const void* data, size_t size) const {
    SIZE_T written = 0;
    return offset + size <= size_ &&
           WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size,
                              &written) &&
           written == size;
  }
  bool Read(size_t offset, void* data, size_t size) const {
    SIZE_T read = 0;
    return offset + size <= size_ &&
           ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &read) &&
           read == size;
  }

 private:
  HANDLE process_;
  void* address_;
  size_t size_;
};

struct EnumState {
  DWORD process_id;
  bool visible_only;
  std::vector<HWND>* windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
  auto* state = reinterpret_cast<EnumState*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == state->process_id && (!state->visible_only || IsWindowVisible(window))) {
    state->windows->push_back(window);
  }
  return TRUE;
}

}  // namespace

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
  return length > 0 ? std::wstring(name, length) : std::wstring();
}

RECT RectIn(HWND window, HWND reference) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) {
    return RECT{};
  }
  MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::optional<int> CheckState(HWND button) {
  DWORD_PTR state = 0;
  if (!SendWithTimeout(button, BM_GETCHECK, 0, 0, &state)) {
    return std::nullopt;
  }
  return static_cast<int>(state);
}

LONG StyleOf(HWND window) {
  return GetWindowLongW(window, GWL_STYLE);
}
LONG ExStyleOf(HWND window) {
  return GetWindowLongW(window, GWL_EXSTYLE);
}

bool Click(HWND button) {
  return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

bool ClickAt(HWND window, POINT point) {
  const LPARAM position = MAKELPARAM(point.x, point.y);
  return PostMessageW(window, WM_MOUSEMOVE, 0, position) &&
         PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, position) &&
         PostMessageW(window, WM_LBUTTONUP, 0, position);
}

bool MouseClickAt(HWND window, POINT point) {
  if (!ClientToScreen(window, &point)) {
    return false;
  }
  // Absolute mouse positions run from 0 to 65535 across the screen.
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  if (width < 2 || height < 2) {
    return false;
  }
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, width - 1);
    input.mi.dy = MulDiv(point.y, 65535, height - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

bool PressKey(HWND target, UINT virtual_key) {
  const UINT scan_code = MapVirtualKeyW(virtual_key, 0);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan_code) << 16);
  const LPARAM up = down | (1 << 30) | (1u << 31);
  return PostMessageW(target, WM_KEYDOWN, virtual_key, down) &&
         PostMessageW(target, WM_KEYUP, virtual_key, up);
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
  constexpr int kCapacity = 256;
  RemoteBuffer remote(process, sizeof(TCITEMW) + kCapacity * sizeof(wchar_t));
  if (!remote.valid()) {
    return std::nullopt;
  }
  auto* remote_text =
      reinterpret_cast<wchar_t*>(static_cast<char*>(remote.address()) + sizeof(TCITEMW));
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = remote_text;
  item.cchTextMax = kCapacity;
  const wchar_t empty = L'\0';
  DWORD_PTR ok = 0;
  if (!remote.Write(0, &item, sizeof item) || !remote.Write(sizeof item, &empty, sizeof empty) ||
      !SendWithTimeout(tab, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(remote.address()), &ok) ||
      ok == 0 || !remote.Read(0, &item, sizeof item)) {
    return std::nullopt;
  }
  // The control copies the caption into the buffer; read it from wherever
  // the returned item points, in case it answers with its own copy.
  wchar_t text[kCapacity] = {};
  SIZE_T read = 0;
  if (item.pszText == remote_text) {
    if (!remote.Read(sizeof item, text, sizeof text - sizeof(wchar_t))) {
      return std::nullopt;
    }
  } else if (item.pszText == nullptr || !ReadProcessMemory(process, item.pszText, text,
                                                           sizeof text - sizeof(wchar_t), &read)) {
    return std::nullopt;
  }
  return std::wstring(text);
}

std::optional<RECT> TabItemRect(HANDLE process, HWND tab, int index) {
  RemoteBuffer remote(process, sizeof(RECT));
  RECT rect{};
  DWORD_PTR ok = 0;
  if (!remote.valid() ||
      !SendWithTimeout(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote.address()),
                       &ok) ||
      ok == 0 || !remote.Read(0, &rect, sizeof rect)) {
    return std::nullopt;
  }
  return rect;
}

bool SelectTab(HANDLE process, HWND tab, int index, Millis timeout) {
  if (CurrentTab(tab) == index) {
    return true;
  }
  const std::optional<RECT> rect = TabItemRect(process, tab, index);
  if (!rect) {
    return false;
  }
  const POINT centre{(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2};
  if (!ClickAt(tab, centre)) {
    return false;
  }
  // The control changes the selection and notifies its parent within one
  // message, so once the new selection answers, the page has been switched.
  return WaitUntil([&] { return CurrentTab(tab) == index; }, timeout);
}

std::vector<COLORREF> ScreenPixelsOf(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect) || rect.right <= rect.left || rect.bottom <= rect.top) {
    return {};
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) {
    return {};
  }
  std::vector<COLORREF> pixels;
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (memory != nullptr && bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)) {
      GdiFlush();
      const auto* quads = static_cast<const RGBQUAD*>(bits);
      pixels.reserve(static_cast<size_t>(width) * height);
      for (int i = 0; i < width * height; ++i) {
        pixels.push_back(RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue));
      }
    }
    SelectObject(memory, old);
  }
  if (bitmap != nullptr) {
    DeleteObject(bitmap);
  }
  if (memory != nullptr) {
    DeleteDC(memory);
  }
  ReleaseDC(nullptr, screen);
  return pixels;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (thread == 0 || !GetGUIThreadInfo(thread, &info)) {
    return nullptr;
  }
  return info.hwndFocus;
}

HWND ForegroundWindow() {
  return GetForegroundWindow();
}

std::vector<HWND> TopLevelWindowsOf(DWORD process_id, bool visible_only) {
  std::vector<HWND> windows;
  EnumState state{process_id, visible_only, &windows};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
  return windows;
}

std::optional<MessageBoxInfo> FindMessageBox(DWORD process_id) {
  for (HWND window : TopLevelWindowsOf(process_id, true)) {
    if (ClassNameOf(window) != L"#32770") {
      continue;
    }
    MessageBoxInfo box;
    box.dialog = window;
    box.caption = WindowText(window);
    // A message box's text is the static control with id 0xFFFF.
    if (HWND text = GetDlgItem(window, 0xFFFF)) {
      box.text = WindowText(text);
    }
    return box;
  }
  return std::nullopt;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD process_id, Millis timeout) {
  std::optional<MessageBoxInfo> box;
  WaitUntil(
      [&] {
        box = FindMessageBox(process_id);
        return box.has_value();
      },
      timeout);
  return box;
}

bool AnswerMessageBox(const MessageBoxInfo& box, int button_id, Millis timeout) {
  HWND button = GetDlgItem(box.dialog, button_id);
  if (button == nullptr || !PostMessageW(box.dialog, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED),
                                         reinterpret_cast<LPARAM>(button))) {
    return false;
  }
  return WaitUntil([&] { return !IsWindow(box.dialog); }, timeout);
}

}  // namespace quellnet::e2e
