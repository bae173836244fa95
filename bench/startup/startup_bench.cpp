// Start-up time of quellnet.exe against a program that only opens an empty
// window: from CreateProcess until the program has a visible top-level
// window, timed with QueryPerformanceCounter. The two programs take turns in
// one run (so both see the same machine load); each is started once first,
// untimed, to warm the file cache.
//
//   startup_bench.exe PROGRAM.exe BASELINE.exe [RUNS]
//
// Prints the median, minimum and maximum of each, the ratio of the medians,
// each program's file size and its private memory once its window is shown.
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
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench PROGRAM.exe BASELINE.exe [RUNS]\n");
    return 2;
  }
  const std::wstring program = argv[1];
  const std::wstring baseline = argv[2];
  const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 7;

  Sample ignored;
  if (!Measure(program, &ignored) || !Measure(baseline, &ignored)) {
    return 1;
  }
  std::vector<Sample> program_samples;
  std::vector<Sample> baseline_samples;
  for (int run = 0; run < runs; ++run) {
    Sample sample;
    if (!Measure(program, &sample)) {
      return 1;
    }
    program_samples.push_back(sample);
    if (!Measure(baseline, &sample)) {
      return 1;
    }
    baseline_samples.push_back(sample);
  }
  std::printf("measured: %s\n", quellnet::bench::kMeasuredArchitecture);
  std::printf("start-up until the window is shown, %d runs each, taking turns:\n", runs);
  Report(L"quellnet", program, program_samples);
  Report(L"empty", baseline, baseline_samples);
  std::vector<double> program_times;
  std::vector<double> baseline_times;
  for (int run = 0; run < runs; ++run) {
    program_times.push_back(program_samples[run].milliseconds);
    baseline_times.push_back(baseline_samples[run].milliseconds);
  }
  std::printf("ratio of medians quellnet/empty: %.2f (goal <= 1.25)\n",
              Median(program_times) / Median(baseline_times));
  // The fastest runs are the least disturbed by other work on the machine.
  std::printf("ratio of minimums quellnet/empty: %.2f\n",
              *std::min_element(program_times.begin(), program_times.end()) /
                  *std::min_element(baseline_times.begin(), baseline_times.end()));
  return 0;
}
