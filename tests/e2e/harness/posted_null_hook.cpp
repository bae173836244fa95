// A message hook (WH_GETMESSAGE) that a test sets on the program's thread
// through WatchPostedNull: each time that thread takes a WM_NULL that was
// posted to it, it signals the test's event "QuellnetTestPostedNull". No
// system posts WM_NULL by itself; the program does after its tray menu, so
// that the menu's next opening closes on a click elsewhere.
#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

static LRESULT CALLBACK TakeMessage(int code, WPARAM removed, LPARAM message) {
  if (code == HC_ACTION && removed == PM_REMOVE &&
      reinterpret_cast<const MSG*>(message)->message == WM_NULL) {
    if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"QuellnetTestPostedNull")) {
      SetEvent(event);
      CloseHandle(event);
    }
  }
  return CallNextHookEx(nullptr, code, removed, message);
}

extern "C" __declspec(dllexport) HHOOK WatchPostedNull(DWORD thread) {
  return SetWindowsHookExW(WH_GETMESSAGE, TakeMessage, reinterpret_cast<HINSTANCE>(&__ImageBase),
                           thread);
}
