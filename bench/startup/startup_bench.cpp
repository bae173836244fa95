// Start-up time of quellnet.exe against two yardsticks: the floor (a program
// that does only the platform work Quellnet's window needs: common controls,
// a tab control, a tray icon, the address) and a program that only opens an
// empty window. Each time runs from CreateProcess until the program has a
// visible top-level window, timed with QueryPerformanceCounter. The programs
// take turns in one run (so all see the same machine load); each is started
// once first, untimed, to warm the file cache.
//
//   startup_bench.exe PROGRAM.exe FLOOR.exe EMPTY.exe [RUNS]
//
// Prints the median, minimum and maximum of each, the ratios of the medians
// and of the minimums, each program's file size and its private memory once
// its window is shown.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "../architecture.h"

namespace {

struct Sample {
  double milliseconds = 0;
  SIZE_T private_bytes = 0;
  SIZE_T working_set = 0;
};

struct WindowSearch {
  DWORD process_id;
  bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id && IsWindowVisible(window)) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM parameter) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(parameter)) {
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

double Elapsed(const LARGE_INTEGER& start, const LARGE_INTEGER& frequency) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

// Starts the program, waits for its window, reads its memory and closes it.
bool Measure(const std::wstring& path, Sample* sample) {
  LARGE_INTEGER frequency;
  LARGE_INTEGER start;
  QueryPerformanceFrequency(&frequency);
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
  std::wstring command_line = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    std::fprintf(stderr, "cannot start %ls (error %lu)\n", path.c_str(), GetLastError());
    return false;
  }
  CloseHandle(process.hThread);
  WindowSearch search{process.dwProcessId, false};
  bool shown = false;
  while (Elapsed(start, frequency) < 30000) {
    search.found = false;
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      shown = true;
      break;
    }
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) {
      break;
    }
  }
  sample->milliseconds = Elapsed(start, frequency);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (shown &&
      GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory)) {
    // Windows fills both with the commit charge; Wine fills only PagefileUsage.
    sample->private_bytes = std::max(memory.PrivateUsage, memory.PagefileUsage);
    sample->working_set = memory.WorkingSetSize;
  }
  EnumWindows(CloseWindowsOf, static_cast<LPARAM>(process.dwProcessId));
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hProcess);
  if (!shown) {
    std::fprintf(stderr, "%ls showed no window\n", path.c_str());
  }
  return shown;
}

template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    return -1;
  }
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void Report(const wchar_t* label, const std::wstring& path, const std::vector<Sample>& samples) {
  std::vector<double> times;
  std::vector<SIZE_T> memory;
  std::vector<SIZE_T> working_sets;
  for (const Sample& sample : samples) {
    times.push_back(sample.milliseconds);
    memory.push_back(sample.private_bytes);
    working_sets.push_back(sample.working_set);
  }
  std::printf(
      "%-9ls median %6.1f ms (min %6.1f, max %6.1f)  file %7lld bytes  private %5.0f KiB  "
      "working set %5.0f KiB\n",
      label, Median(times), *std::min_element(times.begin(), times.end()),
      *std::max_element(times.begin(), times.end()), FileSize(path),
      static_cast<double>(Median(memory)) / 1024.0,
      static_cast<double>(Median(working_sets)) / 1024.0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: startup_bench PROGRAM.exe FLOOR.exe EMPTY.exe [RUNS]\n");
    return 2;
  }
  const wchar_t* labels[] = {L"quellnet", L"floor", L"empty"};
  const std::vector<std::wstring> programs = {argv[1], argv[2], argv[3]};
  const int runs = argc > 4 ? std::max(1, _wtoi(argv[4])) : 7;

  Sample ignored;
  for (const std::wstring& program : programs) {
    if (!Measure(program, &ignored)) {
      return 1;
    }
  }
  std::vector<std::vector<Sample>> samples(programs.size());
  for (int run = 0; run < runs; ++run) {
    for (std::size_t index = 0; index < programs.size(); ++index) {
      Sample sample;
      if (!Measure(programs[index], &sample)) {
        return 1;
      }
      samples[index].push_back(sample);
    }
  }
  std::printf("measured: %s\n", quellnet::bench::kMeasuredArchitecture);
  std::printf("start-up until the window is shown, %d runs each, taking turns:\n", runs);
  std::vector<std::vector<double>> times(programs.size());
  for (std::size_t index = 0; index < programs.size(); ++index) {
    Report(labels[index], programs[index], samples[index]);
    for (const Sample& sample : samples[index]) {
      times[index].push_back(sample.milliseconds);
    }
  }
  const double goals[] = {0, 1.10, 1.30};
  for (std::size_t index = 1; index < programs.size(); ++index) {
    // The fastest runs are the least disturbed by other work on the machine.
    std::printf("quellnet/%ls: ratio of medians %.2f, of minimums %.2f (goal <= %.2f)\n",
                labels[index], Median(times[0]) / Median(times[index]),
                *std::min_element(times[0].begin(), times[0].end()) /
                    *std::min_element(times[index].begin(), times[index].end()),
                goals[index]);
  }
  return 0;
}
