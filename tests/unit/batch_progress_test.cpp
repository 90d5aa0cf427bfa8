#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/batch_progress.hpp"
#include "batch/batch_run.hpp"
#include "core/error.hpp"
#include "fakes/fake_batch_form.hpp"
#include "support/batch_fixture.hpp"

namespace kavrin {
namespace {

using Lines = std::vector<std::string>;

TEST(CountJobsTest, OnePerPlainEntryAndOnePerSelectedVobStream) {
  struct Entry {
    std::string path;
    std::vector<int> streams;
  };
  struct Row {
    const char* name;
    std::vector<Entry> entries;
    int jobs;
  };
  const std::vector<Row> rows = {
      {"empty list", {}, 0},
      {"plain entries ignore their flags", {{"D:\\a.ac3", {0, 1}}, {"D:\\noextension", {}}}, 2},
      {"vob without streams", {{"D:\\a.vob", {}}}, 0},
      {"every stream, any letter case", {{"D:\\a.VoB", {0, 1, 2, 3, 4, 5, 6, 7}}}, 8},
      {"mixed", {{"D:\\a.VOB", {0, 2}}, {"D:\\b.ac3", {}}, {"D:\\c.vob", {7}}, {"D:\\vob", {3}}}, 5},
  };
  for (const Row& row : rows) {
    fakes::FakeBatchForm form;
    for (const Entry& entry : row.entries) form.AddEntry(entry.path, entry.streams);
    EXPECT_EQ(CountJobs(form), row.jobs) << row.name;
  }
}

class BatchProgressTest : public support::BatchFixture {
 protected:
  BatchProgressTest() : BatchFixture(true) {
    // The batch's steps and the taskbar calls only.
    files_.journal = nullptr;
    clock_.journal = nullptr;
    pump_.journal = nullptr;
    form_.cdda = true;
    // Each job leaves its track, as the programs would.
    TranscoderWritesItsOutput();
    encoder_.onJob = [this](const Job& job) {
      LeaveTrack(job.FinalFolder + "\\DTS-Track-00" + std::to_string(job.OutputNumber) + ".wav", samples::Stream::Dts);
    };
  }

  // The batch's steps and the taskbar calls, without the wait loop.
  Lines Steps() const {
    Lines steps;
    for (const std::string& line : journal_) {
      if (line.rfind("Start ", 0) == 0) {
        steps.push_back("Start");
      } else if (line != "ProcessMessages" && line != "QueryExitCode" && line != "CloseHandles") {
        steps.push_back(line);
      }
    }
    return steps;
  }
};

TEST_F(BatchProgressTest, JobsDoneOfTheCountedJobsThenClearedAfterTheMessage) {
  form_.dtsCd = true;
  form_.AddEntry("D:\\DVD\\a.VOB", {0, 2});
  form_.AddEntry("D:\\DVD\\b.ac3");
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(Steps(),
            (Lines{"CreateWindowList", "BackupEncoderOptions", "Taskbar Progress 0/3", "PrepareSurCodeJob C:\\Temp",
                   "Start", "RunSurCodeJob DTS-Track 1 1", "Taskbar Progress 1/3", "PrepareSurCodeJob C:\\Temp",
                   "Start", "RunSurCodeJob DTS-Track 2 1", "Taskbar Progress 2/3", "PrepareSurCodeJob C:\\Temp",
                   "Start", "RunSurCodeJob DTS-Track 3 2", "Taskbar Progress 3/3", "RestoreEncoderOptions",
                   "ReleaseWindowList", "Encoding Finished!", "Taskbar Clear"}));
}

TEST_F(BatchProgressTest, FirstStartFailureTurnsTheRestRed) {
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.AddEntry("D:\\DVD\\b.ac3");
  form_.AddEntry("D:\\DVD\\c.ac3");
  form_.AddEntry("D:\\DVD\\d.ac3");
  launcher_.failStartNumbers = {2, 4};
  ASSERT_TRUE(runner_.Run(form_));
  const Lines red = {"Progress 0/4", "Progress 1/4", "Error", "Progress 2/4", "Progress 3/4", "Progress 4/4", "Clear"};
  EXPECT_EQ(taskbar_.calls, red);

  // A job that the encoder stage skipped, in a batch of its own.
  form_.dtsCd = true;
  launcher_.failStartNumbers.clear();
  encoder_.skipJob = 2;
  taskbar_.calls.clear();
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(taskbar_.calls, red);
}

TEST_F(BatchProgressTest, NothingToCountShowsNothingButStillClears) {
  form_.AddEntry("D:\\DVD\\a.vob");
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(taskbar_.calls, Lines{"Clear"});
}

TEST_F(BatchProgressTest, ClearedAlsoAfterAnErrorAndAfterTheShutdown) {
  form_.dtsCd = true;
  form_.AddEntry("D:\\DVD\\a.ac3");
  form_.AddEntry("D:\\DVD\\b.ac3");
  encoder_.throwOnJob = 1;
  EXPECT_THROW(runner_.Run(form_), KavrinError);
  EXPECT_EQ(taskbar_.calls, (Lines{"Progress 0/2", "Clear"}));
  EXPECT_EQ(Steps().back(), "Taskbar Clear");

  journal_.clear();
  encoder_.throwOnJob = 0;
  form_.settings.Shutdown = true;
  ASSERT_TRUE(runner_.Run(form_));
  const Lines steps = Steps();
  ASSERT_GE(steps.size(), 2u);
  EXPECT_EQ(steps[steps.size() - 2], "ShutdownComputer");
  EXPECT_EQ(steps.back(), "Taskbar Clear");
}

TEST_F(BatchProgressTest, StreamsChosenDuringAWaitDoNotRunPastTheEnd) {
  form_.AddEntry("D:\\DVD\\a.vob", {0});
  // The count was taken at the start; a stream chosen during the first wait
  // adds a job the bar did not count.
  pump_.onProcess = [this] { form_.entries[0].Streams[5] = true; };
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(launcher_.starts.size(), 2u);
  EXPECT_EQ(taskbar_.calls, (Lines{"Progress 0/1", "Progress 1/1", "Progress 1/1", "Clear"}));
}

TEST_F(BatchProgressTest, ASecondPressDuringTheBatchLeavesTheBarAlone) {
  form_.AddEntry("D:\\DVD\\a.ac3");
  pump_.onProcess = [this] { EXPECT_FALSE(runner_.Run(form_)); };
  ASSERT_TRUE(runner_.Run(form_));
  EXPECT_EQ(taskbar_.calls, (Lines{"Progress 0/1", "Progress 1/1", "Clear"}));
}

}  // namespace
}  // namespace kavrin
