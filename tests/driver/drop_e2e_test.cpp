#include <windows.h>
#include <gtest/gtest.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

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

// Posts a drop of `paths` onto the list box. WM_DROPFILES carries a handle
// that only the receiving process can read, so the block is written into
// kavrin.exe's memory and passed as a fixed block, whose handle is its
// address. Wine reads such a block; Windows may refuse one that its own heap
// did not allocate.
class DropE2e : public KavrinTest {
 protected:
  void Drop(const std::vector<std::string>& paths) {
    const std::string block = DropBlock(paths, {20, 20});
    void* remote = VirtualAllocEx(kavrin_.Handle(), nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    blocks_.push_back(remote);
    SIZE_T written = 0;
    ASSERT_TRUE(WriteProcessMemory(kavrin_.Handle(), remote, block.data(), block.size(), &written));
    ASSERT_EQ(written, block.size());
    ASSERT_TRUE(PostMessageA(window_.lbInputFiles, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0));
  }

  void TearDown() override {
    for (void* block : blocks_) VirtualFreeEx(kavrin_.Handle(), block, 0, MEM_RELEASE);
  }

  std::vector<void*> blocks_;
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

}  // namespace
}  // namespace kavrin::e2e
