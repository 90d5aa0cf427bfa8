// Batches driven through the real window against the stand-in transcoder,
// which records how each run was started.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "batch_test.hpp"
#include "core/text.hpp"

namespace kavrin::e2e {
namespace {

using namespace std::chrono_literals;

using BatchE2e = BatchTest;

TEST_F(BatchE2e, Ac3CdRunsEachJobInOrderWithItsCommandLineAndTheNextBatchNumbersOn) {
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.VOB", "b.ac3"}));
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(ChooseStreams(0, {0, 2}));
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());

  ASSERT_NO_FATAL_FAILURE(RunBatch());
  const std::string tail = " ) -azid( -g max -c normal -L -3db ) -ssrc(  --rate 44100 ) ";
  auto job = [&](const std::string& input, int number, const std::string& substream) {
    return Line("-core( -input " + Quoted(Input(input)) + " -output " +
                Quoted(Out() + "\\DOLBYDIGITAL-Track-" + ZeroPad(number, 3) + ".wav") + " -ddwav" + substream + tail);
  };
  std::vector<StandInRun> runs = ReadRuns(Record());
  EXPECT_EQ(CommandLines(runs), (std::vector<std::string>{job("a.VOB", 1, " -substream 0x80"),
                                                          job("a.VOB", 2, " -substream 0x82"), job("b.ac3", 3, "")}));
  for (const StandInRun& run : runs) {
    // Started in Kavrin's own folder, minimised without taking the focus.
    EXPECT_EQ(run.folder, folder_.Path());
    EXPECT_EQ(run.flags, "1");
    EXPECT_EQ(run.show, "7");
  }
  for (int number = 1; number <= 3; ++number) {
    EXPECT_TRUE(FileExists(Out() + "\\DOLBYDIGITAL-Track-" + ZeroPad(number, 3) + ".wav")) << number;
  }

  ASSERT_NO_FATAL_FAILURE(RunBatch());
  runs = ReadRuns(Record());
  ASSERT_EQ(runs.size(), 6u);
  EXPECT_EQ(runs[3].commandLine, job("a.VOB", 4, " -substream 0x80"));
  EXPECT_EQ(runs[5].commandLine, job("b.ac3", 6, ""));
}

TEST_F(BatchE2e, CddaFillsTheGapOfADeletedTrack) {
  BatchSettings settings;
  settings.mode = "CDDA CD";
  ASSERT_NO_FATAL_FAILURE(Start(settings));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"one.ac3", "two.ac3", "three.ac3"}));
  ASSERT_NO_FATAL_FAILURE(RunBatch());
  ASSERT_TRUE(DeleteFileA((Out() + "\\CDDA-Track-002.wav").c_str()));

  ASSERT_NO_FATAL_FAILURE(RunBatch());
  const std::vector<StandInRun> runs = ReadRuns(Record());
  ASSERT_EQ(runs.size(), 6u);
  const char* expected[] = {"CDDA-Track-002.wav", "CDDA-Track-004.wav", "CDDA-Track-005.wav"};
  for (size_t job = 0; job < 3; ++job) {
    EXPECT_NE(runs[3 + job].commandLine.find(" -output " + Quoted(Out() + "\\" + expected[job]) + " -2ch ) "),
              std::string::npos)
        << runs[3 + job].commandLine;
  }
  for (int number = 1; number <= 5; ++number) {
    EXPECT_TRUE(FileExists(Out() + "\\CDDA-Track-" + ZeroPad(number, 3) + ".wav")) << number;
  }
}

TEST_F(BatchE2e, ATranscoderPathNamingNoProgramLosesEveryJobAndStillFinishes) {
  BatchSettings settings;
  settings.beSweet = folder_.File("missing\\BeSweet.exe");
  ASSERT_NO_FATAL_FAILURE(Start(settings));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.ac3", "b.ac3"}));
  ASSERT_NO_FATAL_FAILURE(
      RunBatch("Encoding Finished!\n\n2 of 2 tracks were not made:\n" + Input("a.ac3") + "\n" + Input("b.ac3")));
  EXPECT_FALSE(FileExists(Record()));
  EXPECT_FALSE(FileExists(Out() + "\\DOLBYDIGITAL-Track-001.wav"));
}

