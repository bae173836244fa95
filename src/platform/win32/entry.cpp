// Program entry: placeholder window until the main window is written.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  MessageBoxW(nullptr, L"Quellnet", L"Quellnet", MB_OK);
  return 0;
}
