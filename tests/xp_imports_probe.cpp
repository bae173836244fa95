// A program that imports a function Windows XP lacks (GetTickCount64 came
// with Vista); the import check must reject it. Built, never run.
#include <windows.h>

extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64();

int main() {
  return static_cast<int>(GetTickCount64() & 1);
}
