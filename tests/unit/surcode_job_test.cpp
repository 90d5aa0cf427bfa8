#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "encoder/encoder_automation.hpp"
#include "fakes/fake_batch_form.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/fake_file_lookup.hpp"
#include "fakes/fake_file_store.hpp"
#include "fakes/fake_process.hpp"
#include "fakes/fake_program_location.hpp"
#include "fakes/fake_registry.hpp"
#include "fakes/fake_text_services.hpp"
#include "fakes/fake_window_system.hpp"

namespace kavrin {
namespace {

const char* const kTmp = "D:\\CD\\DTS-Track-001.tmp";
const char* const kWav = "D:\\CD\\DTS-Track-001.wav";
const char* const kSeparator = "-----------------------------------";

// A scripted encoder: each start shows a fresh "DTS Encoder" window (after
// `startupShows` start-up windows, each closed by WM_CLOSE), and the start
// command makes the output appear after `encodePolls` one-second sleeps.
class SurCodeJobTest : public ::testing::Test {
 protected:
  SurCodeJobTest() {
    form_.settings.FinalFolderText = "D:\\CD\\";
    form_.settings.UseLogfile = true;
    form_.settings.LogfileText = "C:\\kavrin.log";
    for (auto* journal : {&windows_.journal, &registry_.journal, &clock_.journal, &pump_.journal, &launcher_.journal,
                          &files_.journal}) {
      *journal = &journal_;
    }
    for (std::string_view channel : ChannelFileNames) {
      files_.files["C:\\Temp\\mono" + std::string(channel)] = "pcm";
      lookup_.AddEntry("C:\\Temp\\mono" + std::string(channel));
    }
    files_.files[form_.settings.LogfileText] = "";

    launcher_.onStart = [this](const fakes::FakeStartCall&) {
      startupLeft_ = startupShows;
      if (startupLeft_ > 0) {
        startupWindow_ = windows_.Add("Surcode CD Pro DTS", true, Encoder());
      } else if (!hideEncoder) {
        encoderWindow_ = windows_.Add("DTS Encoder", true, Encoder());
      }
    };
    windows_.onPost = [this](const fakes::PostedMessage& message) {
      if (message.Message == kWmClose && message.Window == startupWindow_) {
        windows_.Remove(startupWindow_);
        startupWindow_ = 0;
        if (--startupLeft_ > 0) {
          startupWindow_ = windows_.Add("Surcode CD Pro DTS", true, Encoder());
        } else if (!hideEncoder) {
          encoderWindow_ = windows_.Add("DTS Encoder", true, Encoder());
        }
      } else if (message.Message == kWmClose && !keepEncoderOnClose) {
        windows_.Remove(message.Window);
      } else if (message.Message == kWmCommand && message.WParam == kEncoderStartCommand) {
        pollsLeft_ = encodePolls;
        encoding_ = true;
      }
    };
    clock_.onSleep = [this] {
      // A wait that would never end fails the test instead of hanging it.
      if (clock_.sleptMilliseconds > 3600 * 1000) throw std::runtime_error("waited for more than an hour");
      if (!encoding_ || clock_.sleeps.back() != 1000) return;
      if (--pollsLeft_ <= 0 && !noOutput) {
        files_.files[outputName] = "RIFF";
        encoding_ = false;
      }
    };
    automation_.CreateWindowList();
    // Every job writes its options only under a batch's backup.
    automation_.BackupEncoderOptions();
    journal_.clear();
    files_.writes.clear();
    registry_.calls.clear();
  }

  // The process of the encoder started last.
  std::uint32_t Encoder() const { return launcher_.children.empty() ? 0 : launcher_.children.back()->id; }

  // The job with the form's folders, as the batch fixes them.
  bool Run(const std::string& track, int number, int position) {
    return automation_.RunSurCodeJob(MakeJob(track, number, position), status_);
  }
  // The job as the batch fixes it, and tells the status of.
  Job MakeJob(const std::string& track, int number, int position) {
    status_.JobStarted(form_.ReadJobSettings());
    return Job{BatchMode::DtsCd,
               track,
               number,
               position - 1,
               "D:\\DVD\\a.ac3",
               std::nullopt,
               form_.settings.TempFolderText,
               form_.settings.FinalFolderText,
               form_.ReadJobSettings()};
  }

