// What the user sees of long work: while quellnet.exe runs "Clear Cache" on a
// cache of 20,000 files in 376 folders, laid out as the browser keeps it
// (INetCache with its Content.IE5), and while a stand-in "Messenger"
// service hangs 30 s in its stop, a probe sends the main window a harmless
// message (WM_NULL) every 100 ms and records the longest time one waited for
// its answer. A session end sent during each is timed, and whether the
// options were saved is checked. "Clear Cache" is timed from the click to
// its message, in rounds without the probe (a window that can't answer
// leaves the probe's messages waiting, which might slow it down). A clean
// counts only once its message is the success text and the cache is empty.
//
//   responsiveness_bench.exe [ROUNDS]      (default 3 timed rounds per program)
//
// Measures C:\Quellnet\quellnet.exe, and C:\QuellnetBefore\quellnet.exe in
// turn with it when that exists. Prints figures; passes or fails nothing.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "../architecture.h"
#include "../figures.h"
#include "harness.h"
#include "tools/test_service.h"

namespace {

using namespace quellnet::e2e;
using namespace quellnet::bench;
using Clock = std::chrono::steady_clock;
using quellnet::app::kIdChkmess;
using quellnet::app::kIdCommand1;
using quellnet::app::kIdLabel2;

constexpr wchar_t kShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// Named and placed as the browser's cache, which is all the program empties.
constexpr wchar_t kCache[] = L"C:\\CleanerTests\\Responsiveness\\INetCache";
constexpr wchar_t kDone[] = L"Internet Cache Cleared !";
constexpr int kFiles = 20000;
constexpr int kSubfolders = 374;  // with the cache folder and Content.IE5: 376
constexpr DWORD kHangMs = 30000;
// Windows counts a window that leaves a message unanswered this long as hung.
constexpr UINT kHungAfterMs = 5000;

struct Program {
  const wchar_t* name;
  std::wstring folder;
};

// Sends WM_NULL every 100 ms until stopped; keeps the longest wait.
class Probe {
 public:
  explicit Probe(HWND window)
      : thread_([this, window] {
          while (!stop_) {
            const Clock::time_point sent = Clock::now();
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &ignored);
            const double waited = Ms(Clock::now() - sent);
            longest_ = std::max(longest_.load(), waited);
            std::this_thread::sleep_until(sent + std::chrono::milliseconds(100));
          }
        }) {}
  ~Probe() { Stop(); }
  double Stop() {
    stop_ = true;
    if (thread_.joinable()) {
      thread_.join();
    }
    return longest_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<double> longest_{0};
  std::thread thread_;
};

bool MakeFile(const std::wstring& path) {
  return WriteTextFile(path, std::string(700, 'x'));
}

bool BuildCache() {
  const std::wstring content = std::wstring(kCache) + L"\\Content.IE5";
  if (!MakeFolders(content) || !MakeFile(std::wstring(kCache) + L"\\desktop.ini") ||
      !MakeFile(content + L"\\index.dat")) {
    return false;
  }
  for (int i = 0; i < kFiles; ++i) {
    wchar_t name[64];
    std::swprintf(name, 64, L"\\%08X", 0x1A2B3C00u + static_cast<unsigned>(i % kSubfolders));
    const std::wstring folder = content + name;
    if ((i < kSubfolders && !MakeFolders(folder)) ||
        !MakeFile(folder + L"\\item" + std::to_wstring(i) + L"[1].htm")) {
      return false;
    }
  }
  return true;
}

void RemoveCache() {
  std::wstring command = L"cmd /c rd /s /q " + std::wstring(kCache);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

// Starts the program with "Run at Startup" on, then forgets the stored
// options, so that only a save brings them back.
bool StartForgetting(ProgramUnderTest& program, const Program& which) {
  ResetProgramState();
  StartOptions start;
  start.folder = which.folder;
  start.presets = {{kOptionsKey, L"StartUp", L"1"}, {kShellFolders, L"Cache", kCache}};
  if (!program.Start(start)) {
    std::printf("  %ls did not start: %s\n", which.name, program.LastError().c_str());
    return false;
  }
  ResetProgramState();
  return true;
}

// Sends the end of the session as Windows does and prints how long each
// message took and whether the options were saved by then.
void EndSession(ProgramUnderTest& program, const Program& which, const char* during) {
  HWND window = program.MainWindow();
  DWORD_PTR answer = 0;
  Clock::time_point sent = Clock::now();
  const bool queried = SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                           SMTO_NORMAL, kHungAfterMs, &answer) != 0;
  const double query_ms = Ms(Clock::now() - sent);
  sent = Clock::now();
  const bool ended = queried && SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                                    SMTO_NORMAL, kHungAfterMs, &answer) != 0;
  const double end_ms = Ms(Clock::now() - sent);
  const bool saved = ReadUserString(kOptionsKey, L"StartUp") == L"1";
  std::printf("  %-7ls session end during %s: WM_QUERYENDSESSION %s in %.0f ms, WM_ENDSESSION %s",
              which.name, during, queried ? "answered" : "NOT answered", query_ms,
              queried ? (ended ? "answered" : "NOT answered") : "not sent");
  if (queried) {
    std::printf(" in %.0f ms", end_ms);
  }
  std::printf("; options %s\n", saved ? "saved" : "NOT saved");
  program.Kill();
}

