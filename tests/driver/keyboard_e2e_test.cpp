// The whole way from an empty list to a finished batch with the keyboard
// alone: no click, no message that presses a button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_fixture.hpp"

namespace kavrin::e2e {
namespace {

// The focus of the program's user-interface thread.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// Typed as characters, as a keyboard layout would deliver them.
void TypeText(const std::string& text) {
  std::vector<INPUT> inputs;
  for (char c : text) {
    for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = static_cast<WORD>(static_cast<unsigned char>(c));
      input.ki.dwFlags = KEYEVENTF_UNICODE | up;
      inputs.push_back(input);
    }
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class KeyboardE2e : public BatchTest {
 protected:
  // Tab until `target` has the focus; fails after a round longer than any tab order here.
  void TabTo(HWND target, const std::string& name) {
    for (int press = 0; press < 40; ++press) {
      if (WaitFor([&] { return FocusOf(window_.fKavrin) == target; }, std::chrono::milliseconds(500), name)) return;
      PressKeys({VK_TAB});
    }
    FAIL() << "Tab never reached " << name;
  }
};

TEST_F(KeyboardE2e, AddAFileCloseTheDropDownAndRunABatch) {
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  const std::string input = Input("only.ac3");
  ASSERT_TRUE(WriteFileBytes(input, "sample"));
  SetForegroundWindow(window_.fKavrin);
  ASSERT_TRUE(
      WaitFor([&] { return GetForegroundWindow() == window_.fKavrin; }, kReactBound, "the main window in front"));

  // F4 in the field opens the drop-down.
  ASSERT_NO_FATAL_FAILURE(TabTo(window_.dxPopupEdit1, "the drop-down field"));
  PressKeys({VK_F4});
  ASSERT_TRUE(WaitFor([&] { return FindDropDown(kavrin_.Id()) != nullptr && IsShown(window_.lbInputFiles); },
                      kStartBound, "the drop-down to open"));

  // Enter presses "Add"; the file dialog takes the typed path and Enter.
  ASSERT_NO_FATAL_FAILURE(TabTo(window_.BitBtn3, "\"Add\""));
  PressKeys({VK_RETURN});
  HWND dialog = WaitForDialog("Open source files");
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(WaitFor([&] { return FocusOf(dialog) != nullptr && ClassOf(FocusOf(dialog)) == "Edit"; }, kReactBound,
                      "the focus in the dialog's name box"));
  TypeText(input);
  ASSERT_TRUE(WaitFor([&] { return TextOf(FocusOf(dialog)) == input; }, kReactBound, "the typed path"));
  PressKeys({VK_RETURN});
  ASSERT_TRUE(WaitFor([&] { return ListBoxLines(window_.lbInputFiles) == std::vector<std::string>{input}; },
                      kStartBound, "the file in the input list"));

  // Enter on OK closes the drop-down, accepting.
  ASSERT_NO_FATAL_FAILURE(TabTo(window_.BitBtn1, "OK"));
  PressKeys({VK_RETURN});
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("1 file selected"));
  ASSERT_TRUE(WaitFor([&] { return IsEnabled(window_.Button1); }, kReactBound, "\"Go\" to be enabled"));

  // Space on "Go" runs the batch; Enter ends its information box.
  ASSERT_NO_FATAL_FAILURE(TabTo(window_.Button1, "\"Go\""));
  PressKeys({VK_SPACE});
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Information", box, kBatchBound));
  EXPECT_EQ(MessageBoxText(box), "Encoding Finished!");
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == box; }, kReactBound, "the information box in front"));
  PressKeys({VK_RETURN});
  ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Information"));

  const std::vector<StandInRun> runs = ReadRuns(Record());
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_NE(runs[0].commandLine.find(" -input " + Quoted(input) + " "), std::string::npos) << runs[0].commandLine;
}

}  // namespace
}  // namespace kavrin::e2e
