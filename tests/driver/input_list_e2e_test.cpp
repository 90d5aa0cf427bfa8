#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "harness.hpp"
#include "kavrin_window.hpp"

namespace kavrin::e2e {
namespace {

using Streams = std::array<bool, 8>;
constexpr Streams kNone{};
constexpr Streams kOnly80 = {true, false, false, false, false, false, false, false};
constexpr Streams kOnly83 = {false, false, false, true, false, false, false, false};

std::string Describe(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n  " + line;
  return text.empty() ? " (empty)" : text;
}

// A file last written at the given UTC time of 2 January 2020.
bool WriteFileAt(const std::string& path, WORD hour) {
  if (!WriteFileBytes(path, "")) return false;
  UniqueHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  SYSTEMTIME utc{};
  utc.wYear = 2020;
  utc.wMonth = 1;
  utc.wDay = 2;
  utc.wHour = hour;
  FILETIME time{};
  return file && SystemTimeToFileTime(&utc, &time) && SetFileTime(file.Get(), nullptr, nullptr, &time);
}

class InputListE2e : public KavrinTest {
 protected:
  void SetUp() override {
    input_ = folder_.File("input files");
    ASSERT_TRUE(CreateDirectoryA(input_.c_str(), nullptr)) << input_;
    ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
  }

  // An empty file in the test's input folder (or a folder below it).
  std::string InputFile(const std::string& name, WORD hour = 12) {
    const std::string path = input_ + "\\" + name;
    const std::string folder = ExtractFolder(path);
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_TRUE(WriteFileAt(path, hour)) << path;
    return path;
  }

