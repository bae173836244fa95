// What the benchmarks compute from their rounds: times in milliseconds, the
// median of a round's figures, and a process's processor time where the
// system tells it truly.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace quellnet::bench {

inline double Ms(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

inline double Median(std::vector<double> values) {
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Under Wine 8 GetProcessTimes tells the caller's own times whatever process
// it is asked about, so there only a benchmark's own time can be told.
inline bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// The processor time `process` has used so far, user and kernel; 0 when the
// system does not tell it. On a busy machine it moves with the load as the
// clock's figure does: it is printed beside that, not instead of it.
inline double CpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) {
    return 0;
  }
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

}  // namespace quellnet::bench