// A job whose transcoder wrote nothing is named beneath the finish, in the
// box and at the end of the log.
TEST_F(BatchE2e, TheFinishNamesTheTrackThatWasNotMade) {
  BatchSettings settings;
  settings.useLog = true;
  settings.logFile = folder_.File("run.log");
  ASSERT_NO_FATAL_FAILURE(Start(settings));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.ac3", "b.VOB"}));
  ASSERT_TRUE(DeleteFileA(Input("b.VOB").c_str()));
  const std::string lines = "1 of 2 tracks were not made:\n" + Input("b.VOB") + " (stream 0x80)";
  ASSERT_NO_FATAL_FAILURE(RunBatch("Encoding Finished!\n\n" + lines));
  EXPECT_TRUE(FileExists(Out() + "\\DOLBYDIGITAL-Track-001.wav"));
  // In the log, the same parts in the same order: the disc's layout last.
  const std::vector<std::string> log = TextLines(ReadFileBytes(settings.logFile));
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[log.size() - 4] + "\n" + log[log.size() - 3], lines);
  EXPECT_EQ(log[log.size() - 2], "");
  EXPECT_EQ(log.back(), "DOLBYDIGITAL-Track.cue: 1 track, 0:04 (fits a 74-minute disc)");
}

TEST_F(BatchE2e, WithoutAModeTheCommandLineHasNoModePiece) {
  BatchSettings settings;
  settings.mode = "";
  settings.useLog = true;
  settings.logFile = folder_.File("run.log");
  ASSERT_NO_FATAL_FAILURE(Start(settings));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.VOB", "b.ac3"}));
  ASSERT_NO_FATAL_FAILURE(RunBatch());
  const std::string tail = ") -azid( -g max -c normal -L -3db ) -ssrc(  --rate 44100 ) ";
  const std::string log = "-logfilea " + Quoted(settings.logFile) + " ";
  EXPECT_EQ(CommandLines(ReadRuns(Record())),
            (std::vector<std::string>{Line(log + "-substream 0x80 " + tail), Line(log + tail)}));
}

