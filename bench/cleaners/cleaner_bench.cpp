// Times "Clear Cache" of quellnet.exe, from the click to its message, on caches laid out as the
// browser lays them out, against a minimal deleter that walks the same tree by path
// (FindFirstFileW, DeleteFileW, RemoveDirectoryW) and against the system's "cmd /c rd /s /q",
// each on an identical tree built right before it, which goes first alternating from round to
// round; and "Clear Cache" of an earlier quellnet.exe in the same rounds when one is given. A
// figure counts only once the work is seen done: the message is the success text and nothing
// is left of the tree.
//
//   cleaner_bench.exe [ROUNDS [SHAPE...]]   (defaults: 3 rounds; 5000 20000 40000 deep)
//
// A SHAPE is a number of files in a cache as the browser keeps it ("Content.IE5" with a folder
// for about every 66 files, one in four with a folder below it), or "deep": 2,000 files on 100
// levels, far beyond MAX_PATH. Measures C:\Quellnet\quellnet.exe, and
// C:\QuellnetBefore\quellnet.exe with it when that exists; the trees live in
// C:\CleanerTests\Bench.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../architecture.h"
#include "../figures.h"
#include "harness.h"

namespace {

using namespace quellnet::e2e;
using namespace quellnet::bench;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kBench[] = L"C:\\CleanerTests\\Bench";
constexpr wchar_t kDone[] = L"Internet Cache Cleared !";

struct Shape {
  int files;
  bool deep;
};

struct Contender {
  const char* name;
  std::wstring program_folder;  // for quellnet.exe; empty for the others
  std::vector<double> ms{};
  std::vector<double> cpu_ms{};  // where it can be told
};

std::wstring Extended(const std::wstring& path) {
  return L"\\\\?\\" + path;
}

bool MakeFile(const std::wstring& path, bool read_only) {
  static const std::string content(700, 'x');
  const UniqueKernelHandle file(CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_NEW, read_only ? FILE_ATTRIBUTE_READONLY : 0,
                                            nullptr));
  DWORD written = 0;
  return file && WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                           nullptr);
}

bool MakeFolder(const std::wstring& path) {
  return CreateDirectoryW(Extended(path).c_str(), nullptr) != 0;
}

// A cache as the browser leaves it: a read-only desktop.ini, the index in
// "Content.IE5" and the cached files spread over its subfolders, every 25th
// read-only.
bool BuildCache(const std::wstring& cache, const Shape& shape) {
  const std::wstring content = cache + L"\\Content.IE5";
  if (!MakeFolders(cache) || !MakeFolder(content) || !MakeFile(cache + L"\\desktop.ini", true) ||
      !MakeFile(content + L"\\index.dat", false)) {
    return false;
  }
  std::vector<std::wstring> leaves;
  std::wstring level = content;
  const int folders = shape.deep ? 100 : std::max(1, shape.files / 66);
  for (int i = 0; i < folders; ++i) {
    wchar_t name[16];
    std::swprintf(name, 16, L"\\%08X", 0x1A2B3C00u + static_cast<unsigned>(i) * 7919u);
    std::wstring folder = (shape.deep ? level : content) + name;
    if (!MakeFolder(folder) || (!shape.deep && i % 4 == 0 && !MakeFolder(folder += L"\\sub"))) {
      return false;
    }
    leaves.push_back(level = folder);
  }
  for (int i = 0; i < shape.files; ++i) {
    wchar_t name[32];
    std::swprintf(name, 32, L"\\item%05d[1].htm", i);
    if (!MakeFile(leaves[static_cast<std::size_t>(i) % leaves.size()] + name, i % 25 == 0)) {
      return false;
    }
  }
  return true;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The minimal deleter: each folder listed by its path, each entry deleted by
// its path, a read-only file made writable first.
bool DeleteByPath(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  const UniqueFindHandle find(FindFirstFileW(Extended(folder + L"\\*").c_str(), &entry));
  bool deleted = static_cast<bool>(find);
  for (bool more = deleted; more; more = FindNextFileW(find.Get(), &entry)) {
    const std::wstring name = entry.cFileName;
    const std::wstring path = folder + L"\\" + name;
    if (name == L"." || name == L"..") {
      continue;
    }
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      deleted = DeleteByPath(path) && deleted;
    } else {
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesW(Extended(path).c_str(), FILE_ATTRIBUTE_NORMAL);
      }
      deleted = DeleteFileW(Extended(path).c_str()) && deleted;
    }
  }
  return RemoveDirectoryW(Extended(folder).c_str()) && deleted;
}

// Runs a command line to its end; its exit code, or -1. `cpu_ms` gets its
// processor time where the system can tell it.
int RunCommand(std::wstring command_line, double* cpu_ms = nullptr) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // In the bench folder, where nothing else can be lost.
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, kBench, &startup, &process)) {
    return -1;
  }
  const UniqueKernelHandle owned(process.hProcess);
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  if (cpu_ms != nullptr) {
    *cpu_ms = CpuMs(process.hProcess);
  }
  return GetExitCodeProcess(process.hProcess, &code) ? static_cast<int>(code) : -1;
}

