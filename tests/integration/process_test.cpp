#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "batch/process_runner.hpp"
#include "fakes/fake_waits.hpp"
#include "integration/test_files.hpp"
#include "platform/win32/win32_clock.hpp"
#include "platform/win32/win32_message_pump.hpp"
#include "platform/win32/win32_process.hpp"

namespace kavrin::win32 {
namespace {

std::string StandIn() { return ModuleFolder() + "\\tools\\besweet_standin\\besweet_standin.exe"; }

struct RecordLine {
  std::string folder;
  int flags = -1;
  int show = -1;
  std::string commandLine;
};

std::vector<RecordLine> ReadRecord(const std::string& path) {
  std::vector<RecordLine> lines;
  std::istringstream in(ReadAll(path));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t a = line.find('|');
    const size_t b = line.find('|', a + 1);
    const size_t c = line.find('|', b + 1);
    if (c == std::string::npos) continue;
    lines.push_back({line.substr(0, a), std::stoi(line.substr(a + 1, b - a - 1)),
                     std::stoi(line.substr(b + 1, c - b - 1)), line.substr(c + 1)});
  }
  return lines;
}

// Each test gets its own folder, record file and stand-in settings.
class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    folder_ = std::string(temp) + "kavrin-process-" + std::to_string(GetCurrentProcessId()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder_.c_str(), nullptr);
    record_ = folder_ + "\\record.txt";
    SetEnvironmentVariableA("KAVRIN_STANDIN_RECORD", record_.c_str());
    SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", nullptr);
    SetEnvironmentVariableA("KAVRIN_STANDIN_EXIT_CODE", nullptr);
  }
  void TearDown() override { RemoveTree(folder_); }

  std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

  std::string folder_;
  std::string record_;
  Win32ProcessLauncher launcher_;
};

TEST_F(ProcessTest, ChildStartsMinimisedInOurFolderWithTheCommandLineAsGiven) {
  const std::string commandLine = Quoted(StandIn()) + " -core( -input \"nothing\"  x ) ";
  Win32Clock clock;
  fakes::BoundedPump pump;
  std::uint32_t exitCode = 0;
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(RunAndWait(launcher_, commandLine, clock, pump, exitCode));
  const auto waited = std::chrono::steady_clock::now() - started;

  const std::vector<RecordLine> lines = ReadRecord(record_);
  ASSERT_EQ(lines.size(), 1u);
  char current[MAX_PATH + 1];
  const DWORD length = GetCurrentDirectoryA(sizeof current, current);
  EXPECT_EQ(lines[0].folder, std::string(current, length));
  EXPECT_EQ(lines[0].flags & STARTF_USESHOWWINDOW, STARTF_USESHOWWINDOW);
  EXPECT_EQ(lines[0].show, SW_SHOWMINNOACTIVE);
  EXPECT_EQ(lines[0].commandLine, commandLine);
  EXPECT_EQ(exitCode, 1u);  // the stand-in's code for a missing input
  EXPECT_GE(waited, std::chrono::milliseconds(990));
  EXPECT_GE(pump.calls, 1);
}

TEST_F(ProcessTest, ApplicationNameAndCurrentFolderArePassedOn) {
  auto child = launcher_.Start(StandIn(), "surcode.ssf", folder_);
  ASSERT_TRUE(child);
  for (int i = 0; i < 500 && !child->HasEnded(); ++i) Sleep(20);
  ASSERT_TRUE(child->HasEnded());
  child->CloseHandles();
  const std::vector<RecordLine> lines = ReadRecord(record_);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].commandLine, "surcode.ssf");
  EXPECT_EQ(lines[0].folder, folder_);
}

TEST_F(ProcessTest, ExitCodesEndTheWaitIncluding259) {
  for (const char* code : {"0", "3", "259"}) {
    SetEnvironmentVariableA("KAVRIN_STANDIN_EXIT_CODE", code);
    SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "300");
    fakes::ShortSleepClock clock;
    fakes::BoundedPump pump;
    std::uint32_t exitCode = 0;
    ASSERT_TRUE(RunAndWait(launcher_, Quoted(StandIn()), clock, pump, exitCode)) << code;
    EXPECT_EQ(exitCode, std::stoul(code)) << code;
  }
}

