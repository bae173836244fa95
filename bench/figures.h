// What the benchmarks compute from their rounds: times in milliseconds, the
// median of a round's figures, and a process's processor time where the
// system tells it truly.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
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

// Under Wine, the processor time Linux counts for one of its processes, from
// the "stat" file at `stat` ("\\?\unix\proc\...", Wine's names for Linux
// paths), when its command name begins with `name`: user and system time,
// in the clock ticks of 10 ms that every Linux kernel reports there.
inline std::optional<double> UnixCpuMs(const std::wstring& stat, std::string_view name) {
  const HANDLE file =
      CreateFileW(stat.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  char text[1024];
  DWORD size = 0;
  const bool read = ReadFile(file, text, sizeof text, &size, nullptr) != 0;
  CloseHandle(file);
  const std::string line(text, read ? size : 0);
  // "pid (command) state ..." with utime and stime the 12th and 13th fields
  // after the command, which may itself hold blanks and parentheses.
  const std::size_t open = line.find('('), close = line.rfind(')');
  unsigned long long user = 0, system = 0;
  if (open == std::string::npos || close == std::string::npos ||
      line.compare(open + 1, name.size(), name) != 0 ||
      std::sscanf(line.c_str() + close + 1,
                  " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user, &system) != 2) {
    return std::nullopt;
  }
  return static_cast<double>(user + system) * 10.0;
}

// Under Wine, the processor time of its server, which does much of every
// program's work with files. The server opens files for the programs it
// serves, so the "self" it opens is its own.
inline std::optional<double> WineServerCpuMs() {
  return UnixCpuMs(L"\\\\?\\unix\\proc\\self\\stat", "wineserver");
}

// Under Wine, the processor time of the running program whose Linux command
// name (its file name, cut to 15 characters) begins with `name`: the first
// one found.
inline std::optional<double> WineProgramCpuMs(std::string_view name) {
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileW(L"\\\\?\\unix\\proc\\*", &entry);
  std::optional<double> cpu_ms;
  for (bool more = find != INVALID_HANDLE_VALUE; more && !cpu_ms;
       more = FindNextFileW(find, &entry)) {
    if (entry.cFileName[0] >= L'1' && entry.cFileName[0] <= L'9') {
      cpu_ms = UnixCpuMs(std::wstring(L"\\\\?\\unix\\proc\\") + entry.cFileName + L"\\stat", name);
    }
  }
  if (find != INVALID_HANDLE_VALUE) {
    FindClose(find);
  }
  return cpu_ms;
}

}  // namespace quellnet::bench