  static std::string ExtractFolder(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

  void ExpectLines(const std::vector<std::string>& lines, const std::string& when) {
    EXPECT_TRUE(WaitFor([&] { return ListBoxLines(window_.lbInputFiles) == lines; }, kReactBound,
                        "the input list " + when + ":" + Describe(lines) +
                            "\nit holds:" + Describe(ListBoxLines(window_.lbInputFiles))));
  }

  bool BoxesShow(bool enabled, const Streams& checked) const {
    if (IsEnabled(window_.cbStreams) != enabled) return false;
    const auto boxes = window_.StreamBoxes();
    for (size_t k = 0; k < boxes.size(); ++k) {
      if (IsEnabled(boxes[k]) != enabled || IsChecked(boxes[k]) != checked[k]) return false;
    }
    return true;
  }

  std::string DescribeBoxes() const {
    std::string text = IsEnabled(window_.cbStreams) ? "group enabled," : "group disabled,";
    const auto boxes = window_.StreamBoxes();
    for (size_t k = 0; k < boxes.size(); ++k) {
      text +=
          " 0x8" + std::to_string(k) + (IsEnabled(boxes[k]) ? "" : " (disabled)") + (IsChecked(boxes[k]) ? "=1" : "=0");
    }
    return text;
  }

  // Clicks line `index` and waits until the stream boxes show `checked`.
  void SelectLine(int index, bool vob, const Streams& checked) {
    ASSERT_TRUE(ClickListBoxLine(window_.lbInputFiles, index));
    ASSERT_TRUE(WaitFor(
        [&] { return ListBoxSelection(window_.lbInputFiles) == index && BoxesShow(vob, checked); }, kReactBound,
        "line " + std::to_string(index) + " selected and its stream boxes shown; they show " + DescribeBoxes()));
  }

  void ToggleStream(int k, bool checked) {
    Click(window_.StreamBoxes()[static_cast<size_t>(k)]);
    ASSERT_TRUE(WaitFor([&] { return IsChecked(window_.StreamBoxes()[static_cast<size_t>(k)]) == checked; },
                        kReactBound, "stream box 0x8" + std::to_string(k) + (checked ? " checked" : " unchecked")));
  }

  void PressInDropDown(HWND button, const std::vector<std::string>& linesAfter, const std::string& what) {
    Click(button);
    ExpectLines(linesAfter, "after " + what);
  }

  void PressKey(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
  }

  void ExpectGo(bool enabled) {
    EXPECT_TRUE(WaitFor([&] { return IsEnabled(window_.Button1) == enabled; }, kReactBound,
                        enabled ? "\"Go\" enabled" : "\"Go\" disabled"));
  }

  std::string input_;
};

TEST_F(InputListE2e, DropDownOpensByClickAndByF4AtItsDesignedSizeBelowTheField) {
  EXPECT_FALSE(IsShown(window_.Panel1)) << "Panel1 starts hidden";
  for (const bool byKey : {false, true}) {
    SCOPED_TRACE(byKey ? "opened with F4" : "opened with a click");
    if (byKey) {
      PressKey(window_.dxPopupEdit1, VK_F4);
      ASSERT_TRUE(WaitFor([&] { return (dropDown_ = FindDropDown(kavrin_.Id())) != nullptr; }, kStartBound,
                          "the drop-down to open on F4"));
    } else {
      ASSERT_NO_FATAL_FAILURE(OpenDropDown());
    }

    EXPECT_EQ(TextOf(dropDown_), "") << "an empty caption";
    const LONG_PTR style = StyleOf(dropDown_);
    EXPECT_NE(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_SYSMENU, 0) << "a close box";
    EXPECT_NE(style & WS_THICKFRAME, 0) << "a sizing border";
    EXPECT_EQ(GetWindow(dropDown_, GW_OWNER), window_.fKavrin);
    const SIZE client = ClientSize(dropDown_);
    EXPECT_EQ(client.cx, 424);
    EXPECT_EQ(client.cy, 289);
    EXPECT_EQ(GetParent(window_.Panel1), dropDown_);
    EXPECT_TRUE(IsShown(window_.Panel1));
    const RECT panel = RectInParent(window_.Panel1);
    EXPECT_EQ(panel.left, 0);
    EXPECT_EQ(panel.top, 0);
    EXPECT_EQ(panel.right, 424);
    EXPECT_EQ(panel.bottom, 289);
    const RECT field = ScreenRect(window_.dxPopupEdit1);
    const RECT frame = ScreenRect(dropDown_);
    EXPECT_EQ(frame.left, field.left) << "left edges aligned";
    EXPECT_EQ(frame.top, field.bottom) << "directly below the field";

    // The panel as laid out: rows of name, left, top, width, height.
    struct Place {
      const char* name;
      HWND control;
      RECT expected;
    };
    const Place places[] = {
        {"BitBtn1", window_.BitBtn1, {8, 257, 73, 25}},      {"BitBtn2", window_.BitBtn2, {88, 257, 73, 25}},
        {"BitBtn3", window_.BitBtn3, {345, 8, 73, 25}},      {"BitBtn4", window_.BitBtn4, {345, 36, 73, 25}},
        {"BitBtn5", window_.BitBtn5, {345, 100, 73, 25}},    {"BitBtn6", window_.BitBtn6, {345, 68, 73, 25}},
        {"BitBtn7", window_.BitBtn7, {345, 128, 73, 25}},    {"lbInputFiles", window_.lbInputFiles, {8, 8, 329, 181}},
        {"cbStreams", window_.cbStreams, {8, 192, 329, 61}},
    };
    for (const Place& place : places) {
      const RECT rect = RectInParent(place.control);
      EXPECT_EQ(rect.left, place.expected.left) << place.name;
      EXPECT_EQ(rect.top, place.expected.top) << place.name;
      EXPECT_EQ(rect.right - rect.left, place.expected.right) << place.name;
      EXPECT_EQ(rect.bottom - rect.top, place.expected.bottom) << place.name;
    }

    if (byKey) {
      ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
    } else {
      PressKey(window_.lbInputFiles, VK_ESCAPE);
    }
    ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("0 files selected"));
    EXPECT_FALSE(IsEnabled(window_.Button1)) << "\"Go\" stays disabled over an empty list";
    EXPECT_EQ(GetParent(window_.Panel1), window_.fKavrin) << "Panel1 goes back";
    EXPECT_FALSE(IsShown(window_.Panel1)) << "Panel1 goes back hidden";
    const RECT home = RectInParent(window_.Panel1);
    EXPECT_EQ(home.left, 0);
    EXPECT_EQ(home.top, 224);
  }
}

TEST_F(InputListE2e, EntriesKeepTheirOwnStreamChoicesAndCancelRestoresTheList) {
  const std::vector<std::string> files = {InputFile("a.vob"), InputFile("b.ac3"), InputFile("sub dir\\VTS_01_1.VoB")};
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(AddFilesInDropDown(files));
  ExpectLines(files, "after adding three files from two folders");
  EXPECT_TRUE(BoxesShow(false, kNone)) << "adding leaves the boxes alone: " << DescribeBoxes();

  ASSERT_NO_FATAL_FAILURE(SelectLine(0, true, kOnly80));
  ASSERT_NO_FATAL_FAILURE(ToggleStream(0, false));
  ASSERT_NO_FATAL_FAILURE(ToggleStream(3, true));
  ASSERT_NO_FATAL_FAILURE(SelectLine(1, false, kNone));
  ASSERT_NO_FATAL_FAILURE(SelectLine(2, true, kOnly80));
  ASSERT_NO_FATAL_FAILURE(SelectLine(0, true, kOnly83));
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("3 files selected"));
  ExpectGo(true);