// One "Clear Cache": its time from click to message, and with `probed` the
// longest wait.
bool CleanOnce(const Program& which, bool probed, double& clean_ms, double& longest_ms,
               double& cpu_ms) {
  ProgramUnderTest program;
  if (!BuildCache() || !StartForgetting(program, which) || !program.SelectPage(2)) {
    return false;
  }
  Sleep(1000);
  std::optional<Probe> probe;
  if (probed) {
    probe.emplace(program.MainWindow());
  }
  const double cpu_at_click = CpuMs(program.Process());
  const Clock::time_point clicked = Clock::now();
  if (!Click(program.Control(kIdCommand1))) {
    return false;
  }
  const auto box = program.WaitForMessageBox(std::chrono::seconds(300));
  clean_ms = Ms(Clock::now() - clicked);
  cpu_ms = CpuMs(program.Process()) - cpu_at_click;
  longest_ms = probe ? probe->Stop() : 0;
  // A figure counts only for a clean seen done: the success text, and
  // nothing but the emptied cache folder left.
  const bool done = box && box->text == kDone && Contents(kCache).empty() &&
                    GetFileAttributesW(kCache) != INVALID_FILE_ATTRIBUTES;
  if (!done) {
    std::printf("  %ls did not empty the cache: \"%s\", %zu entries left\n", which.name,
                box ? Narrow(box->text).c_str() : "(no message)", Contents(kCache).size());
  }
  if (box) {
    ProgramUnderTest::Answer(*box);
  }
  program.Close();
  RemoveCache();
  return done;
}

void SessionEndDuringClean(const Program& which) {
  ProgramUnderTest program;
  if (BuildCache() && StartForgetting(program, which) && program.SelectPage(2) &&
      Click(program.Control(kIdCommand1))) {
    Sleep(1000);
    EndSession(program, which, "Clear Cache");
  }
  RemoveCache();
}

bool InstallHangingService() {
  return quellnet::tools::InstallTestService(kHangMs) == 0 && quellnet::tools::StartTestService();
}

void RemoveHangingService() {
  WaitUntil([] { return quellnet::tools::TestServiceState() == SERVICE_STOPPED; },
            std::chrono::seconds(40));
  quellnet::tools::DeleteTestService();
}