  // The journal without the finder's polling: enumerations, their message
  // steps and their 10 ms sleeps.
  std::vector<std::string> Steps() const {
    std::vector<std::string> steps;
    for (std::size_t i = 0; i < journal_.size(); ++i) {
      const std::string& entry = journal_[i];
      if (entry == "enumerate" || entry == "Sleep 10") continue;
      if (entry == "ProcessMessages" && i + 1 < journal_.size() && journal_[i + 1] == "Sleep 10") continue;
      steps.push_back(entry);
    }
    return steps;
  }

  int Posted(unsigned message) const {
    int count = 0;
    for (const auto& posted : windows_.posted) count += posted.Message == message ? 1 : 0;
    return count;
  }

  bool MonoFilesRemain() const {
    for (std::string_view channel : ChannelFileNames) {
      if (!files_.Has("C:\\Temp\\mono" + std::string(channel))) return false;
    }
    return true;
  }

  std::string Log() const { return files_.files.at(form_.settings.LogfileText); }

  int startupShows = 0;
  bool hideEncoder = false;
  int encodePolls = 2;
  bool noOutput = false;
  bool keepEncoderOnClose = false;
  std::string outputName = kTmp;

  std::vector<std::string> journal_;
  fakes::FakeBatchForm form_;
  fakes::FakeProgramLocation program_;
  fakes::FakeRegistry registry_;
  fakes::FakeWindowSystem windows_;
  fakes::FakeMessagePump pump_;
  fakes::FakeClock clock_;
  fakes::FakeProcessLauncher launcher_;
  fakes::FakeFileStore files_;
  fakes::FakeFileLookup lookup_;
  fakes::FakeErrorTexts errors_;
  BatchStatus status_{files_, clock_, nullptr, BatchMode::DtsCd};
  std::vector<std::string> notices_;
  EncoderAutomation automation_{EncoderServices{program_, registry_, windows_, pump_, clock_, launcher_, files_,
                                                lookup_, errors_,
                                                [this](const std::string& text) { notices_.push_back(text); }}};

