// How long one click of the protection switch takes, from the click to the
// status caption shown, against how long the service itself takes to stop.
//
// The program registers itself as a stand-in "Messenger" service whose stop
// takes a chosen time, starts quellnet.exe, and in each round times that
// stop asked directly through the Service Control Manager and clicks of the
// switch, in turn. It prints the figures; it passes or fails nothing.
//
//   switch_bench.exe [ROUNDS]      (default 10 rounds per stop time)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <numeric>
#include <string>
#include <vector>

#include "../architecture.h"
#include "harness.h"
#include "tools/test_service.h"

namespace {

using Clock = std::chrono::steady_clock;
using quellnet::app::kIdChkmess;
using quellnet::app::kIdLabel2;
using quellnet::e2e::Click;
using quellnet::e2e::kOptionsKey;
using quellnet::e2e::Millis;
using quellnet::e2e::ProgramUnderTest;
using quellnet::e2e::WindowText;

double Ms(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

struct Summary {
  double median = 0;
  double mean = 0;
  double max = 0;
};

Summary Summarise(std::vector<double> values) {
  Summary summary;
  if (values.empty()) {
    return summary;
  }
  std::sort(values.begin(), values.end());
  summary.median = values[values.size() / 2];
  summary.mean = std::accumulate(values.begin(), values.end(), 0.0) / values.size();
  summary.max = values.back();
  return summary;
}

// Clicks the switch and waits until the caption reads `caption`; the time from
// the click to the caption, or a negative value when it never came.
double TimeClick(HWND chkmess, HWND label, const std::wstring& caption) {
  const Clock::time_point clicked = Clock::now();
  if (!Click(chkmess)) {
    return -1;
  }
  // Each read goes through the program's message queue, so it is answered
  // only after the click handler has finished.
  while (WindowText(label) != caption) {
    if (Clock::now() - clicked > std::chrono::seconds(40)) {
      return -1;
    }
  }
  return Ms(Clock::now() - clicked);
}

bool MeasureOneStopTime(DWORD stop_delay_ms, int rounds) {
  if (const DWORD error = quellnet::tools::InstallTestService(stop_delay_ms)) {
    std::fwprintf(stderr, L"install failed: error %lu\n", static_cast<unsigned long>(error));
    return false;
  }
  // The program starts with protection off and the service running.
  quellnet::e2e::ResetProgramState();
  ProgramUnderTest program;
  quellnet::e2e::StartOptions start;
  start.presets = {{kOptionsKey, L"mess", L"0"}};
  if (!quellnet::tools::StartTestService() || !program.Start(start)) {
    std::fwprintf(stderr, L"the service or quellnet.exe did not start: %hs\n",
                  program.LastError().c_str());
    return false;
  }
  const HWND chkmess = program.Control(kIdChkmess);
  const HWND label = program.Control(kIdLabel2);
  // Each round times the service's own stop, asked directly (and starts it
  // again), and the switch clicked on (the service stops) and off (it
  // starts), which of the two first alternating from round to round. A
  // click counts only once the service is in the state its caption tells.
  std::vector<double> service_stops;
  std::vector<double> clicks_on;
  std::vector<double> clicks_off;
  for (int round = 0; round < rounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (round % 2 == 0)) {
        const auto asked = Clock::now();
        if (!quellnet::tools::StopTestService()) {
          std::fwprintf(stderr, L"direct stop failed\n");
          return false;
        }
        service_stops.push_back(Ms(Clock::now() - asked));
        if (!quellnet::tools::StartTestService()) {
          std::fwprintf(stderr, L"direct start failed\n");
          return false;
        }
        continue;
      }
      const double on = TimeClick(chkmess, label, L"PC Protected !");
      const bool stopped = quellnet::tools::TestServiceState() == SERVICE_STOPPED;
      const double off = TimeClick(chkmess, label, L"PC Not Protected !");
      if (on < 0 || off < 0 || !stopped || quellnet::tools::TestServiceState() != SERVICE_RUNNING) {
        std::fwprintf(stderr, L"a click did not bring the service where its status said\n");
        return false;
      }
      clicks_on.push_back(on);
      clicks_off.push_back(off);
    }
  }
  program.Close();
  quellnet::tools::DeleteTestService();

  const Summary stop = Summarise(service_stops);
  const Summary on = Summarise(clicks_on);
  const Summary off = Summarise(clicks_off);
  std::wprintf(
      L"service stop delay %4lu ms | service's own stop: median %7.1f mean %7.1f max %7.1f"
      L" | click on->status: median %7.1f mean %7.1f max %7.1f | above the stop: median"
      L" %+6.1f | click off->status: median %7.1f\n",
      static_cast<unsigned long>(stop_delay_ms), stop.median, stop.mean, stop.max, on.median,
      on.mean, on.max, on.median - stop.median, off.median);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  quellnet::tools::ServeIfStartedAsService();
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 10;
  std::wprintf(L"measured: %hs\n", quellnet::bench::kMeasuredArchitecture);
  std::wprintf(L"%d rounds per stop time; times in ms\n", rounds);
  bool ok = true;
  for (DWORD delay : {0ul, 100ul, 500ul}) {
    ok = MeasureOneStopTime(delay, rounds) && ok;
  }
  quellnet::tools::DeleteTestService();
  return ok ? 0 : 1;
}