// The program's own lines are empty lines before each run, written only to a
// log that exists; every write leaves CR LF after each line. A name the
// browse button quoted, in a folder with a blank, is one file for BeSweet and
// for the program alike.
TEST_F(BatchE2e, LoggingAddsAnEmptyLineBeforeEachRunAndWritesCrLf) {
  struct Case {
    const char* name;
    std::string file;
    bool seeded;
    std::string seed;
    std::string before;  // what the log holds ahead of the first report
    bool quoted;         // the field holds the name in quotes, with a blank before
  };
  ASSERT_TRUE(CreateDirectoryA(folder_.File("My Logs").c_str(), nullptr));
  const Case cases[] = {
      {"missing log", "missing.log", false, "", "", false},
      {"LF-only log", "seeded.log", true, "old line\nsecond\rthird", "old line\r\nsecond\r\nthird\r\n\r\n", false},
      {"quoted name with a blank", "My Logs\\quoted.log", true, "kept", "kept\r\n\r\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string logFile = folder_.File(c.file);
    if (c.seeded) {
      ASSERT_TRUE(WriteFileBytes(logFile, c.seed));
    }
    BatchSettings settings;
    settings.useLog = true;
    settings.logFile = logFile;
    ASSERT_NO_FATAL_FAILURE(Start(settings));
    if (c.quoted) {
      ASSERT_TRUE(SetText(window_.feLogfile, " " + Quoted(logFile)));
    }
    ASSERT_NO_FATAL_FAILURE(AddInputs({"a.ac3", "b.ac3"}));
    ASSERT_NO_FATAL_FAILURE(RunBatch());

    const std::vector<StandInRun> runs = ReadRuns(Record());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_NE(runs[0].commandLine.find(" -ddwav -logfilea " + Quoted(logFile) + " ) "), std::string::npos);
    auto report = [&](const std::string& input, int number) {
      return "BeSweet stand-in\r\ninput: " + Input(input) + "\r\nwrote: " + Out() + "\\DOLBYDIGITAL-Track-" +
             ZeroPad(number, 3) + ".wav\r\n";
    };
    EXPECT_EQ(ReadFileBytes(logFile), c.before + report("a.ac3", 1) + "\r\n" + report("b.ac3", 2) +
                                          "DOLBYDIGITAL-Track.cue: 2 tracks, 0:08 (fits a 74-minute disc)\r\n");

    // The next case starts from an empty record and output folder.
    ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
    ASSERT_TRUE(DeleteFileA(Record().c_str()));
    for (int number = 1; number <= 2; ++number) {
      DeleteFileA((Out() + "\\DOLBYDIGITAL-Track-" + ZeroPad(number, 3) + ".wav").c_str());
    }
    DeleteFileA((Out() + "\\DOLBYDIGITAL-Track.cue").c_str());
  }
}

// The window answers while the batch waits, and the next job reads the change.
TEST_F(BatchE2e, NormalizeChangedDuringARunAppliesToTheNextJob) {
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "5000");
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.ac3", "b.ac3"}));

  Click(window_.Button1);
  ASSERT_NO_FATAL_FAILURE(WaitForRuns(1));
  Click(window_.cbUseGMax);
  ASSERT_TRUE(WaitFor([&] { return !IsChecked(window_.cbUseGMax) && TextOf(window_.eOtaFixed).empty(); }, kReactBound,
                      "Normalize to clear its fixed option during the run"));
  EXPECT_EQ(ReadRuns(Record()).size(), 1u) << "the first run should still be going";
  ASSERT_NO_FATAL_FAILURE(ExpectFinishedAndClose());

  const std::vector<StandInRun> runs = ReadRuns(Record());
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_NE(runs[0].commandLine.find(" -azid( -g max -c normal -L -3db ) "), std::string::npos);
  EXPECT_NE(runs[1].commandLine.find(" ) -azid( -c normal -L -3db ) "), std::string::npos) << runs[1].commandLine;
}

TEST_F(BatchE2e, GoPressedDuringABatchStartsNoSecondOne) {
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "3000");
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.ac3"}));
  Click(window_.Button1);
  ASSERT_NO_FATAL_FAILURE(WaitForRuns(1));
  Click(window_.Button1);
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Information", box, kBatchBound));
  EXPECT_EQ(ReadRuns(Record()).size(), 1u);
  ASSERT_TRUE(PressButton(box, "OK"));
  ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Information"));
  // Idle again: the next press runs a batch.
  ASSERT_NO_FATAL_FAILURE(RunBatch());
  EXPECT_EQ(ReadRuns(Record()).size(), 2u);
}

// The settings are stored at the close, the batch runs to its end, and the
// program ends without waiting for the information box to be closed,
// storing them once more.
TEST_F(BatchE2e, ClosingDuringABatchStoresAtOnceAndEndsAfterTheBatch) {
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "6000");
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.ac3", "b.ac3"}));
  Click(window_.Button1);
  ASSERT_NO_FATAL_FAILURE(WaitForRuns(1));

  ASSERT_TRUE(SetText(window_.eBoost, "--at-close"));
  kavrin_.RequestClose();
  auto storedBoost = [&] {
    const IniFile ini = ParseIni(ReadIni());
    const IniEntry* boost = ini.Find("Boost", "Options");
    return boost != nullptr ? boost->value : std::string("(none)");
  };
  ASSERT_TRUE(WaitFor([&] { return storedBoost() == "--at-close"; }, kReactBound, "the close to store the settings"));
  EXPECT_TRUE(kavrin_.Running());
  EXPECT_TRUE(IsShown(window_.fKavrin));
  // Changes after the close still reach the batch. A close that cannot store
  // shows no error box inside the batch, which would hold it.
  ASSERT_TRUE(SetText(window_.eBoost, "--after-close"));
  ASSERT_TRUE(SetReadOnly(kavrin_.IniPath(), true));
  kavrin_.RequestClose();
  ASSERT_NO_FATAL_FAILURE(WaitForRuns(2));
  EXPECT_EQ(FindMessageBox(kavrin_.Id(), "Kavrin"), nullptr) << "an error box holds the batch";
  ASSERT_TRUE(SetReadOnly(kavrin_.IniPath(), false));

  ASSERT_TRUE(kavrin_.WaitForExit(kBatchBound));
  EXPECT_EQ(kavrin_.ExitCode(), 0u);
  const std::vector<StandInRun> runs = ReadRuns(Record());
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_NE(runs[1].commandLine.find(" -boost( --after-close ) "), std::string::npos) << runs[1].commandLine;
  EXPECT_TRUE(FileExists(Out() + "\\DOLBYDIGITAL-Track-002.wav"));
  // Stored again as the program ends.
  EXPECT_EQ(storedBoost(), "--after-close");
}

