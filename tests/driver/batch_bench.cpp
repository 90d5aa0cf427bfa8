// Figures for bench/batch_overhead.sh: disabled, so that no test run starts
// them; the script runs them with --gtest_also_run_disabled_tests.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "batch_test.hpp"
#include "core/text.hpp"

namespace kavrin::e2e {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration elapsed) { return std::chrono::duration<double>(elapsed).count(); }

double CpuSeconds(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1.0;
  auto ticks = [](const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

// Handles open in another process: every small value that can be duplicated.
// (Wine's GetProcessHandleCount answers 0.)
int OpenHandles(HANDLE process) {
  int open = 0;
  for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
    UniqueHandle copy;
    if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), copy.Receive(), 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
      ++open;
    }
  }
  return open;
}

DWORD HandleCount(HANDLE process) {
  DWORD count = 0;
  return GetProcessHandleCount(process, &count) ? count : 0;
}

constexpr int kJobsPerBatch = 20;

class BatchBench : public BatchTest {
 protected:
  std::vector<std::string> Names(int count) {
    std::vector<std::string> names;
    for (int n = 1; n <= count; ++n) names.push_back("job" + ZeroPad(n, 2) + ".ac3");
    return names;
  }

  // The stand-in's own time from start to end, without Kavrin: started and
  // waited for directly, as often as a batch runs it.
  double ChildSeconds(int runs) {
    const std::string commandLine = Line("-core( -input " + Quoted(Input("job01.ac3")) + " -output " +
                                         Quoted(Temp() + "\\direct.wav") + " -ddwav ) -ssrc(  --rate 44100 ) ");
    // Not recorded: the record counts Kavrin's runs.
    SetEnvironmentVariableA("KAVRIN_STANDIN_RECORD", nullptr);
    const auto start = Clock::now();
    for (int run = 0; run < runs; ++run) {
      STARTUPINFOA startup{};
      startup.cb = sizeof startup;
      PROCESS_INFORMATION info{};
      std::string line = commandLine;
      if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot start the stand-in";
        return 0.0;
      }
      const UniqueHandle process(info.hProcess);
      const UniqueHandle thread(info.hThread);
      WaitForSingleObject(process.Get(), INFINITE);
    }
    const double seconds = Seconds(Clock::now() - start) / runs;
    SetEnvironmentVariableA("KAVRIN_STANDIN_RECORD", Record().c_str());
    return seconds;
  }

  // Seconds from "Go" to the information box.
  double TimedBatch() {
    const auto start = Clock::now();
    Click(window_.Button1);
    HWND box = nullptr;
    EXPECT_TRUE(kavrin_.WaitForMessageBox("Information", box, std::chrono::milliseconds(kJobsPerBatch * 10000)));
    const double seconds = Seconds(Clock::now() - start);
    if (box != nullptr) PressButton(box, "OK");
    EXPECT_TRUE(kavrin_.WaitForNoMessageBox("Information"));
    return seconds;
  }
};

TEST_F(BatchBench, DISABLED_OverheadPerJobAndHandlesOver200Jobs) {
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs(Names(kJobsPerBatch)));
  const double child = ChildSeconds(kJobsPerBatch);
  const double perJob = TimedBatch() / kJobsPerBatch;
  std::printf("per job: %.3f s, of which the stand-in's own run %.3f s: overhead %.3f s (target <= 1.05 s)\n", perJob,
              child, perJob - child);

  // After a first batch, so that handles opened once on first use are not counted.
  const int openBefore = OpenHandles(kavrin_.Handle());
  const DWORD countBefore = HandleCount(kavrin_.Handle());
  const int batches = 200 / kJobsPerBatch;
  for (int batch = 0; batch < batches; ++batch) TimedBatch();
  const int openAfter = OpenHandles(kavrin_.Handle());
  std::printf("open handles before 200 jobs: %d, after: %d (GetProcessHandleCount: %lu, %lu)\n", openBefore, openAfter,
              static_cast<unsigned long>(countBefore), static_cast<unsigned long>(HandleCount(kavrin_.Handle())));
  EXPECT_EQ(ReadRuns(Record()).size(), static_cast<size_t>(kJobsPerBatch * (batches + 1)));
}

TEST_F(BatchBench, DISABLED_CpuTimeWhileWaiting30Seconds) {
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "30000");
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs(Names(1)));
  Click(window_.Button1);
  ASSERT_NO_FATAL_FAILURE(WaitForRuns(1));
  // Only files are watched meanwhile: looking at Kavrin's windows would make
  // it answer, and count its answers.
  const double cpuBefore = CpuSeconds(kavrin_.Handle());
  const auto start = Clock::now();
  const std::string output = Out() + "\\DOLBYDIGITAL-Track-001.wav";
  while (!FileExists(output) && Clock::now() - start < std::chrono::seconds(90)) Sleep(100);
  const double cpu = CpuSeconds(kavrin_.Handle()) - cpuBefore;
  std::printf("CPU time while waiting %.1f s for the stand-in: %.3f s (target < 0.1 s)\n",
              Seconds(Clock::now() - start), cpu);
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Information", box, kBatchBound));
  PressButton(box, "OK");
}

}  // namespace
}  // namespace kavrin::e2e
