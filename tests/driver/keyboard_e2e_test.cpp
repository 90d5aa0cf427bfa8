// The whole way from an empty list to a finished batch with the keyboard
// alone: no click, no message that presses a button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_test.hpp"

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

  // The controls the focus visits, from the one it has now, over `presses` presses of `keys`.
  std::vector<HWND> Walk(const std::vector<WORD>& keys, int presses) {
    std::vector<HWND> visited;
    HWND focus = FocusOf(window_.fKavrin);
    for (int press = 0; press < presses; ++press) {
      PressKeys(keys);
      WaitFor([&] { return FocusOf(window_.fKavrin) != focus; }, kReactBound, "the focus to move");
      focus = FocusOf(window_.fKavrin);
      visited.push_back(focus);
    }
    return visited;
  }

  // The focused input field shows neither a selection nor a blank where its
  // arrow should be: the arrow's pixels are dark.
  void ExpectFieldWhole(const std::string& when) {
    DWORD_PTR selection = 0;
    SendMessageTimeoutA(window_.dxPopupEdit1, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &selection);
    const WORD start = LOWORD(selection);
    const WORD end = HIWORD(selection);
    EXPECT_EQ(start, end) << "a selection in the field " << when;
    const RECT arrow = ScreenRect(FindControls(window_.dxPopupEdit1, "Button").front());
    const auto drawn = [&] {
      const win32::WindowDc screen = win32::GetWindowDc(nullptr);
      for (LONG y = arrow.top; y < arrow.bottom; ++y) {
        for (LONG x = arrow.left; x < arrow.right; ++x) {
          const COLORREF pixel = GetPixel(screen.Get().dc, x, y);
          if (GetRValue(pixel) < 100 && GetGValue(pixel) < 100 && GetBValue(pixel) < 100) return true;
        }
      }
      return false;
    };
    EXPECT_TRUE(WaitFor(drawn, kReactBound, "the field's arrow " + when));
  }

  // One round of Tab from the control that has the focus visits `order` and
  // comes back to it; one round of Shift+Tab goes the other way.
  void ExpectRound(HWND start, const std::vector<HWND>& order) {
    std::vector<HWND> forward = order;
    forward.push_back(start);
    EXPECT_EQ(Walk({VK_TAB}, static_cast<int>(forward.size())), forward) << "Tab";
    std::vector<HWND> backward(order.rbegin(), order.rend());
    backward.push_back(start);
    EXPECT_EQ(Walk({VK_SHIFT, VK_TAB}, static_cast<int>(backward.size())), backward) << "Shift+Tab";
  }
};

