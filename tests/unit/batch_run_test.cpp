#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "batch/batch_run.hpp"
#include "core/error.hpp"
#include "fakes/fake_batch_form.hpp"
#include "fakes/fake_batch_session.hpp"
#include "fakes/fake_file_lookup.hpp"
#include "support/batch_fixture.hpp"

namespace kavrin {
namespace {

using Lines = std::vector<std::string>;

class BatchRunTest : public support::BatchFixture {
 protected:
  // The encoder stage leaves the job's track where the job said.
  void EncoderWritesTheTrack() {
    encoder_.onJob = [this](const Job& job) { LeaveTrack(TrackFileName(job), samples::Stream::Dts); };
  }

  // The parts of the journal that are not the wait loop.
  Lines Steps() const {
    Lines steps;
    for (const std::string& line : journal_) {
      if (line != "ProcessMessages" && line != "QueryExitCode" && line != "CloseHandles") steps.push_back(line);
    }
    return steps;
  }
};

TEST(FreeNumberTest, LowestFreeNumberFillsGapsAndCountsFolders) {
  fakes::FakeFileLookup lookup;
  EXPECT_EQ(FindFreeOutputNumber(lookup, "D:\\CD", "CDDA-Track"), 1);
  EXPECT_EQ(lookup.lookups, Lines{"D:\\CD\\CDDA-Track-001.wav"});

  lookup.AddEntry("D:\\CD\\CDDA-Track-001.wav");  // a folder of that name counts just the same
  lookup.AddEntry("D:\\CD\\CDDA-Track-003.wav");
  EXPECT_EQ(FindFreeOutputNumber(lookup, "D:\\CD\\", "CDDA-Track"), 2);
  lookup.AddEntry("D:\\CD\\CDDA-Track-002.wav");
  EXPECT_EQ(FindFreeOutputNumber(lookup, "D:\\CD", "CDDA-Track"), 4);
  EXPECT_EQ(FindFreeOutputNumber(lookup, "D:\\CD", "DTS-Track"), 1);

  lookup.lookups.clear();
  EXPECT_EQ(FindFreeOutputNumber(lookup, "", ""), 1);
  EXPECT_EQ(lookup.lookups, Lines{"\\-001.wav"});

  // Only a missing name or folder is free; access denied or a dropped share
  // is no number at all.
  for (const auto& [code, free] :
       {std::pair{3u, true}, std::pair{18u, true}, std::pair{5u, false}, std::pair{64u, false}}) {
    lookup.failEveryLookupWith = code;
    EXPECT_EQ(FindFreeOutputNumber(lookup, "D:\\CD", "CDDA-Track").has_value(), free) << code;
  }
}

TEST(BatchModeTest, FirstCheckedRadioDecides) {
  fakes::FakeBatchForm form;
  EXPECT_EQ(form.ReadMode(), BatchMode::None);
  form.cdda = true;
  EXPECT_EQ(form.ReadMode(), BatchMode::Cdda);
  form.ac3Cd = true;
  EXPECT_EQ(form.ReadMode(), BatchMode::Ac3Cd);
  form.dtsCd = true;
  EXPECT_EQ(form.ReadMode(), BatchMode::DtsCd);
}

TEST_F(BatchRunTest, JobsInListAndStreamOrderWithRisingNumbers) {
  TranscoderWritesItsOutput();
  form_.ac3Cd = true;
  form_.AddEntry("D:\\DVD\\a.VOB", {0, 2});
  form_.AddEntry("D:\\DVD\\b.ac3", {3});  // flags of other files are not looked at
  ASSERT_TRUE(runner_.Run(form_));
  const std::string tail = "-ddwav ";
  EXPECT_EQ(CommandLines(),
            (Lines{"\"C:\\Tools\\BeSweet.exe\" -core( -input \"D:\\DVD\\a.VOB\" -output "
                   "\"D:\\CD\\DOLBYDIGITAL-Track-001.wav\" -ddwav -substream 0x80 ) -ssrc(  --rate 44100 ) ",
                   "\"C:\\Tools\\BeSweet.exe\" -core( -input \"D:\\DVD\\a.VOB\" -output "
                   "\"D:\\CD\\DOLBYDIGITAL-Track-002.wav\" -ddwav -substream 0x82 ) -ssrc(  --rate 44100 ) ",
                   "\"C:\\Tools\\BeSweet.exe\" -core( -input \"D:\\DVD\\b.ac3\" -output "
                   "\"D:\\CD\\DOLBYDIGITAL-Track-003.wav\" -ddwav ) -ssrc(  --rate 44100 ) "}));
  EXPECT_EQ(launcher_.OpenChildren(), 0);
  EXPECT_EQ(clock_.sleeps.size(), 3u);
  EXPECT_EQ(encoder_.jobs, 0);
  EXPECT_EQ(form_.finishedMessages, 1);

  // A second batch goes on after the files the first one left.
  form_.entries.resize(1);
  form_.entries[0].Streams = {};
  form_.entries[0].Streams[7] = true;
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_NE(launcher_.starts.back().commandLine.find("DOLBYDIGITAL-Track-004.wav\" -ddwav -substream 0x87 )"),
            std::string::npos);
}

TEST_F(BatchRunTest, VobEntryWithoutStreamsMakesNoJobAndUsesNoNumber) {
  form_.cdda = true;
  form_.AddEntry("D:\\DVD\\a.vob");
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_TRUE(launcher_.starts.empty());
  EXPECT_TRUE(lookup_.lookups.empty());
  EXPECT_EQ(form_.finishedMessages, 1);
}

TEST_F(BatchRunTest, WithoutAModeJobsRunWithoutModePieceOrEncoder) {
  form_.AddEntry("D:\\DVD\\a.ac3");
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(CommandLines(), Lines{"\"C:\\Tools\\BeSweet.exe\" ) -ssrc(  --rate 44100 ) "});
  EXPECT_EQ(lookup_.lookups, Lines{"D:\\CD\\-001.wav"});
  EXPECT_EQ(Steps(), (Lines{"CreateWindowList", "Start " + launcher_.starts[0].commandLine, "Sleep 1000",
                            "ReleaseWindowList", "Encoding Finished!"}));
}

TEST_F(BatchRunTest, DtsBatchCallsTheEncoderStageInOrder) {
  form_.dtsCd = true;
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.AddEntry("D:\\DVD\\b.vob", {1});
  EncoderWritesTheTrack();
  ASSERT_TRUE(runner_.Run(form_));
  ASSERT_EQ(launcher_.starts.size(), 2u);
  EXPECT_EQ(journal_, (Lines{"CreateWindowList",
                             "BackupEncoderOptions",
                             "PrepareSurCodeJob C:\\Temp",
                             "Start " + launcher_.starts[0].commandLine,
                             "Sleep 1000",
                             "ProcessMessages",
                             "QueryExitCode",
                             "CloseHandles",
                             "RunSurCodeJob DTS-Track 1 1",
                             "Read D:\\CD\\DTS-Track-001.wav",
                             "PrepareSurCodeJob C:\\Temp",
                             "Start " + launcher_.starts[1].commandLine,
                             "Sleep 1000",
                             "ProcessMessages",
                             "QueryExitCode",
                             "CloseHandles",
                             "RunSurCodeJob DTS-Track 2 2",
                             "Read D:\\CD\\DTS-Track-002.wav",
                             "RestoreEncoderOptions",
                             "ReleaseWindowList",
                             "Encoding Finished!"}));
  EXPECT_NE(launcher_.starts[1].commandLine.find("-output \"C:\\Temp\\mono\" -6ch -substream 0x81 ) "),
            std::string::npos);
}

TEST_F(BatchRunTest, EmptyListStillBracketsTheBatch) {
  form_.dtsCd = true;
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(journal_, (Lines{"CreateWindowList", "BackupEncoderOptions", "RestoreEncoderOptions", "ReleaseWindowList",
                             "Encoding Finished!"}));
}

TEST_F(BatchRunTest, StartFailureSkipsTheJobSilently) {
  form_.dtsCd = true;
  form_.settings.UseLogfile = true;
  form_.settings.LogfileText = "C:\\log.txt";
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.AddEntry("D:\\DVD\\b.ac3");
  launcher_.failStartNumbers = {1};
  EncoderWritesTheTrack();
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(encoder_.jobs, 1);
  EXPECT_EQ(clock_.sleeps.size(), 1u);
  EXPECT_NE(std::find(journal_.begin(), journal_.end(), "RunSurCodeJob DTS-Track 1 2"), journal_.end());
  // No line of its own, only the summary after the last job.
  EXPECT_EQ(files_.files["C:\\log.txt"], "1 of 2 tracks were not made:\r\nD:\\DVD\\a.ac3\r\n");
  EXPECT_EQ(form_.finishedText, "Encoding Finished!\n\n1 of 2 tracks were not made:\nD:\\DVD\\a.ac3");
}

TEST_F(BatchRunTest, EveryJobFailingToStartStillEndsWithTheMessage) {
  form_.cdda = true;
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.AddEntry("D:\\DVD\\b.vob", {0, 1});
  launcher_.failStart = true;
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(launcher_.starts.size(), 3u);
  EXPECT_EQ(lookup_.lookups.size(), 3u);  // the same number 1 each time
  EXPECT_EQ(form_.finishedMessages, 1);
}

// A track is made when its file is there after the job; without a mode only
// a start failure counts. With the shutdown the lines go to the log alone.
TEST_F(BatchRunTest, TheFinishTellsWhichTracksWereNotMade) {
  form_.cdda = true;
  form_.settings.UseLogfile = true;
  form_.settings.LogfileText = "C:\\log.txt";
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.AddEntry("D:\\DVD\\b.vob", {0, 1});
  launcher_.failStartNumbers = {1};
  launcher_.onStart = [this](const fakes::FakeStartCall& call) {
    if (call.commandLine.find("0x81") == std::string::npos) WriteOutput(call);
  };
  form_.settings.Shutdown = true;
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(form_.finishedMessages, 0);
  EXPECT_EQ(files_.files["C:\\log.txt"],
            "2 of 3 tracks were not made:\r\nD:\\DVD\\a.ac3\r\nD:\\DVD\\b.vob (stream 0x81)\r\n");

  form_.settings.Shutdown = false;
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(form_.finishedText, "Encoding Finished!\n\n1 of 3 tracks were not made:\nD:\\DVD\\b.vob (stream 0x81)");
  EXPECT_TRUE(form_.finishedWarning);

  form_.cdda = false;
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(form_.finishedText, "Encoding Finished!");
  EXPECT_FALSE(form_.finishedWarning);
  const Lines many = NotMadeLines(Lines(12, "x"), 20);
  EXPECT_EQ(Lines(many.begin() + 10, many.end()), (Lines{"x", "and 2 more"}));

  // Each part after a blank line, in this order, in the box and in the log.
  BatchStatus status(files_, clock_, nullptr, BatchMode::DtsCd);
  status.JobStarted(form_.settings);
  status.JobFinished("D:\\DVD\\a.ac3", false);
  status.JobFinished("D:\\DVD\\b.ac3", true);
  status.TrackChecked("DTS-Track-004.wav", "no DTS stream");
  status.LayoutWritten({"DTS-Track.cue: 1 track, 0:10 (fits a 74-minute disc)"}, false);
  files_.files["C:\\log.txt"].clear();
  status.BatchFinished(form_);
  const std::string parts[] = {"1 of 2 tracks were not made:",
                               "D:\\DVD\\a.ac3",
                               "",
                               "1 of 1 tracks will not play as DTS-CD:",
                               "DTS-Track-004.wav: no DTS stream",
                               "",
                               "DTS-Track.cue: 1 track, 0:10 (fits a 74-minute disc)"};
  std::string box = "Encoding Finished!\n";
  std::string log;
  for (const std::string& line : parts) {
    box += "\n" + line;
    log += line + "\r\n";
  }
  EXPECT_EQ(form_.finishedText, box);
  EXPECT_EQ(files_.files["C:\\log.txt"], log);
}

// A job's folders are read once, as names without the quotes of "Copy as
// path", and the same ones go to the transcoder and the encoder stage.
TEST_F(BatchRunTest, FoldersAreFixedWhenTheJobStartsAndLoseTheirQuotes) {
  form_.dtsCd = true;
  form_.settings.TempFolderText = " \"C:\\My Temp\" ";
  form_.settings.FinalFolderText = "\"D:\\CD\"";
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.AddEntry("D:\\DVD\\b.ac3");
  Lines folders;
  encoder_.onJob = [&](const Job& job) { folders.push_back(job.TempFolder + "|" + job.FinalFolder); };
  pump_.onProcess = [this] { form_.settings.FinalFolderText = "E:\\Other"; };
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(folders, (Lines{"C:\\My Temp|D:\\CD", "C:\\My Temp|E:\\Other"}));
  EXPECT_EQ(lookup_.lookups.front(), "D:\\CD\\DTS-Track-001.wav");
  EXPECT_NE(launcher_.starts[0].commandLine.find("-output \"C:\\My Temp\\mono\""), std::string::npos);
}

TEST_F(BatchRunTest, AFailedLookupOrNamesThatStayLoseTheJobBeforeTheTranscoder) {
  form_.settings.UseLogfile = true;
  form_.settings.LogfileText = "C:\\log.txt";
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.ac3Cd = true;
  lookup_.failEveryLookupWith = 5;  // access denied: number 1 may well be taken
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(files_.files["C:\\log.txt"].find("Cannot look up the tracks in D:\\CD - job skipped\r\n1 of 1"), 0u);
  lookup_.failEveryLookupWith.reset();
  form_.dtsCd = true;
  encoder_.failPrepare = true;
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_TRUE(launcher_.starts.empty());
  EXPECT_TRUE(form_.finishedWarning);

  // The system drops a name's last dots and blanks: another file would be read.
  encoder_.failPrepare = false;
  form_.entries.clear();
  for (const char* input : {"D:\\DVD\\a.ac3.", "D:\\DVD\\a.ac3 "}) form_.AddEntry(input);
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_TRUE(launcher_.starts.empty());
  EXPECT_NE(files_.files["C:\\log.txt"].find("a.ac3  cannot be opened by its name, which ends in a dot or a blank"),
            std::string::npos);
}

TEST_F(BatchRunTest, OneBatchAcrossInstancesWithTheMachineKeptAwake) {
  fakes::FakeBatchSession session;
  session.journal = &journal_;
  BatchRunner runner(BatchServices{launcher_, lookup_, files_, clock_, pump_, encoder_, nullptr, &session});
  form_.AddEntry("D:\\DVD\\a.ac3");
  session.heldElsewhere = true;
  EXPECT_FALSE(runner.Run(form_));
  EXPECT_EQ(journal_, (Lines{"TryLock", "Another batch is running"}));
  session.heldElsewhere = false;
  journal_.clear();
  ASSERT_TRUE(runner.Run(form_));
  EXPECT_EQ(Steps(), (Lines{"TryLock", "KeepAwake on", "CreateWindowList", "Start " + launcher_.starts[0].commandLine,
                            "Sleep 1000", "ReleaseWindowList", "KeepAwake off", "Unlock", "Encoding Finished!"}));
  form_.dtsCd = true;
  encoder_.throwOnBackup = true;  // an error on the way out lets go of both too
  EXPECT_THROW(runner.Run(form_), KavrinError);
  EXPECT_EQ(session.calls.back(), "Unlock");
}

TEST_F(BatchRunTest, SessionEndRestoresTheOptionsAtOnceAndStartsNothingMore) {
  form_.dtsCd = true;
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.AddEntry("D:\\DVD\\b.ac3");
  pump_.onProcess = [this] { runner_.EndSession(); };
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(launcher_.starts.size(), 1u);
  EXPECT_EQ(encoder_.jobs, 0);
  EXPECT_NE(std::find(journal_.begin(), journal_.end(), "RestoreEncoderOptionsNow"), journal_.end());
}

TEST_F(BatchRunTest, PreRunLineGoesBeforeTheStartWhenTheLogExists) {
  form_.cdda = true;
  form_.settings.UseLogfile = true;
  form_.settings.LogfileText = " C:\\log.txt ";
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.AddEntry("D:\\DVD\\b.ac3");
  // The log comes into being with the first run's report, under the name
  // BeSweet was given, which the program's own writes use too.
  launcher_.onStart = [this](const fakes::FakeStartCall& call) {
    files_.files["C:\\log.txt"] += "report\n";
    WriteOutput(call);
  };
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(files_.files["C:\\log.txt"], "report\r\n\r\nreport\n");
  EXPECT_NE(launcher_.starts[0].commandLine.find("-logfilea \"C:\\log.txt\" ) "), std::string::npos);
  // Each track is read as soon as it is there.
  const Lines expected = {"CreateWindowList",
                          "Read C:\\log.txt",
                          "Start " + launcher_.starts[0].commandLine,
                          "Read D:\\CD\\CDDA-Track-001.wav",
                          "Read C:\\log.txt",
                          "Write C:\\log.txt",
                          "Start " + launcher_.starts[1].commandLine,
                          "Read D:\\CD\\CDDA-Track-002.wav",
                          "ReleaseWindowList",
                          "Encoding Finished!"};
  Lines steps = Steps();
  steps.erase(std::remove(steps.begin(), steps.end(), "Sleep 1000"), steps.end());
  EXPECT_EQ(steps, expected);
}

TEST_F(BatchRunTest, NoLogWritesWithoutActiveLogging) {
  struct Row {
    bool useLogfile;
    std::string name;
  };
  for (const Row& row : {Row{false, "C:\\log.txt"}, Row{true, "   "}}) {
    fakes::FakeFileStore files;
    BatchRunner runner(BatchServices{launcher_, lookup_, files, clock_, pump_, encoder_});
    form_.entries.clear();
    form_.cdda = true;
    form_.settings.UseLogfile = row.useLogfile;
    form_.settings.LogfileText = row.name;
    files.files[row.name] = "old\n";
    form_.AddEntry("D:\\DVD\\a.ac3");
    ASSERT_TRUE(runner.Run(form_));
    EXPECT_TRUE(files.reads.empty());
    EXPECT_TRUE(files.writes.empty());
    EXPECT_EQ(launcher_.starts.back().commandLine.find("-logfilea"), std::string::npos);
  }
}

TEST_F(BatchRunTest, ShutdownReplacesTheMessage) {
  form_.settings.Shutdown = true;
  form_.AddEntry("D:\\DVD\\a.ac3");
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(form_.shutdowns, 1);
  EXPECT_EQ(form_.finishedMessages, 0);
}

TEST_F(BatchRunTest, ErrorInAJobRestoresOptionsAndReleasesTheListBeforePropagating) {
  form_.dtsCd = true;
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.AddEntry("D:\\DVD\\b.ac3");
  encoder_.throwOnJob = 1;
  EXPECT_THROW(runner_.Run(form_), KavrinError);
  EXPECT_EQ(Steps(), (Lines{"CreateWindowList", "BackupEncoderOptions", "PrepareSurCodeJob C:\\Temp",
                            "Start " + launcher_.starts[0].commandLine, "Sleep 1000", "RunSurCodeJob DTS-Track 1 1",
                            "RestoreEncoderOptions", "ReleaseWindowList"}));
  EXPECT_EQ(form_.finishedMessages, 0);
  EXPECT_FALSE(runner_.Running());

  // The next press runs a new batch.
  encoder_.throwOnJob = 0;
  encoder_.jobs = 0;
  EXPECT_TRUE(runner_.Run(form_));
  EXPECT_EQ(encoder_.jobs, 2);
}

TEST_F(BatchRunTest, FailedBackupOrRestoreStillReleasesTheList) {
  form_.dtsCd = true;
  form_.AddEntry("D:\\DVD\\a.ac3");
  encoder_.throwOnBackup = true;
  EXPECT_THROW(runner_.Run(form_), KavrinError);
  EXPECT_EQ(journal_, (Lines{"CreateWindowList", "BackupEncoderOptions", "ReleaseWindowList"}));
  EXPECT_TRUE(launcher_.starts.empty());

  journal_.clear();
  encoder_.throwOnBackup = false;
  encoder_.throwOnRestore = true;
  EXPECT_THROW(runner_.Run(form_), KavrinError);
  EXPECT_EQ(Steps().back(), "ReleaseWindowList");
  EXPECT_EQ(form_.finishedMessages, 0);
}

TEST_F(BatchRunTest, RestoreErrorDoesNotHideTheJobError) {
  form_.dtsCd = true;
  form_.AddEntry("D:\\DVD\\a.ac3");
  encoder_.throwOnJob = 1;
  encoder_.throwOnRestore = true;
  try {
    runner_.Run(form_);
    FAIL() << "no error";
  } catch (const KavrinError& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'WAVEFILE7'");
  }
  EXPECT_EQ(Steps().back(), "ReleaseWindowList");
}

TEST_F(BatchRunTest, SecondPressDuringTheWaitIsIgnored) {
  form_.cdda = true;
  form_.AddEntry("D:\\DVD\\a.ac3");
  int nestedResults = 0;
  pump_.onProcess = [&] { nestedResults += runner_.Run(form_) ? 1 : 0; };
  form_.onFinishedMessage = [&] { nestedResults += runner_.Run(form_) ? 1 : 0; };
  EXPECT_TRUE(runner_.Run(form_));
  EXPECT_EQ(nestedResults, 0);
  EXPECT_EQ(launcher_.starts.size(), 1u);
  EXPECT_EQ(form_.finishedMessages, 1);
  EXPECT_FALSE(runner_.Running());
}

TEST_F(BatchRunTest, ModeIsFixedButOtherFieldsAreReadPerJob) {
  TranscoderWritesItsOutput();
  form_.ac3Cd = true;
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.AddEntry("D:\\DVD\\b.ac3");
  pump_.onProcess = [this] {
    form_.ac3Cd = false;
    form_.dtsCd = true;
    form_.settings.Azid = "-c normal";
    form_.settings.BeSweetPath = "C:\\Other.exe";
  };
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(CommandLines()[1],
            "\"C:\\Other.exe\" -core( -input \"D:\\DVD\\b.ac3\" -output \"D:\\CD\\DOLBYDIGITAL-Track-002.wav\" "
            "-ddwav ) -azid( -c normal ) -ssrc(  --rate 44100 ) ");
  EXPECT_EQ(encoder_.jobs, 0);
  EXPECT_EQ(std::count(journal_.begin(), journal_.end(), "BackupEncoderOptions"), 0);
}

TEST_F(BatchRunTest, EntriesDeletedDuringAWaitEndTheLoop) {
  form_.cdda = true;
  form_.AddEntry("D:\\DVD\\a.vob", {0, 5});
  form_.AddEntry("D:\\DVD\\b.ac3");
  form_.AddEntry("D:\\DVD\\c.ac3");
  pump_.onProcess = [this] { form_.entries.clear(); };
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(launcher_.starts.size(), 1u);
  EXPECT_EQ(form_.finishedMessages, 1);
}

TEST_F(BatchRunTest, EntriesAddedDuringABatchWaitForTheNext) {
  form_.cdda = true;
  form_.AddEntry("D:\\DVD\\a.ac3");
  pump_.onProcess = [this] {
    if (form_.entries.size() == 1) form_.AddEntry("D:\\DVD\\late.ac3");
  };
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(launcher_.starts.size(), 1u);
}

}  // namespace
}  // namespace kavrin