  // Delete, a move and a stream choice, then Cancel: the entries come back
  // in their order, the stream choice stays.
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(SelectLine(2, true, kOnly80));
  ASSERT_NO_FATAL_FAILURE(ToggleStream(0, false));
  ASSERT_NO_FATAL_FAILURE(SelectLine(0, true, kOnly83));
  PressInDropDown(window_.BitBtn4, {files[1], files[2]}, "Delete");
  EXPECT_EQ(ListBoxSelection(window_.lbInputFiles), LB_ERR) << "no selection after Delete";
  ASSERT_NO_FATAL_FAILURE(SelectLine(1, true, kNone));
  PressInDropDown(window_.BitBtn5, {files[2], files[1]}, "Move up");
  Click(window_.BitBtn2);
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("3 files selected"));
  ExpectLines(files, "after Cancel");
  ExpectGo(true);

  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(SelectLine(0, true, kOnly83));
  ASSERT_NO_FATAL_FAILURE(SelectLine(2, true, kNone));
  // Escape cancels as well: the deletions go back in. The scroll range
  // follows the widest line, the last path.
  const int extent = ListBoxHorizontalExtent(window_.lbInputFiles);
  EXPECT_GT(extent, 0);
  PressInDropDown(window_.BitBtn4, {files[0], files[1]}, "Delete");
  EXPECT_LT(ListBoxHorizontalExtent(window_.lbInputFiles), extent) << "the widest line went";
  ASSERT_NO_FATAL_FAILURE(SelectLine(0, true, kOnly83));
  PressInDropDown(window_.BitBtn4, {files[1]}, "a second Delete");
  PressKey(window_.lbInputFiles, VK_ESCAPE);
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("3 files selected"));
  ExpectLines(files, "after Escape");
  EXPECT_EQ(ListBoxHorizontalExtent(window_.lbInputFiles), extent);
}

TEST_F(InputListE2e, MovesStopAtTheEdgesAndKeepTheMovedEntrySelected) {
  std::vector<std::string> files;
  for (const char* name : {"1.vob", "2.vob", "3.vob", "4.vob", "5.vob"}) files.push_back(InputFile(name));
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(AddFilesInDropDown(files));

  ASSERT_NO_FATAL_FAILURE(SelectLine(2, true, kOnly80));
  PressInDropDown(window_.BitBtn5, {files[0], files[2], files[1], files[3], files[4]}, "Move up");
  PressInDropDown(window_.BitBtn5, {files[2], files[0], files[1], files[3], files[4]}, "a second Move up");
  EXPECT_EQ(ListBoxSelection(window_.lbInputFiles), 0);
  Click(window_.BitBtn5);
  ASSERT_NO_FATAL_FAILURE(SelectLine(4, true, kOnly80));
  PressInDropDown(window_.BitBtn7, {files[2], files[0], files[1], files[3], files[4]}, "Move down on the last line");
  PressInDropDown(window_.BitBtn5, {files[2], files[0], files[1], files[4], files[3]}, "Move up on the last line");
  PressInDropDown(window_.BitBtn7, {files[2], files[0], files[1], files[3], files[4]}, "Move down");
  EXPECT_EQ(ListBoxSelection(window_.lbInputFiles), 4);
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("5 files selected"));
}