// Closed during a batch that loses a track: the finish still names it before
// the program ends, and a store that fails says so in the same box, which
// then keeps the window.
TEST_F(BatchE2e, AClosedBatchStillNamesTheTracksNotMade) {
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "3000");
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.ac3", "b.VOB"}));
  ASSERT_TRUE(DeleteFileA(Input("b.VOB").c_str()));
  Click(window_.Button1);
  ASSERT_NO_FATAL_FAILURE(WaitForRuns(1));
  ASSERT_TRUE(SetReadOnly(kavrin_.IniPath(), true));
  kavrin_.RequestClose();

  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Information", box, kBatchBound));
  const std::string text = MessageBoxText(box);
  EXPECT_EQ(text.find("Encoding Finished!\n\n1 of 2 tracks were not made:\n" + Input("b.VOB") + " (stream 0x80)"), 0u)
      << text;
  EXPECT_NE(text.find("Unable to write to " + kavrin_.IniPath()), std::string::npos) << text;
  ASSERT_TRUE(PressButton(box, "OK"));
  ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Information"));
  EXPECT_TRUE(kavrin_.Running());
  ASSERT_TRUE(SetReadOnly(kavrin_.IniPath(), false));
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

// A second instance, from a program folder of its own in the same session.
class OtherKavrin : public BatchTest {
 public:
  void TestBody() override {}
  void Begin() {
    SetUp();
    ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
    ASSERT_NO_FATAL_FAILURE(AddInputs({"other.ac3"}));
  }
  void End() { TearDown(); }
  HWND Go() const { return window_.Button1; }
  KavrinProcess& Process() { return kavrin_; }
  std::string RecordFile() const { return Record(); }
};

// Two batches would share the encoder's options, the track numbers and the
// mono files: a second instance's "Go" says so and runs nothing.
TEST_F(BatchE2e, GoInASecondInstanceDuringABatchRunsNothing) {
  OtherKavrin other;
  ASSERT_NO_FATAL_FAILURE(other.Begin());
  SetEnvironmentVariableA("KAVRIN_STANDIN_RECORD", Record().c_str());
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "6000");
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.ac3"}));
  Click(window_.Button1);
  ASSERT_NO_FATAL_FAILURE(WaitForRuns(1));

  Click(other.Go());
  HWND box = nullptr;
  ASSERT_TRUE(other.Process().WaitForMessageBox("Kavrin", box));
  EXPECT_NE(MessageBoxText(box).find("Another Kavrin batch is running"), std::string::npos) << MessageBoxText(box);
  ASSERT_TRUE(PressButton(box, "OK"));
  ASSERT_NO_FATAL_FAILURE(ExpectFinishedAndClose());
  EXPECT_FALSE(FileExists(other.RecordFile())) << "the second instance ran a job";

  // Once the batch is over, the other instance's "Go" runs.
  Click(other.Go());
  ASSERT_TRUE(other.Process().WaitForMessageBox("Information", box, kBatchBound));
  EXPECT_EQ(BeforeLayout(MessageBoxText(box)), "Encoding Finished!");
  ASSERT_TRUE(PressButton(box, "OK"));
  EXPECT_TRUE(WaitFor([&] { return FileExists(other.RecordFile()); }, kReactBound, "the other instance's run"));
  other.End();
}

