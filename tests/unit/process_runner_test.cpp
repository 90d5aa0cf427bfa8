#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/process_runner.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/fake_process.hpp"

namespace kavrin {
namespace {

class ProcessRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    launcher_.journal = &journal_;
    clock_.journal = &journal_;
    pump_.journal = &journal_;
  }

  std::vector<std::string> journal_;
  fakes::FakeProcessLauncher launcher_;
  fakes::FakeClock clock_;
  fakes::FakeMessagePump pump_;
};

TEST_F(ProcessRunnerTest, QuickChildIsWaitedForOneFullSecond) {
  std::uint32_t exitCode = 0;
  ASSERT_TRUE(RunAndWait(launcher_, "\"B.exe\" ) ", clock_, pump_, exitCode));
  EXPECT_EQ(journal_, (std::vector<std::string>{"Start \"B.exe\" ) ", "Sleep 1000", "ProcessMessages", "QueryExitCode",
                                                "CloseHandles"}));
  ASSERT_EQ(launcher_.starts.size(), 1u);
  EXPECT_FALSE(launcher_.starts[0].applicationName);
  EXPECT_FALSE(launcher_.starts[0].currentFolder);
}

TEST_F(ProcessRunnerTest, WaitEndsOnTheFirstCheckThatIsNot259) {
  struct Row {
    const char* what;
    fakes::FakeChildScript script;
    std::uint32_t codeBefore;
    int sleeps;
    std::uint32_t codeAfter;
  };
  const std::vector<Row> rows = {
      {"success after three seconds", {2, 0, false, false}, 0, 3, 0},
      {"exit code 1 ends just the same", {4, 1, false, false}, 0, 5, 1},
      {"a failed query keeps the code and ends", {0, 0, true, false}, 42, 1, 42},
      {"a failed query ends even with 259 kept", {0, 0, true, true}, kStillActive, 1, kStillActive},
      {"a real exit code 259 ends once the handle is signalled", {3, kStillActive, false, false}, 0, 4, kStillActive},
  };
  for (const Row& row : rows) {
    fakes::FakeClock clock;
    fakes::FakeMessagePump pump;
    fakes::FakeProcessLauncher launcher;
    launcher.nextChild = row.script;
    std::uint32_t exitCode = row.codeBefore;
    ASSERT_TRUE(RunAndWait(launcher, "x", clock, pump, exitCode)) << row.what;
    EXPECT_EQ(clock.sleeps, std::vector<unsigned>(row.sleeps, 1000)) << row.what;
    EXPECT_EQ(pump.calls, row.sleeps) << row.what;
    EXPECT_EQ(exitCode, row.codeAfter) << row.what;
    EXPECT_EQ(launcher.OpenChildren(), 0) << row.what;
  }
}

TEST_F(ProcessRunnerTest, StartFailureWaitsForNothing) {
  launcher_.failStart = true;
  std::uint32_t exitCode = 7;
  EXPECT_FALSE(RunAndWait(launcher_, "x", clock_, pump_, exitCode));
  EXPECT_TRUE(clock_.sleeps.empty());
  EXPECT_EQ(pump_.calls, 0);
  EXPECT_EQ(exitCode, 7u);
}

TEST_F(ProcessRunnerTest, HandlesAreClosedOnceEvenWhenAHandlerThrowsInTheWait) {
  launcher_.nextChild.queriesWhileRunning = 5;
  pump_.onProcess = [] { throw std::runtime_error("handler"); };
  std::uint32_t exitCode = 0;
  EXPECT_THROW(RunAndWait(launcher_, "x", clock_, pump_, exitCode), std::runtime_error);
  ASSERT_EQ(launcher_.children.size(), 1u);
  EXPECT_EQ(launcher_.children[0]->closeCalls, 1);
}

}  // namespace
}  // namespace kavrin