// The operations change the lines in place: a list longer than the box keeps
// its view.
TEST_F(InputListE2e, DeleteMovesAndSortKeepTheViewOfALongList) {
  std::vector<std::string> files;
  for (WORD hour = 0; hour < 24; ++hour) {
    files.push_back(InputFile("track " + std::to_string(10 + hour) + ".ac3", hour));
  }
  const std::vector<std::string> added = files;
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(AddFilesInDropDown(files));
  const HWND list = window_.lbInputFiles;
  ASSERT_NO_FATAL_FAILURE(SelectLine(8, false, kNone));
  SendMessageA(list, LB_SETTOPINDEX, 6, 0);
  // Wine keeps a list box's scroll position where another process cannot read it.
  auto view = [&] { return SendMessageA(list, LB_GETTOPINDEX, 0, 0); };
  const LRESULT before = view();
  ASSERT_EQ(before, 6) << "the list should be longer than the box";

  std::swap(files[7], files[8]);
  PressInDropDown(window_.BitBtn5, files, "Move up");
  EXPECT_EQ(view(), before) << "after Move up";
  files.erase(files.begin() + 7);
  PressInDropDown(window_.BitBtn4, files, "Delete");
  EXPECT_EQ(view(), before) << "after Delete";
  std::vector<std::string> sorted = added;
  sorted.erase(sorted.begin() + 8);
  std::swap(files[3], files[4]);
  ASSERT_NO_FATAL_FAILURE(SelectLine(4, false, kNone));
  PressInDropDown(window_.BitBtn5, files, "a Move up out of order");
  SendMessageA(list, LB_SETTOPINDEX, 6, 0);
  PressInDropDown(window_.BitBtn6, sorted, "Sort");
  EXPECT_EQ(view(), before) << "after Sort";
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
}

TEST_F(InputListE2e, SortOrdersByTimeThenPathAndAMissingFileLeavesTheListAsItWas) {
  const std::vector<std::string> files = {InputFile("late.vob", 10), InputFile("b.vob", 9), InputFile("A.vob", 9)};
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(AddFilesInDropDown(files));
  ASSERT_NO_FATAL_FAILURE(SelectLine(0, true, kOnly80));
  ASSERT_NO_FATAL_FAILURE(ToggleStream(3, true));
  PressInDropDown(window_.BitBtn6, {files[2], files[1], files[0]}, "Sort");
  EXPECT_EQ(ListBoxSelection(window_.lbInputFiles), LB_ERR) << "no selection after Sort";
  const Streams lateStreams = {true, false, false, true, false, false, false, false};
  ASSERT_NO_FATAL_FAILURE(SelectLine(2, true, lateStreams));

  // A file that goes away after it was added.
  const std::string gone = InputFile("gone.vob", 8);
  ASSERT_NO_FATAL_FAILURE(AddFilesInDropDown({gone}));
  ASSERT_TRUE(DeleteFileA(gone.c_str()));
  const std::vector<std::string> before = {files[2], files[1], files[0], gone};
  Click(window_.BitBtn6);
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Kavrin", box));
  const std::string text = MessageBoxText(box);
  const std::string expected = "Win32 Error.  Code: 2.\r\n";
  EXPECT_EQ(text.substr(0, expected.size()), expected);
  EXPECT_GT(text.size(), expected.size()) << "the system's text for the code follows";
  EXPECT_TRUE(MessageBoxHasIcon(box)) << "an error box";
  ASSERT_TRUE(PressButton(box, "OK"));
  ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Kavrin"));
  EXPECT_NE(FindDropDown(kavrin_.Id()), nullptr) << "the error box leaves the drop-down open";
  ExpectLines(before, "after the failed Sort");
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("4 files selected"));
}

// A click that reaches the main window before the system has activated the
// drop-down closes it all the same.
TEST_F(InputListE2e, AClickIntoTheMainWindowClosesTheDropDownWithoutAnActivation) {
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ClickAt(window_.fKavrin, POINT{4, 4});
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("0 files selected"));
}