// A close that arrives while the finished box shows stores the settings and
// ends the program, box and all.
TEST_F(BatchE2e, ClosingWhileTheFinishedBoxShowsEndsTheProgram) {
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.ac3"}));
  ASSERT_TRUE(SetText(window_.eBoost, "--stored"));
  Click(window_.Button1);
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Information", box, kBatchBound));
  kavrin_.RequestClose();
  ASSERT_TRUE(kavrin_.WaitForExit());
  EXPECT_EQ(kavrin_.ExitCode(), 0u);
  const IniFile ini = ParseIni(ReadIni());
  const IniEntry* boost = ini.Find("Boost", "Options");
  ASSERT_NE(boost, nullptr);
  EXPECT_EQ(boost->value, "--stored");
}

// The unix path of a Windows one under Wine; empty elsewhere.
std::string UnixPath(const std::string& path) {
  using Convert = char*(CDECL*)(LPCWSTR);
  const auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  if (convert == nullptr) return std::string();
  std::wstring wide(path.size() + 1, L'\0');
  wide.resize(static_cast<std::size_t>(
                  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()))) -
              1);
  char* unix = convert(wide.c_str());
  if (unix == nullptr) return std::string();
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// A burner's own parser reads the disc's layout: the tracks that play, in
// order, with no warning; the track that would not play is named in the
// finish and left out.
TEST_F(BatchE2e, TheDiscsLayoutIsOneABurnerReads) {
  SetEnvironmentVariableA("KAVRIN_STANDIN_WRONG_STREAM", "c.ac3");
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.ac3", "b.ac3", "c.ac3"}));
  ASSERT_NO_FATAL_FAILURE(RunBatch(
      "Encoding Finished!\n\n1 of 3 tracks will not play as AC3-CD:\nDOLBYDIGITAL-Track-003.wav: no AC3 stream"));
  SetEnvironmentVariableA("KAVRIN_STANDIN_WRONG_STREAM", nullptr);
  const std::string cue = ReadFileBytes(Out() + "\\DOLBYDIGITAL-Track.cue");
  EXPECT_EQ(cue,
            "REM COMMENT \"Kavrin disc layout\"\r\n"
            "REM COMMENT \"left out: DOLBYDIGITAL-Track-003.wav: no AC3 stream\"\r\n"
            "FILE \"DOLBYDIGITAL-Track-001.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
            "FILE \"DOLBYDIGITAL-Track-002.wav\" WAVE\r\n  TRACK 02 AUDIO\r\n    INDEX 01 00:00:00\r\n");

  const std::string folder = UnixPath(Out());
  if (folder.empty() || !FileExists("Z:\\usr\\bin\\cdrdao")) GTEST_SKIP() << "no cdrdao to read the layout";
  // A unix program started from Wine answers no wait: its output appears
  // under its name once complete.
  std::string line = "/bin/sh -c \"cd '" + folder +
                     "' && /usr/bin/cdrdao show-toc DOLBYDIGITAL-Track.cue > toc.tmp 2>&1; mv toc.tmp toc.txt\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  ASSERT_TRUE(WaitFor([&] { return FileExists(Out() + "\\toc.txt"); }, kReactBound, "cdrdao's table of contents"));
  const std::string toc = ReadFileBytes(Out() + "\\toc.txt");
  EXPECT_EQ(toc.find("WARNING"), std::string::npos) << toc;
  // Two tracks, each of its audio's sectors of 2352 bytes rounded up.
  std::size_t sectors = 0;
  for (const char* track : {"\\DOLBYDIGITAL-Track-001.wav", "\\DOLBYDIGITAL-Track-002.wav"}) {
    sectors += (ReadFileBytes(Out() + track).size() - 44 + 2351) / 2352;
  }
  EXPECT_NE(toc.find("TRACK  2"), std::string::npos) << toc;
  EXPECT_EQ(toc.find("TRACK  3"), std::string::npos) << toc;
  char end[64];
  std::snprintf(end, sizeof end, "END*   %02zu:%02zu:%02zu(%6zu)", sectors / 4500, sectors / 75 % 60, sectors % 75,
                sectors);
  EXPECT_NE(toc.find(end), std::string::npos) << end << "\n" << toc;
}

}  // namespace
}  // namespace kavrin::e2e