// A child never outlives its launcher, also where the launcher's program
// is killed: the last handle of the job goes with it.
TEST_F(ProcessTest, ChildrenEndWithTheirLauncher) {
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "60000");
  std::unique_ptr<ChildProcess> child;
  {
    Win32ProcessLauncher launcher;
    child = launcher.Start(std::nullopt, Quoted(StandIn()), std::nullopt);
    ASSERT_TRUE(child);
    Sleep(200);
    EXPECT_FALSE(child->HasEnded());
  }
  for (int i = 0; i < 250 && !child->HasEnded(); ++i) Sleep(20);
  EXPECT_TRUE(child->HasEnded());
}

TEST_F(ProcessTest, NoProgramMeansNoStart) {
  EXPECT_FALSE(launcher_.Start(std::nullopt, Quoted(folder_ + "\\missing.exe") + " x", std::nullopt));
  EXPECT_FALSE(launcher_.Start(std::nullopt, Quoted(record_), std::nullopt));  // no program at all
}

// Wine's GetProcessHandleCount always answers 0, so the open handles are
// counted by asking about every small handle value.
int OpenHandleCount() {
  int open = 0;
  for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++open;
  }
  return open;
}

TEST_F(ProcessTest, FinishedRunsHoldNoHandles) {
  fakes::ShortSleepClock clock;
  fakes::BoundedPump pump;
  std::uint32_t exitCode = 0;
  // One run first, so that lazily opened system handles are not counted.
  ASSERT_TRUE(RunAndWait(launcher_, Quoted(StandIn()), clock, pump, exitCode));
  DWORD countBefore = 0;
  ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &countBefore));
  const int openBefore = OpenHandleCount();
  ASSERT_GT(openBefore, 0);
  for (int run = 0; run < 50; ++run) {
    ASSERT_TRUE(RunAndWait(launcher_, Quoted(StandIn()), clock, pump, exitCode)) << run;
  }
  DWORD countAfter = 0;
  ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &countAfter));
  EXPECT_LE(countAfter, countBefore + 2) << "handle count before " << countBefore << ", after " << countAfter;
  EXPECT_LE(OpenHandleCount(), openBefore + 2) << "open handles before " << openBefore;
  EXPECT_EQ(ReadRecord(record_).size(), 51u);
}

TEST_F(ProcessTest, StandInLeavesWavFilesAndItsReport) {
  const std::string input = folder_ + "\\VTS_01_1.VOB";
  const std::string sample = Quoted(StandIn()) + " --make-sample " + Quoted(input) + " 4";
  fakes::ShortSleepClock clock;
  fakes::BoundedPump pump;
  std::uint32_t exitCode = 0;
  ASSERT_TRUE(RunAndWait(launcher_, sample, clock, pump, exitCode));
  EXPECT_EQ(ReadAll(input).size(), 4096u);

  const std::string log = folder_ + "\\encode.log";
  const std::string mono = folder_ + "\\mono";
  ASSERT_TRUE(RunAndWait(launcher_,
                         Quoted(StandIn()) + " -core( -input " + Quoted(input) + " -output " + Quoted(mono) +
                             " -6ch -logfilea " + Quoted(log) + " -substream 0x81 ) -ssrc(  --rate 44100 ) ",
                         clock, pump, exitCode));
  EXPECT_EQ(exitCode, 0u);
  for (const char* channel : {"FL.WAV", "FR.WAV", "SL.WAV", "SR.WAV", "C.WAV", "LFE.WAV"}) {
    const std::string wav = ReadAll(mono + channel);
    ASSERT_GT(wav.size(), 44u) << channel;
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(wav[22], 1) << "mono";
  }

  const std::string track = folder_ + "\\CDDA-Track-001.wav";
  ASSERT_TRUE(RunAndWait(launcher_,
                         Quoted(StandIn()) + " -core( -input " + Quoted(input) + " -output " + Quoted(track) +
                             " -2ch -logfilea " + Quoted(log) + " ) -ssrc(  --rate 44100 ) ",
                         clock, pump, exitCode));
  const std::string wav = ReadAll(track);
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(wav[22], 2) << "stereo";
  const std::string report = ReadAll(log);
  EXPECT_NE(report.find("wrote: " + mono + "LFE.WAV\r\n"), std::string::npos);
  EXPECT_NE(report.find("wrote: " + track + "\r\n"), std::string::npos);
}

// A quit seen inside a wait must still reach the main loop.
TEST(MessagePumpTest, DispatchesPendingMessagesAndKeepsTheQuit) {
  PostQuitMessage(5);
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  int seen = 0;
  Win32MessagePump pump([&](MSG& message) {
    if (message.message == WM_APP) ++seen;
    return false;
  });
  pump.ProcessMessages();
  EXPECT_EQ(seen, 1);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 5u);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
}  // namespace kavrin::win32