// Under Wine, the processor time Linux counts for one of its processes, from
// the "stat" file at `stat` ("\\?\unix\proc\...", Wine's names for Linux
// paths), when its command name begins with `name`: user and system time,
// in the clock ticks of 10 ms that every Linux kernel reports there.
std::optional<double> UnixCpuMs(const std::wstring& stat, std::string_view name) {
  const UniqueKernelHandle file(
      CreateFileW(stat.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  char text[1024];
  DWORD size = 0;
  if (!file || !ReadFile(file.Get(), text, sizeof text, &size, nullptr)) {
    return std::nullopt;
  }
  const std::string line(text, size);
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
std::optional<double> WineServerCpuMs() {
  return UnixCpuMs(L"\\\\?\\unix\\proc\\self\\stat", "wineserver");
}

// Under Wine, the processor time of the running program whose Linux command
// name (its file name, cut to 15 characters) begins with `name`: the first
// one found.
std::optional<double> WineProgramCpuMs(std::string_view name) {
  WIN32_FIND_DATAW entry;
  const UniqueFindHandle find(FindFirstFileW(L"\\\\?\\unix\\proc\\*", &entry));
  std::optional<double> cpu_ms;
  for (bool more = static_cast<bool>(find); more && !cpu_ms;
       more = FindNextFileW(find.Get(), &entry)) {
    if (entry.cFileName[0] >= L'1' && entry.cFileName[0] <= L'9') {
      cpu_ms = UnixCpuMs(std::wstring(L"\\\\?\\unix\\proc\\") + entry.cFileName + L"\\stat", name);
    }
  }
  return cpu_ms;
}

// The processor time used so far by `process`, quellnet.exe or this bench,
// for the work of a clean: on Windows its own, which counts the file
// system's work as kernel time; under Wine its own and that of Wine's
// server, which does much of that work. The server's also holds the
// bench's own asking after the message, alike for every contender.
std::optional<double> WorkCpuMs(HANDLE process) {
  if (!UnderWine()) {
    return CpuMs(process);
  }
  const std::optional<double> own = process == GetCurrentProcess()
                                        ? std::optional<double>(CpuMs(process))
                                        : WineProgramCpuMs("quellnet.exe");
  const std::optional<double> server = WineServerCpuMs();
  if (!own || !server) {
    return std::nullopt;
  }
  return *own + *server;
}

// "Clear Cache" of the program in `folder` on `cache`: the time from the
// click to its message, once the message says the cache was cleared and
// nothing but the cache folder is left.
std::optional<double> TimeClearCache(const std::wstring& folder, const std::wstring& cache,
                                     std::optional<double>& cpu_ms) {
  ProgramUnderTest program;
  StartOptions start;
  start.folder = folder;
  start.presets = {{kShellFolders, L"Cache", cache}};
  if (!program.Start(start) || !program.SelectPage(2)) {
    std::printf("  quellnet.exe in %ls did not start: %s\n", folder.c_str(),
                program.LastError().c_str());
    return std::nullopt;
  }
  const std::optional<double> cpu_at_click = WorkCpuMs(program.Process());
  const Clock::time_point clicked = Clock::now();
  Click(program.Control(quellnet::app::kIdCommand1));
  const std::optional<MessageBoxInfo> box = program.WaitForMessageBox(std::chrono::seconds(1200));
  const double took = Ms(Clock::now() - clicked);
  cpu_ms = WorkCpuMs(program.Process());
  if (cpu_ms && cpu_at_click) {
    *cpu_ms -= *cpu_at_click;
  } else {
    cpu_ms.reset();
  }
  const bool emptied = box && box->text == kDone && Exists(cache) && Contents(cache).empty();
  if (box) {
    ProgramUnderTest::Answer(*box);
  }
  program.Close();
  if (!emptied) {
    std::printf("  quellnet.exe in %ls did not empty the cache: \"%s\", %zu entries left\n",
                folder.c_str(), box ? Narrow(box->text).c_str() : "(no message)",
                Contents(cache).size());
    return std::nullopt;
  }
  RemoveDirectoryW(Extended(cache).c_str());
  return took;
}

// One contender's turn on a fresh tree; false when its work was not done.
bool Turn(Contender& contender, const Shape& shape, const std::wstring& cache) {
  if (!BuildCache(cache, shape)) {
    std::printf("  could not build the tree %ls\n", cache.c_str());
    return false;
  }
  Sleep(2000);  // every contender meets its tree after the same pause
  std::optional<double> cpu_ms;
  std::optional<double> took;
  if (!contender.program_folder.empty()) {
    took = TimeClearCache(contender.program_folder, cache, cpu_ms);
  } else if (std::string(contender.name) == "by path") {
    const std::optional<double> cpu_before = WorkCpuMs(GetCurrentProcess());
    const Clock::time_point start = Clock::now();
    const bool deleted = DeleteByPath(cache);
    took = Ms(Clock::now() - start);
    cpu_ms = WorkCpuMs(GetCurrentProcess());
    if (cpu_ms && cpu_before) {
      *cpu_ms -= *cpu_before;
    } else {
      cpu_ms.reset();
    }
    if (!deleted || Exists(cache)) {
      std::printf("  the deleter by path left %ls\n", cache.c_str());
      took.reset();
    }
  } else {
    const Clock::time_point start = Clock::now();
    double rd_cpu_ms = 0;
    const int code = RunCommand(L"cmd /c rd /s /q \"" + cache + L"\"", &rd_cpu_ms);
    if (!UnderWine()) {
      cpu_ms = rd_cpu_ms;
    }
    took = Ms(Clock::now() - start);
    if (code != 0 || Exists(cache)) {
      std::printf("  rd /s /q left %ls (exit code %d)\n", cache.c_str(), code);
      took.reset();
    }
  }
  if (!took) {
    return false;
  }
  contender.ms.push_back(*took);
  if (cpu_ms) {
    contender.cpu_ms.push_back(*cpu_ms);
  }
  return true;
}

void Measure(std::vector<Contender> contenders, const Shape& shape, int rounds) {
  const int files = shape.files;
  if (shape.deep) {
    // Wine 8's rd, given a tree deeper than MAX_PATH, deletes what its
    // current folder holds instead, leaves the tree and says it succeeded.
    std::printf("\n(rd is left out of the deep tree: under Wine it does not delete one)");
    contenders.pop_back();
  }
  std::printf("\n%s: %d files%s, %d rounds, alternating\n", shape.deep ? "deep tree" : "cache",
              files, shape.deep ? " on 100 levels" : "", rounds);
  for (int round = 0; round < rounds; ++round) {
    std::printf("  round %d:", round + 1);
    for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
      Contender& contender =
          contenders[(turn + static_cast<std::size_t>(round)) % contenders.size()];
      const std::wstring cache =
          std::wstring(kBench) + L"\\" + std::to_wstring(turn) + L"\\INetCache";
      if (!Turn(contender, shape, cache)) {
        return;
      }
      std::printf(" %s %.0f ms;", contender.name, contender.ms.back());
    }
    std::printf("\n");
  }
  const std::size_t by_path_index = contenders.size() - (shape.deep ? 1 : 2);
  const double by_path = Median(contenders[by_path_index].ms);
  const double rd = shape.deep ? 0 : Median(contenders.back().ms);
  for (const Contender& contender : contenders) {
    // The fastest round is the one least disturbed by the rest of the machine.
    std::printf("  median %-12s %8.0f ms %7.3f ms/file (fastest %.3f)", contender.name,
                Median(contender.ms), Median(contender.ms) / files,
                *std::min_element(contender.ms.begin(), contender.ms.end()) / files);
    // Told for every round, or not at all: rd's is not told under Wine.
    if (contender.cpu_ms.size() == contender.ms.size()) {
      std::printf("  processor %7.3f ms/file", Median(contender.cpu_ms) / files);
    }
    std::printf("  / by path %.2f", Median(contender.ms) / by_path);
    if (rd > 0) {
      std::printf("  / rd %.2f", Median(contender.ms) / rd);
    }
    std::printf("\n");
  }
  if (contenders[1].program_folder.size() > 0) {
    std::printf("  now / before: %.3f", Median(contenders[0].ms) / Median(contenders[1].ms));
    if (contenders[0].cpu_ms.size() == contenders[0].ms.size() &&
        contenders[1].cpu_ms.size() == contenders[1].ms.size()) {
      std::printf(", processor %.3f", Median(contenders[0].cpu_ms) / Median(contenders[1].cpu_ms));
    }
    std::printf("\n");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
  std::vector<Shape> shapes;
  for (int arg = 2; arg < argc; ++arg) {
    shapes.push_back(std::wstring(argv[arg]) == L"deep"
                         ? Shape{2000, true}
                         : Shape{std::max(1, _wtoi(argv[arg])), false});
  }
  if (shapes.empty()) {
    shapes = {{5000, false}, {20000, false}, {40000, false}, {2000, true}};
  }
  std::vector<Contender> contenders = {{"quellnet now", kProgramDir}};
  if (GetFileAttributesW(L"C:\\QuellnetBefore\\quellnet.exe") != INVALID_FILE_ATTRIBUTES) {
    contenders.push_back({"before", L"C:\\QuellnetBefore"});
  }
  contenders.push_back({"by path", L""});
  contenders.push_back({"rd", L""});
  std::printf("measured: %s\n", quellnet::bench::kMeasuredArchitecture);
  if (!MakeFolders(kBench)) {
    std::printf("failed: could not make %ls\n", kBench);
    return 1;
  }
  std::vector<double> cmd_ms;
  for (int i = 0; i < 5; ++i) {
    const Clock::time_point start = Clock::now();
    RunCommand(L"cmd /c rem");
    cmd_ms.push_back(Ms(Clock::now() - start));
  }
  std::printf("starting cmd alone, part of every rd figure: %.0f ms\n", Median(cmd_ms));
  for (const Shape& shape : shapes) {
    Measure(contenders, shape, rounds);
  }
  return 0;
}