// Disabled controls are passed over: "Go" without files, the log file field
// while logging is off, the stream boxes while no ".vob" entry is selected.
TEST_F(KeyboardE2e, TabAndShiftTabFollowTheTabOrderOfTheWindowItsPagesAndTheDropDown) {
  BatchSettings settings;
  settings.useLog = true;
  ASSERT_NO_FATAL_FAILURE(Start(settings));
  ASSERT_NO_FATAL_FAILURE(AddInputs({"a.VOB"}));
  SetForegroundWindow(window_.fKavrin);
  ASSERT_TRUE(
      WaitFor([&] { return GetForegroundWindow() == window_.fKavrin; }, kReactBound, "the main window in front"));
  ASSERT_NO_FATAL_FAILURE(TabTo(window_.Button1, "\"Go\""));
  const KavrinWindow& w = window_;
  EXPECT_EQ(Walk({VK_TAB}, 1), (std::vector<HWND>{w.dxPopupEdit1}));
  ExpectFieldWhole("reached by Tab");

  // The page control takes the focus itself before the page's controls.
  ExpectRound(w.dxPopupEdit1, (std::vector<HWND>{w.PageControl1, w.cbUseGMax, w.rbAC3CD, w.cbShutdown, w.eOta, w.eAzid,
                                                 w.eSSRC, w.eBoost, w.eOtaFixed, w.eSSRCFixed, w.Button1}));

  // A click chooses a mode; in the group the arrow keys move the focus and
  // the choice, round the group.
  ClickAt(w.rbCDDA, POINT{4, 4});
  ASSERT_TRUE(WaitFor([&] { return IsChecked(w.rbCDDA) && FocusOf(w.fKavrin) == w.rbCDDA; }, kReactBound,
                      "CDDA chosen by a click"));
  EXPECT_EQ(Walk({VK_RIGHT}, 2), (std::vector<HWND>{w.rbDTSCD, w.rbAC3CD}));
  EXPECT_TRUE(WaitFor([&] { return IsChecked(w.rbAC3CD) && !IsChecked(w.rbDTSCD) && !IsChecked(w.rbCDDA); },
                      kReactBound, "AC3-CD alone chosen"));

  // With the focus on the page control the arrow keys turn the pages.
  ASSERT_NO_FATAL_FAILURE(TabTo(window_.PageControl1, "the page control"));
  PressKeys({VK_LEFT});
  ASSERT_TRUE(WaitFor([&] { return SelectedTab(window_.PageControl1) == 0 && IsShown(window_.feBeSweet); }, kReactBound,
                      "the first page"));
  ExpectRound(w.PageControl1,
              (std::vector<HWND>{w.feBeSweet, w.feSurCode, w.deBeSweetOutputFolder, w.deSurcodeOutputFolder,
                                 w.feLogfile, w.cbUseLogfile, w.Button1, w.dxPopupEdit1}));

  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(ChooseStreams(0, {0}));
  ASSERT_NO_FATAL_FAILURE(TabTo(window_.BitBtn1, "OK"));
  ExpectRound(w.BitBtn1,
              (std::vector<HWND>{w.BitBtn2, w.BitBtn3, w.BitBtn4, w.BitBtn5, w.BitBtn6, w.BitBtn7, w.lbInputFiles,
                                 w.cb80, w.cb81, w.cb82, w.cb83, w.cb84, w.cb85, w.cb86, w.cb87}));
}

// Without a mode the group is reached at its first button, and neither Tab
// nor the click Windows reports when a radio button gets the focus chooses a
// mode. Alt+F4 closes the drop-down it is pressed in, then the window from the
// field that opens the drop-down.
TEST_F(KeyboardE2e, TabReachesTheModesWhenNoneIsChosenAndAltF4Closes) {
  BatchSettings settings;
  settings.mode = "";
  ASSERT_NO_FATAL_FAILURE(Start(settings));
  SetForegroundWindow(window_.fKavrin);
  ASSERT_TRUE(
      WaitFor([&] { return GetForegroundWindow() == window_.fKavrin; }, kReactBound, "the main window in front"));
  ASSERT_NO_FATAL_FAILURE(TabTo(window_.dxPopupEdit1, "the drop-down field"));
  PressKeys({VK_MENU, VK_UP});
  ASSERT_TRUE(WaitFor(
      [&] {
        dropDown_ = FindDropDown(kavrin_.Id());
        return dropDown_ != nullptr && GetForegroundWindow() == dropDown_ && IsChild(dropDown_, FocusOf(dropDown_));
      },
      kStartBound, "the drop-down to open on Alt+Up, with the focus"));
  PressKeys({VK_MENU, VK_F4});
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("0 files selected"));

  ASSERT_NO_FATAL_FAILURE(TabTo(window_.cbUseGMax, "\"Normalize\""));
  EXPECT_EQ(Walk({VK_TAB}, 1), (std::vector<HWND>{window_.rbDTSCD}));
  DWORD_PTR result = 0;
  SendMessageTimeoutA(GetParent(window_.rbDTSCD), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_.rbDTSCD), BN_CLICKED),
                      reinterpret_cast<LPARAM>(window_.rbDTSCD), SMTO_ABORTIFHUNG, 5000, &result);
  EXPECT_EQ(Walk({VK_TAB}, 1), (std::vector<HWND>{window_.cbShutdown}));
  EXPECT_FALSE(IsChecked(window_.rbDTSCD) || IsChecked(window_.rbAC3CD) || IsChecked(window_.rbCDDA));

  ASSERT_NO_FATAL_FAILURE(TabTo(window_.dxPopupEdit1, "the drop-down field"));
  PressKeys({VK_MENU, VK_F4});
  ASSERT_TRUE(kavrin_.WaitForExit());
  const IniFile ini = ParseIni(ReadIni());
  for (const char* mode : {"DTS CD", "AC3 CD", "CDDA CD"}) {
    EXPECT_TRUE(ini.Find("SETTINGS", mode) != nullptr && ini.Find("SETTINGS", mode)->value == "0") << mode;
  }
}

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

  // Space, then Enter on "Go" runs the batch: "Go" is disabled while it runs,
  // the focus waits in the field, and Enter ends the information box.
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", "1500");
  for (const WORD key : {VK_SPACE, VK_RETURN}) {
    ASSERT_NO_FATAL_FAILURE(TabTo(window_.Button1, "\"Go\""));
    EXPECT_EQ(StyleOf(window_.Button1) & BS_TYPEMASK, BS_DEFPUSHBUTTON) << "the focused button looks like the default";
    PressKeys({key});
    EXPECT_TRUE(WaitFor([&] { return !IsEnabled(window_.Button1) && FocusOf(window_.fKavrin) == window_.dxPopupEdit1; },
                        kRunStartBound, "\"Go\" disabled, the focus in the field"));
    ExpectFieldWhole("during the batch");
    HWND box = nullptr;
    ASSERT_TRUE(kavrin_.WaitForMessageBox("Information", box, kBatchBound));
    EXPECT_EQ(BeforeLayout(MessageBoxText(box)), "Encoding Finished!");
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == box; }, kReactBound, "the information box in front"));
    PressKeys({VK_RETURN});
    ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Information"));
    EXPECT_TRUE(WaitFor([&] { return IsEnabled(window_.Button1); }, kReactBound, "\"Go\" back after the batch"));
  }

  const std::vector<StandInRun> runs = ReadRuns(Record());
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_NE(runs[0].commandLine.find(" -input " + Quoted(input) + " "), std::string::npos) << runs[0].commandLine;
}

