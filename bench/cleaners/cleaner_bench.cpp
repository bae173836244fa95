// Times "Clear Cache" on a cache-shaped tree against the system's own
// "cmd /c rd /s /q" on an identical tree, alternating which goes first, and
// prints each round and the medians.
//
//   cleaner_bench.exe [ROUNDS [FILES [FOLDERS]]]   (defaults 5, 20000, 300)
//
// The cleaner is the program's own code: the cache cleaner with the Win32
// file system, its folder found through the tests' in-memory registry. Only the trees
// below C:\QuellnetBench are created and deleted.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../architecture.h"

#include "cleaners/browser_cleaner.h"
#include "fakes/fake_controls.h"
#include "fakes/fake_registry.h"
#include "platform/win32/factories.h"

namespace {

using namespace quellnet;

constexpr wchar_t kBenchRoot[] = L"C:\\QuellnetBench";

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER count;
  ::QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool MakeFile(const std::wstring& path, bool read_only) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  static const std::string content(700, 'x');
  DWORD written = 0;
  const bool ok =
      ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) != 0;
  ::CloseHandle(file);
  return ok;
}

// A cache as the browser leaves it: a few files in the cache folder, an
// index in "Content.IE5" and the cached files spread over its subfolders
// with one level below some of them; every 25th file read-only.
bool BuildTree(const std::wstring& cache, int files, int folders) {
  if (!::CreateDirectoryW(cache.c_str(), nullptr)) {
    return false;
  }
  const std::wstring content = cache + L"\\Content.IE5";
  bool ok = ::CreateDirectoryW(content.c_str(), nullptr) &&
            MakeFile(cache + L"\\desktop.ini", true) && MakeFile(content + L"\\index.dat", false);
  std::vector<std::wstring> leaves;
  for (int i = 0; ok && i < folders; ++i) {
    wchar_t name[16];
    std::swprintf(name, 16, L"\\%08X", 0x1A2B3C00u + static_cast<unsigned>(i) * 7919u);
    std::wstring folder = content + name;
    ok = ::CreateDirectoryW(folder.c_str(), nullptr) != 0;
    if (i % 4 == 0 && ok) {
      folder += L"\\sub";
      ok = ::CreateDirectoryW(folder.c_str(), nullptr) != 0;
    }
    leaves.push_back(folder);
  }
  for (int i = 0; ok && i < files; ++i) {
    wchar_t name[32];
    std::swprintf(name, 32, L"\\item%05d[1].htm", i);
    ok = MakeFile(leaves[static_cast<std::size_t>(i % folders)] + name, i % 25 == 0);
  }
  return ok;
}

bool Exists(platform::FileSystem&, const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a command line to its end; its exit code, or -1.
int RunCommand(std::wstring command_line) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process)) {
    return -1;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  const bool got = ::GetExitCodeProcess(process.hProcess, &code) != 0;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return got ? static_cast<int>(code) : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int Fail(const char* what) {
  std::printf("failed: %s\n", what);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  const int files = argc > 2 ? std::max(1, _wtoi(argv[2])) : 20000;
  const int folders = argc > 3 ? std::max(1, _wtoi(argv[3])) : 300;
  const std::wstring cleaner_cache = std::wstring(kBenchRoot) + L"\\cleaner";
  const std::wstring rd_cache = std::wstring(kBenchRoot) + L"\\rd";

  std::unique_ptr<platform::FileSystem> file_system = platform::win32::CreateFileSystem();
  if (Exists(*file_system, kBenchRoot) &&
      RunCommand(L"cmd /c rd /s /q " + std::wstring(kBenchRoot)) != 0) {
    return Fail("removing an old bench folder");
  }
  if (!::CreateDirectoryW(kBenchRoot, nullptr)) {
    return Fail("creating the bench folder");
  }
  fakes::FakeRegistry registry;
  registry.Put(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"Cache",
               cleaner_cache);
  fakes::FakeMainWindow window;
  cleaners::BrowserCleaner cleaner(cleaners::kCacheJob, window, window, registry, *file_system);

  std::printf("measured: %s\n", bench::kMeasuredArchitecture);
  std::printf("tree: %d files in %d folders (+%d nested), %d rounds, alternating\n", files,
              folders + 1, (folders + 3) / 4, rounds);
  std::vector<double> cleaner_ms;
  std::vector<double> rd_ms;
  std::vector<double> cmd_start_ms;
  for (int round = 0; round < rounds; ++round) {
    double cleaner_time = 0;
    double rd_time = 0;
    for (int turn = 0; turn < 2; ++turn) {
      // Each tree is built right before its own deletion and given the same
      // pause, so both tools meet a tree in the same state; which goes first
      // alternates from round to round.
      const bool cleaner_turn = (turn == 0) == (round % 2 == 0);
      if (!BuildTree(cleaner_turn ? cleaner_cache : rd_cache, files, folders)) {
        return Fail("building a tree");
      }
      ::Sleep(2000);
      if (cleaner_turn) {
        window.messages.clear();
        const double start = Now();
        cleaner.Run();
        cleaner_time = Now() - start;
        if (window.messages.size() != 1 || window.messages[0].text != L"Internet Cache Cleared !" ||
            Exists(*file_system, cleaner_cache + L"\\Content.IE5") ||
            !Exists(*file_system, cleaner_cache)) {
          return Fail("the cleaner did not empty its tree");
        }
      } else {
        const double start = Now();
        const int code = RunCommand(L"cmd /c rd /s /q " + rd_cache);
        rd_time = Now() - start;
        if (code != 0 || Exists(*file_system, rd_cache)) {
          return Fail("rd did not delete its tree");
        }
      }
    }
    // What starting cmd alone costs, to tell the deletion from the start-up.
    const double start = Now();
    RunCommand(L"cmd /c rem");
    const double cmd_time = Now() - start;
    // The cleaner keeps its cache folder; remove it for the next round.
    if (!::RemoveDirectoryW(cleaner_cache.c_str())) {
      return Fail("removing the emptied cache folder");
    }
    cleaner_ms.push_back(cleaner_time);
    rd_ms.push_back(rd_time);
    cmd_start_ms.push_back(cmd_time);
    std::printf("round %d (%s first): cleaner %.0f ms, rd /s /q %.0f ms, cmd start-up %.0f ms\n",
                round + 1, round % 2 == 0 ? "cleaner" : "rd", cleaner_time, rd_time, cmd_time);
  }
  const double cleaner_median = Median(cleaner_ms);
  const double rd_median = Median(rd_ms);
  const double cmd_median = Median(cmd_start_ms);
  std::printf("median: cleaner %.0f ms, rd /s /q %.0f ms, cmd start-up %.0f ms\n", cleaner_median,
              rd_median, cmd_median);
  std::printf("ratio cleaner / rd: %.2f (goal <= 1.25); against rd without cmd start-up: %.2f\n",
              cleaner_median / rd_median, cleaner_median / (rd_median - cmd_median));
  // Empty by now; a failure leaves an empty folder.
  ::RemoveDirectoryW(kBenchRoot);
  return 0;
}