  WindowHandle startupWindow_ = 0;
  WindowHandle encoderWindow_ = 0;
  int startupLeft_ = 0;
  int pollsLeft_ = 0;
  bool encoding_ = false;
};

TEST_F(SurCodeJobTest, StepsRunInOrder) {
  EXPECT_TRUE(Run("DTS-Track", 1, 1));
  const std::string window = std::to_string(encoderWindow_);
  const std::vector<std::string> expected = {
      "registry open",
      "registry set WAVEFILE1=C:\\Temp\\monoFL.WAV",
      "registry set WAVEFILE2=C:\\Temp\\monoFR.WAV",
      "registry set WAVEFILE3=C:\\Temp\\monoSL.WAV",
      "registry set WAVEFILE4=C:\\Temp\\monoSR.WAV",
      "registry set WAVEFILE5=C:\\Temp\\monoC.WAV",
      "registry set WAVEFILE6=C:\\Temp\\monoLFE.WAV",
      "registry set WAVEFILE7=D:\\CD\\DTS-Track-001.tmp",
      "registry set WAVEFILELOCATION=C:\\Kavrin",
      "Delete D:\\CD\\DTS-Track01.tmp",
      "Delete D:\\CD\\DTS-Track-001.tmp",
      "Start C:\\Kavrin\\surcode.ssf",
      "Read C:\\kavrin.log",
      "Write C:\\kavrin.log",
      "post WM_COMMAND 1050 to " + window,
      // The first rename comes a full second after the start command.
      "Sleep 1000",
      "ProcessMessages",
      "Move D:\\CD\\DTS-Track-001.tmp -> D:\\CD\\DTS-Track-001.wav",
      "Sleep 1000",
      "ProcessMessages",
      "Move D:\\CD\\DTS-Track-001.tmp -> D:\\CD\\DTS-Track-001.wav",
      "post WM_CLOSE 0 to " + window,
      "CloseHandles",
      "Delete C:\\Temp\\monoFL.WAV",
      "Delete C:\\Temp\\monoFR.WAV",
      "Delete C:\\Temp\\monoSL.WAV",
      "Delete C:\\Temp\\monoSR.WAV",
      "Delete C:\\Temp\\monoC.WAV",
      "Delete C:\\Temp\\monoLFE.WAV",
      "Read C:\\kavrin.log",
      "Write C:\\kavrin.log",
  };
  EXPECT_EQ(Steps(), expected);
  EXPECT_EQ(windows_.posted.at(0).LParam, 0);
  EXPECT_TRUE(files_.Has(kWav));
  EXPECT_FALSE(files_.Has(kTmp));
  EXPECT_EQ(Log(), std::string("SurCode CD Pro DTS\r\n") + kSeparator + "\r\nLogging start : 07.12.2026 21:54:57\r\n" +
                       "Logging end : 07.12.2026 21:54:57\r\n" + kSeparator + "\r\n");
}

TEST_F(SurCodeJobTest, EncoderIsStartedWithTheSettingsFileAloneInItsOwnFolder) {
  struct Case {
    const char* executable;
    const char* surCode;
    const char* commandLine;
    std::optional<std::string> folder;
  };
  const Case cases[] = {
      {"C:\\My Tools\\kavrin.exe", "C:\\Program Files\\SurCode\\surcodedts.exe", "C:\\My Tools\\surcode.ssf",
       "C:\\Program Files\\SurCode"},
      {"C:\\kavrin.exe", "C:\\surcodedts.exe", "C:\\surcode.ssf", "C:\\"},
      // An empty folder would make the start fail: the child starts in ours.
      {"C:\\Kavrin\\kavrin.exe", "surcodedts.exe", "C:\\Kavrin\\surcode.ssf", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.surCode);
    program_.path = c.executable;
    form_.settings.SurCodePath = c.surCode;
    launcher_.starts.clear();
    Run("DTS-Track", 1, 1);
    ASSERT_EQ(launcher_.starts.size(), 1u);
    EXPECT_EQ(launcher_.starts[0].applicationName, std::optional<std::string>(c.surCode));
    EXPECT_EQ(launcher_.starts[0].commandLine, c.commandLine);
    EXPECT_EQ(launcher_.starts[0].currentFolder, c.folder);
    files_.files.erase(kWav);
  }
}

TEST_F(SurCodeJobTest, LeftoverNameCarriesTheInputPositionWithoutHyphen) {
  files_.files["D:\\CD\\DTS-Track03.tmp"] = "old";
  outputName = "D:\\CD\\DTS-Track-012.tmp";
  Run("DTS-Track", 12, 3);
  EXPECT_EQ(files_.deletes.at(0), "D:\\CD\\DTS-Track03.tmp");
  EXPECT_FALSE(files_.Has("D:\\CD\\DTS-Track03.tmp"));
  EXPECT_EQ(files_.moves.at(0), "D:\\CD\\DTS-Track-012.tmp -> D:\\CD\\DTS-Track-012.wav");
}

// A killed run's file under the temporary name is not this job's track; one
// that cannot be deleted loses the job before the encoder starts.
TEST_F(SurCodeJobTest, AFileLeftUnderTheTemporaryNameIsDeletedFirst) {
  files_.files[kTmp] = "stale";
  encodePolls = 3;
  EXPECT_TRUE(Run("DTS-Track", 1, 1));
  EXPECT_EQ(files_.moves.size(), 3u);
  EXPECT_EQ(files_.files.at(kWav), "RIFF");

  files_.files.erase(kWav);
  files_.failDelete = true;
  lookup_.AddEntry(kTmp);
  launcher_.starts.clear();
  EXPECT_FALSE(Run("DTS-Track", 1, 1));
  EXPECT_TRUE(launcher_.starts.empty());
  EXPECT_NE(Log().find(std::string("Cannot delete ") + kTmp + " - job skipped\r\n"), std::string::npos);
}

// An earlier job's mono files are never encoded as this one's: they are
// deleted before the transcoder, and all six must be there after it.
TEST_F(SurCodeJobTest, TheMonoFilesAreClearedBeforeAndNeededAfterTheTranscoder) {
  const Job job = MakeJob("DTS-Track", 1, 1);
  EXPECT_TRUE(automation_.PrepareSurCodeJob(job, status_));
  EXPECT_EQ(files_.deletes.size(), ChannelFileNames.size());
  EXPECT_FALSE(MonoFilesRemain());

  lookup_.RemoveEntry("C:\\Temp\\monoSL.WAV");
  registry_.calls.clear();
  EXPECT_FALSE(automation_.RunSurCodeJob(job, status_));
  EXPECT_TRUE(launcher_.starts.empty());
  EXPECT_TRUE(registry_.calls.empty());
  EXPECT_EQ(Log(), "BeSweet did not write C:\\Temp\\monoSL.WAV - job skipped\r\n");

  files_.failDelete = true;
  EXPECT_FALSE(automation_.PrepareSurCodeJob(job, status_));
  EXPECT_NE(Log().find("Cannot delete C:\\Temp\\monoFL.WAV - job skipped"), std::string::npos);
}

TEST_F(SurCodeJobTest, StartFailureEndsTheJobSilently) {
  launcher_.failStart = true;
  EXPECT_FALSE(Run("DTS-Track", 1, 1));
  EXPECT_EQ(windows_.enumerations, 1);  // the encoders open before
  EXPECT_TRUE(files_.writes.empty());
  EXPECT_TRUE(MonoFilesRemain());
  EXPECT_EQ(registry_.calls.size(), 8u);  // the options were written first
}

// An encoder started on options that are not the job's would encode another
// job's files: a job whose options cannot be written is lost alone, before
// the encoder starts, and says why.
TEST_F(SurCodeJobTest, AJobWhoseOptionsCannotBeWrittenIsSkippedAndSaysWhy) {
  const struct {
    bool failOpen;
    const char* failSetOf;
    const char* line;
  } rows[] = {
      {true, "", "The encoder's options cannot be opened - job skipped"},
      {false, "WAVEFILE3", "Failed to set data for 'WAVEFILE3' - job skipped"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    registry_.failOpen = row.failOpen;
    registry_.failSetOf = row.failSetOf;
    files_.files[form_.settings.LogfileText].clear();
    EXPECT_FALSE(Run("DTS-Track", 1, 1));
    EXPECT_TRUE(launcher_.starts.empty());
    EXPECT_TRUE(MonoFilesRemain());
    EXPECT_EQ(Log(), std::string(row.line) + "\r\n");
  }
}

TEST_F(SurCodeJobTest, LingeringStartupWindowIsClosedUntilItGoes) {
  startupShows = 3;  // closed, shown again, closed, shown again, closed
  Run("DTS-Track", 1, 1);
  ASSERT_EQ(windows_.posted.size(), 5u);
  EXPECT_EQ(Posted(kWmClose), 4);
  EXPECT_EQ(windows_.posted[3].Window, encoderWindow_);
  EXPECT_EQ(windows_.posted[3].Message, kWmCommand);
  EXPECT_TRUE(files_.Has(kWav));
}

TEST_F(SurCodeJobTest, EachClosedStartupWindowRestartsTheCountOfAttempts) {
  hideEncoder = true;
  // Four failed attempts of two one-second searches, then a start-up window.
  // One pass notes the encoders already open before the start.
  windows_.beforeEnumeration = [this](int pass) {
    if (pass == 1 + 4 * 200 + 1) startupWindow_ = windows_.Add("Surcode CD Pro DTS", true, Encoder());
  };
  startupShows = 1;
  launcher_.onStart = nullptr;
  Run("DTS-Track", 1, 1);
  // The closing attempt counts as the first of twenty more; one more pass
  // looks for the encoder's own windows to close.
  EXPECT_EQ(windows_.enumerations, 1 + 4 * 200 + 1 + 19 * 200 + 1);
}

TEST_F(SurCodeJobTest, NoEncoderWindowSkipsTheJobAndSaysSo) {
  hideEncoder = true;
  // Windows of the started encoder are closed, so that no later search takes them.
  const WindowHandle own = windows_.Add("Other", true, 1001);
  windows_.Add("Someone else's", true, 77);
  EXPECT_FALSE(Run("DTS-Track", 1, 1));
  EXPECT_EQ(windows_.enumerations, 1 + 20 * 200 + 1);
  ASSERT_EQ(windows_.posted.size(), 1u);
  EXPECT_EQ(windows_.posted[0].Window, own);
  EXPECT_EQ(windows_.posted[0].Message, kWmClose);
  windows_.posted.clear();
  EXPECT_TRUE(files_.moves.empty());
  EXPECT_EQ(launcher_.children.at(0)->closeCalls, 1);
  EXPECT_TRUE(MonoFilesRemain());
  EXPECT_EQ(Log(), std::string("SurCode CD Pro DTS\r\n") + kSeparator + "\r\nLogging start : 07.12.2026 21:54:57\r\n" +
                       kWindowNotFoundLine + "\r\nLogging end : 07.12.2026 21:54:57\r\n" + kSeparator + "\r\n");
}

// The window that got the start command is watched, not the started process
// (here a launcher that ended at once); a file under the temporary name keeps
// the wait going without the window.
struct OutputWait {
  const char* name;
  bool windowGone;
  bool temporaryFile;
  bool noOutput;
  std::size_t renames;
};

class SurCodeOutputWaitTest : public SurCodeJobTest, public ::testing::WithParamInterface<OutputWait> {};

TEST_P(SurCodeOutputWaitTest, SkippedOnlyOnceTheWindowAndTheTemporaryFileAreGone) {
  const OutputWait& row = GetParam();
  launcher_.nextChild.queriesWhileRunning = -1;
  windows_.failExists = row.windowGone;
  // The encoder creates its file once it has started.
  if (row.temporaryFile) {
    const auto start = launcher_.onStart;
    launcher_.onStart = [this, start](const fakes::FakeStartCall& call) {
      start(call);
      lookup_.AddEntry(kTmp);
    };
  }
  noOutput = row.noOutput;
  encodePolls = 5;
  EXPECT_EQ(Run("DTS-Track", 1, 1), !row.noOutput);
  EXPECT_EQ(files_.moves.size(), row.renames);
  // Made or not, the encoder's windows are closed.
  EXPECT_EQ(Posted(kWmClose), 1);
  EXPECT_EQ(MonoFilesRemain(), row.noOutput);
  EXPECT_EQ(Log().find(std::string(kEndedWithoutOutputLine) + "\r\nLogging end : ") != std::string::npos, row.noOutput);
}

INSTANTIATE_TEST_SUITE_P(Rows, SurCodeOutputWaitTest,
                         ::testing::Values(OutputWait{"WindowStaysUntilTheOutput", false, false, false, 5},
                                           OutputWait{"WindowGoneWhileTheFileIsWritten", true, true, false, 5},
                                           OutputWait{"WindowGoneWithoutFile", true, false, true, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SurCodeJobTest, NothingIsLoggedWithoutActiveLogging) {
  form_.settings.LogfileText = "   ";
  files_.files.erase("C:\\kavrin.log");
  hideEncoder = true;
  Run("DTS-Track", 1, 1);
  EXPECT_TRUE(files_.writes.empty());
}

TEST_F(SurCodeJobTest, LaterJobsNeverUseAnEarlierJobsWindow) {
  Run("DTS-Track", 1, 1);
  const WindowHandle first = encoderWindow_;
  outputName = "D:\\CD\\DTS-Track-002.tmp";
  Run("DTS-Track", 2, 1);
  ASSERT_NE(encoderWindow_, first);
  EXPECT_EQ(windows_.posted.at(2).Window, encoderWindow_);
  EXPECT_EQ(windows_.posted.at(2).Message, kWmCommand);
  EXPECT_TRUE(files_.Has("D:\\CD\\DTS-Track-002.wav"));
}

// A start-up window that ignores the close costs no tight loop: messages
// and a pause after each close, and after some 30 seconds the job is lost.
TEST_F(SurCodeJobTest, AStartupWindowThatStaysEndsTheJobAfterThirtySeconds) {
  launcher_.onStart = [this](const fakes::FakeStartCall&) { windows_.Add("Surcode CD Pro DTS", true, 1001); };
  windows_.onPost = nullptr;
  EXPECT_FALSE(Run("DTS-Track", 1, 1));
  EXPECT_EQ(Posted(kWmClose), kStartupCloseLimit + 1);  // the last one from closing the encoder's windows
  EXPECT_EQ(std::count(clock_.sleeps.begin(), clock_.sleeps.end(), kStartupClosePause), kStartupCloseLimit);
  EXPECT_GE(pump_.calls, kStartupCloseLimit);
  EXPECT_NE(Log().find(std::string(kStartupWindowStayedLine) + "\r\nLogging end : "), std::string::npos);
}

// An encoder that saves its options when it closes must not undo the
// restore; one that never goes holds it for 30 seconds at most.
TEST_F(SurCodeJobTest, RestoreWaitsForTheLastEncoderWindowToGo) {
  keepEncoderOnClose = true;
  automation_.BackupEncoderOptions();
  ASSERT_TRUE(Run("DTS-Track", 1, 1));
  journal_.clear();
  automation_.RestoreEncoderOptions();
  EXPECT_EQ(std::count(journal_.begin(), journal_.end(), "Sleep 100"), kEncoderCloseWaits);
  EXPECT_EQ(journal_.at(2 * kEncoderCloseWaits), "registry open");
}

// Encoders that were open before the job started its own, a killed run's or
// the user's, get neither the start command nor a close, even where they
// come later in the enumeration or show new windows meanwhile. Where the
// started program hands over to another and ends, a window of a process that
// was not there before is driven.
TEST_F(SurCodeJobTest, OnlyTheEncoderThisJobStartedIsDriven) {
  const struct {
    const char* name;
    bool handoff;
  } rows[] = {{"OwnProcess", false}, {"HandedOver", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    windows_.windows.clear();
    windows_.posted.clear();
    files_.files.erase(kWav);
    const WindowHandle leftover = windows_.Add("DTS Encoder", true, 77);
    const WindowHandle users = windows_.Add("dts encoder", true, 78);
    launcher_.nextChild.queriesWhileRunning = row.handoff ? -1 : 1000000;
    launcher_.onStart = [&](const fakes::FakeStartCall&) {
      // The newest window comes first, as the system enumerates them.
      encoderWindow_ = windows_.Add("DTS Encoder", true, row.handoff ? 2000 : Encoder());
      std::rotate(windows_.windows.begin(), windows_.windows.end() - 1, windows_.windows.end());
      windows_.Add("Surcode CD Pro DTS", true, 77);
    };
    EXPECT_TRUE(Run("DTS-Track", 1, 1));
    for (const fakes::PostedMessage& message : windows_.posted) {
      EXPECT_NE(message.Window, leftover);
      EXPECT_NE(message.Window, users);
    }
    EXPECT_EQ(windows_.posted.at(0).Window, encoderWindow_);
    EXPECT_EQ(windows_.posted.at(0).Message, kWmCommand);
    EXPECT_EQ(Posted(kWmClose), 1);
    EXPECT_TRUE(files_.Has(kWav));
  }
}

// An encoder that writes nothing, or stops writing, is given up after ten
// minutes of it, and its windows are closed; one that writes on, under its
// temporary name or that name with ".part", is never cut short.
TEST_F(SurCodeJobTest, TheWaitForTheOutputEndsAfterTenMinutesWithoutGrowth) {
  const struct {
    const char* name;
    int growPolls;  // polls in which the output grows
    bool completes;
    bool made;
    int polls;
  } rows[] = {
      {"NothingEver", 0, false, false, kOutputIdlePolls},
      {"StopsGrowing", 100, false, false, 100 + kOutputIdlePolls},
      {"LongEncodingThatGrows", 900, true, true, 901},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    clock_.sleeps.clear();
    files_.files.erase(kWav);
    files_.files[form_.settings.LogfileText].clear();
    windows_.posted.clear();
    int polls = 0;
    clock_.onSleep = [&] {
      if (!encoding_ || clock_.sleeps.back() != 1000) return;
      ++polls;
      if (polls <= row.growPolls) files_.files[std::string(kTmp) + ".part"] += "x";
      if (polls == row.growPolls + 1 && row.completes) files_.files[kTmp] = "RIFF";
    };
    EXPECT_EQ(Run("DTS-Track", 1, 1), row.made);
    encoding_ = false;
    files_.files.erase(std::string(kTmp) + ".part");
    EXPECT_EQ(polls, row.polls);
    EXPECT_EQ(Posted(kWmClose), 1);
    EXPECT_EQ(Log().find(kNoProgressLine) != std::string::npos, !row.made);
  }
}

}  // namespace
}  // namespace kavrin