// Space and Enter press each button of the drop-down as a click does; the
// focused push button looks like the default one, and OK gets the look back
// when the focus leaves the buttons. Enter on "Sort" over a missing file shows
// its error with the main window disabled behind it, and the drop-down goes on.
TEST_F(KeyboardE2e, SpaceAndEnterPressEveryButtonOfTheDropDown) {
  ASSERT_NO_FATAL_FAILURE(Start(BatchSettings{}));
  // Written in the order of their names, so that "Sort" gives that order.
  std::vector<std::string> abc;
  for (const char* name : {"a.ac3", "b.ac3", "c.ac3"}) {
    abc.push_back(Input(name));
    ASSERT_TRUE(WriteFileBytes(abc.back(), "sample"));
  }
  const std::string &a = abc[0], &b = abc[1], &c = abc[2];
  ASSERT_NO_FATAL_FAILURE(AddInputFiles({c, a, b}));
  SetForegroundWindow(window_.fKavrin);
  ASSERT_TRUE(
      WaitFor([&] { return GetForegroundWindow() == window_.fKavrin; }, kReactBound, "the main window in front"));
  const KavrinWindow& w = window_;
  const auto lines = [&](const std::vector<std::string>& expected, const std::string& after) {
    EXPECT_TRUE(WaitFor([&] { return ListBoxLines(w.lbInputFiles) == expected; }, kReactBound,
                        "the list after " + after + ": " + ::testing::PrintToString(ListBoxLines(w.lbInputFiles))));
  };
  const auto looksDefault = [](HWND button) { return (StyleOf(button) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; };
  const auto open = [&] {
    ASSERT_NO_FATAL_FAILURE(TabTo(w.dxPopupEdit1, "the drop-down field"));
    PressKeys({VK_F4});
    ASSERT_TRUE(WaitFor([&] { return FindDropDown(kavrin_.Id()) != nullptr && FocusOf(w.fKavrin) == w.lbInputFiles; },
                        kStartBound, "the drop-down open with the focus in the list"));
    // Given just after the focus, as the drop-down opens.
    EXPECT_TRUE(WaitFor([&] { return looksDefault(w.BitBtn1); }, kReactBound, "OK to look like the default button"));
  };
  const auto press = [&](HWND button, const char* name, WORD key) {
    ASSERT_NO_FATAL_FAILURE(TabTo(button, name));
    // The default look follows the focus once the window has handled its move.
    EXPECT_TRUE(WaitFor([&] { return looksDefault(button) && (button == w.BitBtn1 || !looksDefault(w.BitBtn1)); },
                        kReactBound, std::string(name) + " to look like the default button"));
    PressKeys({key});
  };

  ASSERT_NO_FATAL_FAILURE(open());
  PressKeys({VK_DOWN});
  ASSERT_TRUE(WaitFor([&] { return ListBoxSelection(w.lbInputFiles) == 0; }, kReactBound, "the first entry selected"));
  struct Step {
    HWND button;
    const char* name;
    WORD key;
    std::vector<std::string> after;
  };
  const Step steps[] = {
      {w.BitBtn7, "Move down", VK_SPACE, {a, c, b}}, {w.BitBtn7, "Move down", VK_RETURN, {a, b, c}},
      {w.BitBtn5, "Move up", VK_SPACE, {a, c, b}},   {w.BitBtn5, "Move up", VK_RETURN, {c, a, b}},
      {w.BitBtn6, "Sort", VK_SPACE, {a, b, c}},
  };
  for (const Step& step : steps) {
    ASSERT_NO_FATAL_FAILURE(press(step.button, step.name, step.key));
    lines(step.after, step.name);
  }

  ASSERT_TRUE(DeleteFileA(c.c_str()));
  ASSERT_NO_FATAL_FAILURE(press(w.BitBtn6, "Sort", VK_RETURN));
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Kavrin", box));
  EXPECT_EQ(MessageBoxText(box).substr(0, 22), "Win32 Error.  Code: 2.");
  EXPECT_FALSE(IsEnabled(w.fKavrin)) << "the main window is disabled behind the error box";
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == box; }, kReactBound, "the error box in front"));
  PressKeys({VK_RETURN});
  ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Kavrin"));
  EXPECT_TRUE(IsEnabled(w.fKavrin));
  ASSERT_TRUE(FindDropDown(kavrin_.Id()) != nullptr && GetParent(w.Panel1) == FindDropDown(kavrin_.Id()))
      << "the drop-down stays open with its list; the program shows " << DescribeWindows(kavrin_.Id());
  lines({a, b, c}, "the failed Sort");

  // Delete, with Space and with Enter, on the last entry.
  for (const WORD key : {VK_SPACE, VK_RETURN}) {
    const std::vector<std::string> before = ListBoxLines(w.lbInputFiles);
    ASSERT_TRUE(ClickListBoxLine(w.lbInputFiles, static_cast<int>(before.size()) - 1));
    ASSERT_TRUE(WaitFor([&] { return looksDefault(w.BitBtn1); }, kReactBound, "OK the default again in the list"));
    ASSERT_NO_FATAL_FAILURE(press(w.BitBtn4, "Delete", key));
    lines(std::vector<std::string>(before.begin(), before.end() - 1), "Delete");
  }
  // Space on "Add" opens its dialog, with the main window disabled behind it.
  ASSERT_NO_FATAL_FAILURE(press(w.BitBtn3, "Add", VK_SPACE));
  HWND dialog = WaitForDialog("Open source files");
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsEnabled(w.fKavrin)) << "the main window is disabled behind \"Add\"";
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog) && IsEnabled(w.fKavrin); }, kReactBound,
                      "the dialog gone and the main window enabled again"));

  // Cancel puts back the list of the opening; OK keeps the list.
  ASSERT_NO_FATAL_FAILURE(press(w.BitBtn2, "Cancel", VK_SPACE));
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("3 files selected"));
  lines({c, a, b}, "Cancel");
  const struct {
    HWND button;
    const char* name;
    WORD key;
    const char* summary;
  } closes[] = {{w.BitBtn2, "Cancel", VK_RETURN, "3 files selected"}, {w.BitBtn1, "OK", VK_SPACE, "2 files selected"}};
  for (const auto& close : closes) {
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_TRUE(ClickListBoxLine(w.lbInputFiles, 0));
    ASSERT_NO_FATAL_FAILURE(press(w.BitBtn4, "Delete", VK_SPACE));
    lines({a, b}, "Delete");
    ASSERT_NO_FATAL_FAILURE(press(close.button, close.name, close.key));
    ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed(close.summary));
  }
  EXPECT_TRUE(IsEnabled(w.Button1));
}

}  // namespace
}  // namespace kavrin::e2e