TEST_F(InputListE2e, AClickElsewhereTheCloseBoxOrAnotherProgramCloseTheDropDownKeepingTheList) {
  const POINT label = CentreOf(FindLabel(window_.fKavrin, "Input files"));
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ClickOnScreen(label);
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("0 files selected"));
  ExpectGo(false);

  const std::string file = InputFile("one.ac3");
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(AddFilesInDropDown({file}));
  ClickOnScreen(label);
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("1 file selected"));
  ExpectGo(true);

  // Two entries, the same file twice.
  ASSERT_NO_FATAL_FAILURE(AddInputFiles({file}));
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("2 files selected"));
  EXPECT_EQ(ListBoxLines(window_.lbInputFiles), (std::vector<std::string>{file, file}));

  // The close box does not accept, yet only Cancel puts the list back.
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(SelectLine(0, false, kNone));
  PressInDropDown(window_.BitBtn4, {file}, "Delete");
  PostMessageA(dropDown_, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("1 file selected"));

  // Another program becomes active.
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  HWND other = CreateWindowExA(0, "Static", "another program", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 200, 50,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("1 file selected"));
  ExpectGo(true);

  // Another program, then Kavrin again, while "Add" is open: once the dialog
  // is gone the drop-down goes on, to an "Add" that works.
  SetForegroundWindow(window_.fKavrin);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == window_.fKavrin; }, kReactBound, "Kavrin in front"));
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  Click(window_.BitBtn3);
  HWND dialog = WaitForDialog("Open source files");
  ASSERT_NE(dialog, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == other; }, kReactBound, "the other program in front"));
  SetForegroundWindow(dialog);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }, kReactBound, "the dialog in front again"));
  ASSERT_TRUE(PressButton(dialog, "Cancel"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, kReactBound, "the dialog to close"));
  ASSERT_NO_FATAL_FAILURE(AddFilesInDropDown({file}));
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  ASSERT_NO_FATAL_FAILURE(WaitForDropDownClosed("2 files selected"));
  DestroyWindow(other);
}

TEST_F(InputListE2e, AResizedDropDownOpensAtItsDesignedSizeAgain) {
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  const RECT frame = ScreenRect(dropDown_);
  ASSERT_TRUE(SetWindowPos(dropDown_, nullptr, frame.left, frame.top, frame.right - frame.left + 100,
                           frame.bottom - frame.top + 60, SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(WaitFor([&] { return ClientSize(dropDown_).cx == 524 && ClientSize(dropDown_).cy == 349; }, kReactBound,
                      "the drop-down resized to 524 by 349"));
  // The buttons follow their anchors.
  EXPECT_TRUE(
      WaitFor([&] { return RectInParent(window_.BitBtn1).top == 317 && RectInParent(window_.BitBtn3).left == 445; },
              kReactBound, "OK 32 pixels above the bottom and Add 79 left of the right edge"));
  EXPECT_EQ(RectInParent(window_.BitBtn1).left, 8);
  EXPECT_EQ(RectInParent(window_.BitBtn3).top, 8);
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());

  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  EXPECT_EQ(ClientSize(dropDown_).cx, 424);
  EXPECT_EQ(ClientSize(dropDown_).cy, 289);
  EXPECT_EQ(RectInParent(window_.BitBtn1).top, 257);
  EXPECT_EQ(RectInParent(window_.BitBtn3).left, 345);
}

TEST_F(InputListE2e, DropDownGoesAboveOrRightAlignedWhereTheScreenEnds) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(window_.fKavrin, MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT work = monitor.rcWork;
  const RECT main = ScreenRect(window_.fKavrin);
  const LONG width = main.right - main.left;
  const LONG height = main.bottom - main.top;
  struct Case {
    const char* name;
    POINT mainAt;
    bool above;
    bool rightAligned;
  };
  const Case cases[] = {
      {"near the bottom", {work.left + 100, work.bottom - height - 10}, true, false},
      {"near the right edge", {work.right - width - 10, work.top + 100}, false, true},
      {"near the bottom right corner", {work.right - width - 10, work.bottom - height - 10}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(SetWindowPos(window_.fKavrin, nullptr, c.mainAt.x, c.mainAt.y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(
        WaitFor([&] { return ScreenRect(window_.fKavrin).left == c.mainAt.x; }, kReactBound, "the main window moved"));
    ASSERT_NO_FATAL_FAILURE(OpenDropDown());
    const RECT field = ScreenRect(window_.dxPopupEdit1);
    const RECT frame = ScreenRect(dropDown_);
    if (c.above) {
      EXPECT_EQ(frame.bottom, field.top) << "bottom edge at the field's top";
    } else {
      EXPECT_EQ(frame.top, field.bottom) << "below the field";
    }
    if (c.rightAligned) {
      EXPECT_EQ(frame.right, field.right) << "right edges aligned";
    } else {
      EXPECT_EQ(frame.left, field.left) << "left edges aligned";
    }
    EXPECT_EQ(ClientSize(dropDown_).cx, 424);
    ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  }
}

}  // namespace
}  // namespace kavrin::e2e
