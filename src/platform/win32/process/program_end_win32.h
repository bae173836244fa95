// Waiting for another program to end: on its process where that can be
// waited for, else until its window is gone (a process run with other rights
// can't be opened, and its window goes just before it ends). The second
// start and the installer's helper both wait this way for a running copy.
#pragma once

#include <functional>

#include <windows.h>

namespace quellnet::platform::win32 {

enum class WaitStep {
  kSignalled,  // the object waited for is signalled
  kGoOn,       // not yet: wait another step
  kGiveUp,     // the caller's time is up
};

// One step of the wait: waits a while for `object` (nothing but the time when
// nullptr) and says how it went.
using WaitStepper = std::function<WaitStep(HANDLE object)>;

// Waits, step by step, for the end of the program that owns `window`, on
// `process` (opened with SYNCHRONIZE) when it is not nullptr. True once it
// has ended, false when a step gave up first.
bool WaitForProgramEnd(HWND window, HANDLE process, const WaitStepper& step);

}  // namespace quellnet::platform::win32
