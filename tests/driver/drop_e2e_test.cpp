#include <windows.h>
#include <gtest/gtest.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "batch_test.hpp"
#include "core/text.hpp"
#include "harness.hpp"
#include "kavrin_window.hpp"

namespace kavrin::e2e {
namespace {

// A DROPFILES block as the shell builds it: the header, then the names,
// each ended by a zero, and one more zero.
std::string DropBlock(const std::vector<std::string>& paths, POINT at) {
  DROPFILES header{};
  header.pFiles = sizeof header;
  header.pt = at;
  header.fNC = FALSE;
  header.fWide = FALSE;
  std::string block(reinterpret_cast<const char*>(&header), sizeof header);
  for (const std::string& path : paths) block += path + '\0';
  block += '\0';
  return block;
}

// Posts a drop of `paths` onto a window, the list box unless told. WM_DROPFILES carries a handle
// that only the receiving process can read, so the block is written into
// kavrin.exe's memory and passed as a fixed block, whose handle is its
// address. Wine reads such a block; Windows may refuse one that its own heap
// did not allocate. The batch test's folder serves the drops during a batch.
class DropE2e : public BatchTest {
 protected:
  void Drop(const std::vector<std::string>& paths, HWND target = nullptr) {
    const std::string block = DropBlock(paths, {20, 20});
    void* remote = blocks_.emplace_back(LendMemory(kavrin_.Handle(), block.size())).Get().address;
    ASSERT_NE(remote, nullptr);
    SIZE_T written = 0;
    ASSERT_TRUE(WriteProcessMemory(kavrin_.Handle(), remote, block.data(), block.size(), &written));
    ASSERT_EQ(written, block.size());
    ASSERT_TRUE(PostMessageA(target != nullptr ? target : window_.lbInputFiles, WM_DROPFILES,
                             reinterpret_cast<WPARAM>(remote), 0));
  }

  void TearDown() override {
    blocks_.clear();
    BatchTest::TearDown();
  }

  std::vector<win32::RemoteMemory> blocks_;
};

TEST_F(DropE2e, DroppedFilesJoinTheListInTheirOrderAsAddWouldAddThem) {
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  // Names longer than MAX_PATH come through whole; nothing needs to exist.
  const std::string longName = "C:\\" + std::string(280, 'n') + "\\VTS_02_1.VOB";
  const std::vector<std::string> first = {"C:\\Film\\VTS_01_2.VOB", "C:\\Film\\commentary.ac3"};
  const std::vector<std::string> second = {longName, "C:\\Film\\VTS_01_1.VOB"};
  ASSERT_NO_FATAL_FAILURE(Drop(first));
  ASSERT_TRUE(
      WaitFor([&] { return ListBoxLines(window_.lbInputFiles) == first; }, kReactBound, "the first drop in the list"));
  // A second drop goes after the first, not sorted in.
  ASSERT_NO_FATAL_FAILURE(Drop(second));
  const std::vector<std::string> all = {first[0], first[1], second[0], second[1]};
  ASSERT_TRUE(WaitFor([&] { return ListBoxLines(window_.lbInputFiles) == all; }, kReactBound,
                      "both drops in the list in their order"));

  // Each entry carries stream 0x80 only, as after "Add".
  for (int index : {0, 3}) {
    ASSERT_TRUE(ClickListBoxLine(window_.lbInputFiles, index));
    const auto boxes = window_.StreamBoxes();
    EXPECT_TRUE(WaitFor(
        [&] {
          if (!IsEnabled(boxes[0]) || !IsChecked(boxes[0])) return false;
          for (size_t k = 1; k < boxes.size(); ++k) {
            if (IsChecked(boxes[k])) return false;
          }
          return true;
        },
        kReactBound, "entry " + std::to_string(index) + " with stream 0x80 alone"));
  }

  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("4 files selected"));
  EXPECT_TRUE(IsEnabled(window_.Button1));
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

// Dragging from another program closes the drop-down, so the closed field and
// the window take drops too: the field's text and "Go" follow at once.
TEST_F(DropE2e, DropsOntoTheClosedFieldAndTheWindowJoinTheList) {
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  ASSERT_NO_FATAL_FAILURE(Drop({"C:\\Film\\VTS_01_1.VOB"}, window_.dxPopupEdit1));
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("1 file selected"));
  EXPECT_TRUE(IsEnabled(window_.Button1));
  ASSERT_NO_FATAL_FAILURE(Drop({"C:\\Film\\a.ac3", "C:\\Film\\b.ac3"}, window_.fKavrin));
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("3 files selected"));
  EXPECT_EQ(ListBoxLines(window_.lbInputFiles),
            (std::vector<std::string>{"C:\\Film\\VTS_01_1.VOB", "C:\\Film\\a.ac3", "C:\\Film\\b.ac3"}));
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

// A batch reads its entries by position, so while it runs nothing changes
// the list: the buttons that would are disabled, and a drop or a press that
// reaches them anyway is refused. A stream choice for an entry
// the batch has not reached yet still applies, and once the batch is over
// the buttons work again.
TEST_F(DropE2e, ListChangesAreRefusedWhileABatchRunsAndStreamChoicesStillApply) {
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "4000");
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.VOB", "b.ac3", "c.ac3"}));
  const std::vector<std::string> lines = {Input("a.VOB"), Input("b.ac3"), Input("c.ac3")};
  const HWND changing[] = {window_.BitBtn3, window_.BitBtn4, window_.BitBtn5, window_.BitBtn6, window_.BitBtn7};

