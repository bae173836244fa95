// Message hooks that a test sets on the program's thread, to see what no
// window message tells another program:
// - WatchPostedNull (WH_GETMESSAGE): each time that thread takes a WM_NULL
//   that was posted to it, it signals the test's event
//   "QuellnetTestPostedNull". No system posts WM_NULL by itself; the program
//   does after its tray menu, so that the menu's next opening closes on a
//   click elsewhere.
// - WatchPointer (WH_CALLWNDPROCRET): after each WM_SETCURSOR that the test
//   sent, with the mouse message kTestMouseMessage, it signals
//   "QuellnetTestPointerHand" or "QuellnetTestPointerWait" when the thread
//   then shows the system's hand or hourglass, else
//   "QuellnetTestPointerOther"; the first time, "QuellnetTestUnprotected"
//   too if the program lacks a protection it asks for at its start.
#include <windows.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

// The mouse message of the test's WM_SETCURSOR; the pointer's own moves
// carry real ones.
constexpr WORD kTestMouseMessage = 0x7FFF;

static void Signal(const wchar_t* name) {
  if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name)) {
    SetEvent(event);
    CloseHandle(event);
  }
}

static LRESULT CALLBACK TakeMessage(int code, WPARAM removed, LPARAM message) {
  if (code == HC_ACTION && removed == PM_REMOVE &&
      reinterpret_cast<const MSG*>(message)->message == WM_NULL) {
    Signal(L"QuellnetTestPostedNull");
  }
  return CallNextHookEx(nullptr, code, removed, message);
}

// Once in the program: whether its search for a library by name alone still
// looks in its own folder, where the test put "search_probe.dll"; and, where
// the system keeps the policy (Windows 10 22H2 on; Wine answers nothing but
// zeros), whether it runs without RedirectionGuard (policy 16, flag 1).
static void ProbeProtections() {
  static bool probed = false;
  if (probed) {
    return;
  }
  probed = true;
  if (HMODULE found = LoadLibraryW(L"search_probe.dll")) {
    FreeLibrary(found);
    Signal(L"QuellnetTestUnprotected");
  }
  using GetPolicy = BOOL(WINAPI*)(HANDLE, int, void*, SIZE_T);
  const auto get_policy = reinterpret_cast<GetPolicy>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetProcessMitigationPolicy")));
  DWORD redirection = 0;
  if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") && get_policy &&
      get_policy(GetCurrentProcess(), 16, &redirection, sizeof redirection) &&
      (redirection & 1) == 0) {
    Signal(L"QuellnetTestUnprotected");
  }
}

static LRESULT CALLBACK AfterMessage(int code, WPARAM sent, LPARAM message) {
  const auto* sent_message = reinterpret_cast<const CWPRETSTRUCT*>(message);
  // Only the test's own, marked by a mouse message that no system sends.
  if (code == HC_ACTION && sent_message->message == WM_SETCURSOR &&
      HIWORD(sent_message->lParam) == kTestMouseMessage) {
    ProbeProtections();
    const HCURSOR shown = GetCursor();
    if (shown == LoadCursorW(nullptr, IDC_HAND)) {
      Signal(L"QuellnetTestPointerHand");
    } else if (shown == LoadCursorW(nullptr, IDC_WAIT)) {
      Signal(L"QuellnetTestPointerWait");
    } else {
      Signal(L"QuellnetTestPointerOther");
    }
  }
  return CallNextHookEx(nullptr, code, sent, message);
}

extern "C" __declspec(dllexport) HHOOK WatchPostedNull(DWORD thread) {
  return SetWindowsHookExW(WH_GETMESSAGE, TakeMessage, reinterpret_cast<HINSTANCE>(&__ImageBase),
                           thread);
}

extern "C" __declspec(dllexport) HHOOK WatchPointer(DWORD thread) {
  return SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMessage,
                           reinterpret_cast<HINSTANCE>(&__ImageBase), thread);
}