void ServiceHang(const Program& which) {
  ProgramUnderTest program;
  if (!InstallHangingService() || !StartForgetting(program, which)) {
    std::printf("  %ls: the service or the program did not start\n", which.name);
    return;
  }
  Probe probe(program.MainWindow());
  const Clock::time_point clicked = Clock::now();
  Click(program.Control(kIdChkmess));
  // Any status: a stop that outlasts the program's 30 s wait shows "PC Not
  // Protected !".
  const bool shown = WaitUntil([&] { return !WindowText(program.Control(kIdLabel2)).empty(); },
                               std::chrono::seconds(60));
  const double took = Ms(Clock::now() - clicked);
  std::printf(
      "  %-7ls %d s service hang: click to status %.0f ms%s, longest unanswered wait %.0f ms\n",
      which.name, static_cast<int>(kHangMs / 1000), took, shown ? "" : " (never shown)",
      probe.Stop());
  program.Close();
  RemoveHangingService();

  ProgramUnderTest ending;
  if (InstallHangingService() && StartForgetting(ending, which) &&
      Click(ending.Control(kIdChkmess))) {
    Sleep(1000);
    EndSession(ending, which, "the service hang");
  }
  RemoveHangingService();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  quellnet::tools::ServeIfStartedAsService();
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
  std::vector<Program> programs = {{L"now", kProgramDir}};
  if (GetFileAttributesW(L"C:\\QuellnetBefore\\quellnet.exe") != INVALID_FILE_ATTRIBUTES) {
    programs.push_back({L"before", L"C:\\QuellnetBefore"});
  }
  std::printf("measured: %s\n", quellnet::bench::kMeasuredArchitecture);
  std::printf("Clear Cache of %d files in %d folders, %d rounds, alternating:\n", kFiles,
              kSubfolders + 2, rounds);
  std::vector<std::vector<double>> times(programs.size());
  std::vector<std::vector<double>> cpu_times(programs.size());
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t turn = 0; turn < programs.size(); ++turn) {
      const std::size_t index = (turn + static_cast<std::size_t>(round)) % programs.size();
      double clean_ms = 0;
      double longest_ms = 0;
      double cpu_ms = 0;
      if (!CleanOnce(programs[index], false, clean_ms, longest_ms, cpu_ms)) {
        continue;
      }
      times[index].push_back(clean_ms);
      cpu_times[index].push_back(cpu_ms);
      std::printf("  round %d %-7ls click to message %.0f ms", round + 1, programs[index].name,
                  clean_ms);
      std::printf(UnderWine() ? "\n" : ", processor time %.0f ms\n", cpu_ms);
    }
  }
  for (std::size_t index = 0; index < programs.size(); ++index) {
    std::printf("  median %-7ls click to message %.0f ms", programs[index].name,
                Median(times[index]));
    std::printf(UnderWine() ? "\n" : ", processor time %.0f ms\n", Median(cpu_times[index]));
  }
  if (programs.size() == 2 && !times[0].empty() && !times[1].empty()) {
    std::printf("  ratio now / before (medians): click to message %.3f\n",
                Median(times[0]) / Median(times[1]));
  }
  if (UnderWine()) {
    std::printf(
        "  (processor times are not told under Wine: it answers GetProcessTimes for\n"
        "   another process with the caller's own)\n");
  }
  // Probed in every round, the programs taking turns at going first, so that
  // a machine that slows down or warms up over the run favours neither.
  std::printf("Clear Cache with the probe, %d rounds, alternating:\n", rounds);
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t turn = 0; turn < programs.size(); ++turn) {
      const Program& which = programs[(turn + static_cast<std::size_t>(round)) % programs.size()];
      double clean_ms = 0;
      double longest_ms = 0;
      double cpu_ms = 0;
      if (CleanOnce(which, true, clean_ms, longest_ms, cpu_ms)) {
        std::printf("  round %d %-7ls click to message %.0f ms, longest unanswered wait %.0f ms\n",
                    round + 1, which.name, clean_ms, longest_ms);
      }
    }
  }
  for (const Program& which : programs) {
    SessionEndDuringClean(which);
  }
  std::printf("Messenger service that hangs in its stop:\n");
  for (const Program& which : programs) {
    ServiceHang(which);
  }
  return 0;
}