  Click(window_.Button1);
  ASSERT_NO_FATAL_FAILURE(WaitForRuns(1));
  EXPECT_FALSE(IsEnabled(window_.Button1)) << "\"Go\" is disabled while the batch runs";
  ASSERT_NO_FATAL_FAILURE(Drop({Input("dropped.ac3")}, window_.dxPopupEdit1));
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  for (HWND button : changing) EXPECT_FALSE(IsEnabled(button));
  ASSERT_TRUE(ClickListBoxLine(window_.lbInputFiles, 2));
  for (HWND button : {window_.BitBtn4, window_.BitBtn5, window_.BitBtn6}) Click(button);
  ASSERT_NO_FATAL_FAILURE(Drop({Input("dropped.ac3")}));
  ASSERT_NO_FATAL_FAILURE(ChooseStreams(0, {0, 1}));
  // OK, so that no restore could hide a change.
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("3 files selected"));
  EXPECT_EQ(ListBoxLines(window_.lbInputFiles), lines);
  EXPECT_FALSE(IsEnabled(window_.Button1)) << "the close-up leaves \"Go\" to the batch";
  ASSERT_NO_FATAL_FAILURE(ExpectFinishedAndClose());
  EXPECT_TRUE(WaitFor([&] { return IsEnabled(window_.Button1); }, kReactBound, "\"Go\" back after the batch"));

  std::vector<std::string> outputs;
  for (const StandInRun& run : ReadRuns(Record())) {
    outputs.push_back(run.commandLine.substr(run.commandLine.find(" -input ")));
    outputs.back().resize(outputs.back().find(" ) "));
  }
  auto job = [&](const std::string& input, int number, const std::string& substream) {
    return " -input " + Quoted(Input(input)) + " -output " +
           Quoted(Out() + "\\DOLBYDIGITAL-Track-" + ZeroPad(number, 3) + ".wav") + " -ddwav" + substream;
  };
  EXPECT_EQ(outputs, (std::vector<std::string>{job("a.VOB", 1, " -substream 0x80"), job("a.VOB", 2, " -substream 0x81"),
                                               job("b.ac3", 3, ""), job("c.ac3", 4, "")}));

  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  for (HWND button : changing) EXPECT_TRUE(IsEnabled(button));
  ASSERT_NO_FATAL_FAILURE(Drop({Input("dropped.ac3")}));
  ASSERT_TRUE(WaitFor([&] { return ListBoxLines(window_.lbInputFiles).size() == 4; }, kReactBound,
                      "a drop after the batch to join the list"));
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

}  // namespace
}  // namespace kavrin::e2e
