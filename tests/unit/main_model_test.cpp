#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/error.hpp"
#include "fakes/fake_batch_form.hpp"
#include "fakes/fake_batch_session.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/fake_file_lookup.hpp"
#include "fakes/fake_file_store.hpp"
#include "fakes/fake_main_view.hpp"
#include "fakes/fake_process.hpp"
#include "fakes/fake_shutdown_api.hpp"
#include "fakes/fake_text_services.hpp"
#include "model/main_model.hpp"
#include "support/stream_samples.hpp"

namespace kavrin {
namespace {

using Lines = std::vector<std::string>;

const char* const kInput = "D:\\DVD\\a.ac3";
const std::string kNotMade = "Encoding Finished!\n\n1 of 1 tracks were not made:\nD:\\DVD\\a.ac3";

// The window's decisions in each state: what a close, "Go", the finished box,
// the shutdown, a failed store and another instance's batch ask of the view,
// and where the program stands afterwards (what one more close does).
struct ModelCase {
  const char* name;
  enum When { Idle, InBatch, InBox } when;
  bool close = true;  // the event: a close, else a second "Go"
  bool made = true;   // the transcoder leaves its track
  bool failStore = false;
  bool shutdown = false;
  bool elsewhere = false;   // another instance runs a batch
  bool batchError = false;  // the batch stops on an error
  Lines calls;
  bool throws = false;
  Lines afterwards;  // one more close
};

class MainModelTest : public ::testing::TestWithParam<ModelCase> {
 protected:
  fakes::FakeMainView view_;
  fakes::FakeProcessLauncher launcher_;
  fakes::FakeFileLookup lookup_;
  fakes::FakeFileStore files_;
  fakes::FakeClock clock_;
  fakes::FakeMessagePump pump_;
  fakes::FakeEncoderStage encoder_;
  fakes::FakeBatchSession session_;
  fakes::FakeCollation collation_;
  fakes::FakeErrorTexts errors_;
  fakes::FakeShutdownApi shutdown_;
  MainModel model_{view_, BatchServices{launcher_, lookup_, files_, clock_, pump_, encoder_, nullptr, &session_},
                   SortServices{lookup_, collation_, errors_}, shutdown_};
};

TEST_P(MainModelTest, EachStateAndEvent) {
  const ModelCase& row = GetParam();
  view_.settings.FinalFolderText = "D:\\CD";
  view_.settings.Shutdown = row.shutdown;
  if (row.batchError) view_.mode = BatchMode::DtsCd;
  encoder_.throwOnBackup = row.batchError;
  session_.heldElsewhere = row.elsewhere;
  model_.Add({kInput}, -1);
  if (row.made) {
    launcher_.onStart = [this](const auto&) {
      lookup_.AddEntry("D:\\CD\\DOLBYDIGITAL-Track-001.wav");
      files_.files["D:\\CD\\DOLBYDIGITAL-Track-001.wav"] = samples::SampleTrack(samples::Stream::Ac3);
    };
  }
  const auto event = [&] {
    view_.failStore = row.failStore;
    row.close ? model_.Close() : model_.Go();
  };
  bool fired = false;
  const auto once = [&] {
    if (!std::exchange(fired, true)) event();
  };
  if (row.when == ModelCase::InBatch) pump_.onProcess = once;
  if (row.when == ModelCase::InBox) view_.onBox = once;
  bool threw = false;
  try {
    row.when == ModelCase::Idle ? event() : model_.Go();
  } catch (const KavrinError&) {
    threw = true;
  }
  EXPECT_EQ(view_.calls, row.calls);
  EXPECT_EQ(threw, row.throws);
  view_.calls.clear();
  view_.failStore = false;
  model_.Close();
  EXPECT_EQ(view_.calls, row.afterwards);
}

const Lines kClosed = {"FormClose", "DestroyForm"};
const std::string kAnother =
    "Box AnotherBatch: Another Kavrin batch is running. Nothing was started; press \"Go\" again when it has finished.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Rows, MainModelTest,
    ::testing::Values(
        //        name                           when            close  made   failStore shutdown elsewhere batchError
        ModelCase{"CloseWhenIdle",               ModelCase::Idle,    true,  true,  false, false, false, false,
                  kClosed, false, kClosed},
        ModelCase{"FailedStoreKeepsTheWindow",   ModelCase::Idle,    true,  true,  true,  false, false, false,
                  {"FormClose failed"}, true, kClosed},
        ModelCase{"GoShowsTheFinish",            ModelCase::Idle,    false, true,  false, false, false, false,
                  {"Lock 1 0", "Box Finished: Encoding Finished!", "Lock 0 1"}, false, kClosed},
        ModelCase{"GoRefusedByAnotherInstance",  ModelCase::Idle,    false, true,  false, false, true,  false,
                  {"Lock 1 0", kAnother, "Lock 0 1"}, false, kClosed},
        ModelCase{"GoWithShutdownEnds",          ModelCase::Idle,    false, true,  false, true,  false, false,
                  {"Lock 1 0", "EndProgram", "Lock 0 1"}, false, {}},
        ModelCase{"BatchErrorEndsTheHandler",    ModelCase::Idle,    false, true,  false, false, false, true,
                  {"Lock 1 0", "Lock 0 1"}, true, kClosed},
        ModelCase{"SecondGoInTheBatchDoesNothing", ModelCase::InBatch, false, true, false, false, false, false,
                  {"Lock 1 0", "Box Finished: Encoding Finished!", "Lock 0 1"}, false, kClosed},
        ModelCase{"CloseInTheBatchEndsAfterIt",  ModelCase::InBatch, true,  true,  false, false, false, false,
                  {"Lock 1 0", "FormClose", "Lock 0 1", "FormClose", "EndProgram"}, false, {}},
        ModelCase{"CloseInTheBatchStillNamesTheTrackNotMade", ModelCase::InBatch, true, false, false, false, false, false,
                  {"Lock 1 0", "FormClose", "Lock 0 1", "FormClose", "Box FinishedWithWarning: " + kNotMade,
                   "EndProgram"}, false, {}},
        ModelCase{"CloseInTheBatchWithAFailedStoreKeepsTheWindow", ModelCase::InBatch, true, false, true, false, false,
                  false, {"Lock 1 0", "FormClose failed", "Lock 0 1", "FormClose failed",
                   "Box FinishedWithWarning: " + kNotMade + "\r\n\r\nUnable to write to Kavrin.ini"}, false, kClosed},
        ModelCase{"CloseInTheBatchThenItsShutdown", ModelCase::InBatch, true, true, false, true, false, false,
                  {"Lock 1 0", "FormClose", "FormClose", "EndProgram", "Lock 0 1"}, false, {}},
        ModelCase{"CloseAtTheFinishedBoxEndsIt", ModelCase::InBox,   true,  true,  false, false, false, false,
                  {"Lock 1 0", "Box Finished: Encoding Finished!", "FormClose", "EndProgram", "Lock 0 1"}, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// lbInputFiles follows the list in place: a deleted line goes, a moved one
// moves, a new one comes with its record, and the selection comes last.
TEST(MirrorEditsTest, TheListBoxFollowsInPlace) {
  InputList list;
  list.Add({"a", "b", "c"});
  std::vector<const TVobFile*> shown;
  using K = ListEdit::Kind;
  auto steps = [&] {
    std::string text;
    for (const ListEdit& edit : MirrorEdits(shown, list)) {
      const char* kinds[] = {"D", "M", "I", "S"};
      text += std::string(kinds[static_cast<int>(edit.Step)]) + std::to_string(edit.Line) +
              (edit.Step == K::Move ? ">" + std::to_string(edit.To) : "") + edit.Text + " ";
    }
    return text;
  };
  EXPECT_EQ(steps(), "I0a I1b I2c S-1 ");
  list.Select(2);
  list.MoveUp();
  EXPECT_EQ(steps(), "M2>1 S1 ");
  // The model follows every change at once, before a record can be freed.
  list.Select(0);
  list.Delete();
  EXPECT_EQ(steps(), "D0 S-1 ");
  list.Add({"d"});
  EXPECT_EQ(steps(), "I2d S-1 ");
  EXPECT_EQ(steps(), "S-1 ");
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2], list.Entries()[2].File.get());
}

}  // namespace
}  // namespace kavrin
