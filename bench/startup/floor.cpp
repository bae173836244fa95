// The floor of the start-up benchmark: the platform work that Quellnet's
// window cannot do without, and nothing of Quellnet's own. It loads the
// version 6 common controls (same manifest), opens a window of Quellnet's
// size holding a tab control with three pages and an edit box, adds an icon
// to the notification area and reads the adapters' IPv4 addresses, then
// shows the window. Built the way quellnet.exe is.
#include <windows.h>

#include <commctrl.h>
#include <iphlpapi.h>
#include <shellapi.h>

#include <vector>

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V1_SIZE;
    record.hWnd = window;
    record.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &record);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// The first adapter address, as Quellnet reads it.
void ShowAddress(HWND edit) {
  ULONG size = 0;
  if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW) {
    return;
  }
  std::vector<unsigned char> buffer(size);
  auto* adapters = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
  if (GetAdaptersInfo(adapters, &size) == NO_ERROR) {
    SetWindowTextA(edit, adapters->IpAddressList.IpAddress.String);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  if (!InitCommonControlsEx(&controls)) {
    return 1;
  }
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = L"QuellnetBenchFloor";
  if (RegisterClassW(&window_class) == 0) {
    return 1;
  }
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, 383, 378};
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowW(L"QuellnetBenchFloor", L"Floor", style, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              instance, nullptr);
  if (window == nullptr) {
    return 1;
  }
  HWND tab = CreateWindowW(WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 8, 96, 369,
                           249, window, nullptr, instance, nullptr);
  const wchar_t* captions[] = {L"Main", L"Preferences", L"Internet Options"};
  for (int page = 0; page < 3; ++page) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(captions[page]);
    TabCtrl_InsertItem(tab, page, &item);
  }
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 184, 136, 145,
                              21, window, nullptr, instance, nullptr);

  NOTIFYICONDATAW record{};
  record.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record.hWnd = window;
  record.uID = 1;
  record.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  record.uCallbackMessage = kTrayCallback;
  record.hIcon = window_class.hIcon;
  lstrcpynW(record.szTip, L"Floor", 64);
  Shell_NotifyIconW(NIM_ADD, &record);

  ShowAddress(edit);
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
