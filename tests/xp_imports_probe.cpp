// A program that imports what neither import check lets through: a function
// Windows XP lacks (GetTickCount64 came with Vista), and a library that is
// not among the system's known ones (the IP helper). Built, never run.
#include <windows.h>

#include <iphlpapi.h>

extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64();

int main() {
  ULONG size = 0;
  return static_cast<int>((GetTickCount64() + GetAdaptersInfo(nullptr, &size)) & 1);
}
