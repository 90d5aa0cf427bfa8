#include "kavrin_window.hpp"

#include <vector>

#include "core/text.hpp"

namespace kavrin::e2e {
namespace {

struct ControlRule {
  HWND KavrinWindow::*member;
  const char* name;
  const char* className;  // found by its own caption, or
  const char* label;      // by the label left of it in the same row
  size_t column;          // 0: the first edit right of the label, 1: the next
};

constexpr ControlRule kRules[] = {
    {&KavrinWindow::Button1, "Button1", "Button", "Go", 0},
    {&KavrinWindow::dxPopupEdit1, "dxPopupEdit1", nullptr, "Input files", 0},
    {&KavrinWindow::feBeSweet, "feBeSweet", nullptr, "BeSweet", 0},
    {&KavrinWindow::feSurCode, "feSurCode", nullptr, "SurCode CD Pro DTS", 0},
    {&KavrinWindow::deBeSweetOutputFolder, "deBeSweetOutputFolder", nullptr, "BeSweet Temp Folder", 0},
    {&KavrinWindow::deSurcodeOutputFolder, "deSurcodeOutputFolder", nullptr, "Final Output Folder", 0},
    {&KavrinWindow::cbUseLogfile, "cbUseLogfile", "Button", "Logfile", 0},
    {&KavrinWindow::feLogfile, "feLogfile", nullptr, "Logfile", 0},
    {&KavrinWindow::cbUseGMax, "cbUseGMax", "Button", "Normalize", 0},
    {&KavrinWindow::rbDTSCD, "rbDTSCD", "Button", "DTS-CD", 0},
    {&KavrinWindow::rbAC3CD, "rbAC3CD", "Button", "AC3-CD", 0},
    {&KavrinWindow::rbCDDA, "rbCDDA", "Button", "CDDA", 0},
    {&KavrinWindow::cbShutdown, "cbShutdown", "Button", "Shutdown afterwards", 0},
    {&KavrinWindow::eOta, "eOta", nullptr, "-ota(", 0},
    {&KavrinWindow::eAzid, "eAzid", nullptr, "-azid(", 0},
    {&KavrinWindow::eOtaFixed, "eOtaFixed", nullptr, "-azid(", 1},
    {&KavrinWindow::eSSRC, "eSSRC", nullptr, "-ssrc(", 0},
    {&KavrinWindow::eSSRCFixed, "eSSRCFixed", nullptr, "-ssrc(", 1},
    {&KavrinWindow::eBoost, "eBoost", nullptr, "-boost(", 0},
    {&KavrinWindow::BitBtn1, "BitBtn1", "Button", "OK", 0},
    {&KavrinWindow::BitBtn2, "BitBtn2", "Button", "Cancel", 0},
    {&KavrinWindow::BitBtn3, "BitBtn3", "Button", "Add", 0},
    {&KavrinWindow::BitBtn4, "BitBtn4", "Button", "Delete", 0},
    {&KavrinWindow::BitBtn5, "BitBtn5", "Button", "Move up", 0},
    {&KavrinWindow::BitBtn6, "BitBtn6", "Button", "Sort", 0},
    {&KavrinWindow::BitBtn7, "BitBtn7", "Button", "Move down", 0},
    {&KavrinWindow::cbStreams, "cbStreams", "Button", "Audio Streams", 0},
    {&KavrinWindow::cb80, "cb80", "Button", "0x80", 0},
    {&KavrinWindow::cb81, "cb81", "Button", "0x81", 0},
    {&KavrinWindow::cb82, "cb82", "Button", "0x82", 0},
    {&KavrinWindow::cb83, "cb83", "Button", "0x83", 0},
    {&KavrinWindow::cb84, "cb84", "Button", "0x84", 0},
    {&KavrinWindow::cb85, "cb85", "Button", "0x85", 0},
    {&KavrinWindow::cb86, "cb86", "Button", "0x86", 0},
    {&KavrinWindow::cb87, "cb87", "Button", "0x87", 0},
};

// The explorer-style open-file dialog's file name box: an edit, or the
// combo box (cmb13) that holds one; some versions use edt1.
constexpr int kFileNameCombo = 0x047c;
constexpr int kFileNameEdit = 0x0480;

}  // namespace

bool SameFolder(std::string a, std::string b) {
  for (std::string* folder : {&a, &b}) {
    if (folder->size() > 3 && folder->back() == '\\') folder->pop_back();
    *folder = UpperAscii(*folder);
  }
  return a == b;
}

HWND FileDialogNameBox(HWND dialog) {
  if (HWND box = GetDlgItem(dialog, kFileNameCombo)) {
    if (ClassOf(box) == "Edit") return box;
    const std::vector<HWND> edits = FindControls(box, "Edit");
    if (!edits.empty()) return edits.front();
  }
  return GetDlgItem(dialog, kFileNameEdit);
}

void PressDialogOk(HWND dialog) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

namespace {

// What to type for names of one folder: a single name as it is, several
// each in double quotes.
std::string NamesToType(const std::vector<std::string>& names) {
  if (names.size() == 1) return names.front();
  std::string typed;
  for (const std::string& name : names) typed += (typed.empty() ? "\"" : " \"") + name + "\"";
  return typed;
}

}  // namespace

namespace {

::testing::AssertionResult FindEveryControl(HWND form, KavrinWindow& window) {
  window = KavrinWindow{};
  window.fKavrin = form;
  std::vector<std::string> missing;
  for (const ControlRule& rule : kRules) {
    HWND found = nullptr;
    if (rule.className != nullptr) {
      found = FindControl(form, rule.className, rule.label);
    } else if (HWND label = FindLabel(form, rule.label)) {
      const std::vector<HWND> edits = EditsRightOf(label);
      if (rule.column < edits.size()) found = edits[rule.column];
    }
    window.*rule.member = found;
    if (found == nullptr) missing.push_back(rule.name);
  }
  const std::vector<HWND> lists = FindControls(form, "ListBox");
  if (lists.size() == 1) {
    window.lbInputFiles = lists.front();
  } else {
    missing.push_back("lbInputFiles (" + std::to_string(lists.size()) + " list boxes)");
  }
  if (window.BitBtn1 != nullptr) window.Panel1 = GetParent(window.BitBtn1);
  const std::vector<HWND> tabs = FindControls(form, "SysTabControl32");
  if (tabs.size() == 1) {
    window.PageControl1 = tabs.front();
  } else {
    missing.push_back("PageControl1 (" + std::to_string(tabs.size()) + " tab controls)");
  }
  if (missing.empty()) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure() << "controls not found in the main window:";
  for (const std::string& name : missing) failure << ' ' << name;
  return failure;
}

}  // namespace

// The drop-down's controls come just after the first paint.
::testing::AssertionResult FindKavrinControls(HWND form, KavrinWindow& window) {
  ::testing::AssertionResult found = ::testing::AssertionFailure();
  WaitFor([&] { return static_cast<bool>(found = FindEveryControl(form, window)); }, kStartBound, "the controls");
  return found;
}

HWND FindDropDown(DWORD processId) {
  for (HWND window : TopLevelWindows(processId)) {
    if (ClassOf(window) == "TdxPopupWindow" && IsShown(window)) return window;
  }
  return nullptr;
}

void KavrinTest::OpenDropDown() {
  ASSERT_EQ(FindDropDown(kavrin_.Id()), nullptr) << "the drop-down is open already";
  ClickAt(window_.dxPopupEdit1, POINT{8, 8});
  ASSERT_TRUE(WaitFor([&] { return (dropDown_ = FindDropDown(kavrin_.Id())) != nullptr; }, kStartBound,
                      "the drop-down to open; the program shows " + DescribeWindows(kavrin_.Id())));
  ASSERT_TRUE(WaitFor([&] { return IsShown(window_.lbInputFiles); }, kReactBound, "the input list in the drop-down"));
}

void KavrinTest::AddFilesInDropDown(const std::vector<std::string>& windowsPaths) {
  size_t first = 0;
  while (first < windowsPaths.size()) {
    const std::string folder = ExtractFileDir(windowsPaths[first]);
    std::vector<std::string> names;
    size_t next = first;
    for (; next < windowsPaths.size() && SameFolder(ExtractFileDir(windowsPaths[next]), folder); ++next) {
      names.push_back(ExtractFileName(windowsPaths[next]));
    }
    const size_t before = ListBoxLines(window_.lbInputFiles).size();

    Click(window_.BitBtn3);
    ASSERT_NO_FATAL_FAILURE(ChooseInFileDialog("Open source files", folder, names));
    ASSERT_TRUE(WaitFor([&] { return ListBoxLines(window_.lbInputFiles).size() == before + names.size(); }, kReactBound,
                        std::to_string(names.size()) + " more entries in the input list"));
    first = next;
  }
}

HWND KavrinTest::WaitForDialog(const std::string& caption) {
  HWND dialog = nullptr;
  EXPECT_TRUE(WaitFor(
      [&] {
        dialog = FindTopLevel(kavrin_.Id(), "#32770", caption);
        return dialog != nullptr && IsShown(dialog);
      },
      kStartBound, "the dialog \"" + caption + "\"; the program shows " + DescribeWindows(kavrin_.Id())));
  return dialog != nullptr && IsShown(dialog) ? dialog : nullptr;
}

void KavrinTest::ChooseInFileDialog(const std::string& caption, const std::string& folder,
                                    const std::vector<std::string>& names) {
  HWND dialog = WaitForDialog(caption);
  ASSERT_NE(dialog, nullptr);
  HWND nameBox = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (nameBox = FileDialogNameBox(dialog)) != nullptr; }, kReactBound,
                      "the file name box of \"" + caption + "\""));

  // Typing a folder and OK opens that folder.
  ASSERT_TRUE(SetText(nameBox, folder));
  PressDialogOk(dialog);
  ASSERT_TRUE(WaitFor(
      [&] { return SameFolder(FileDialogFolder(kavrin_.Handle(), dialog), folder); }, kStartBound,
      "the file dialog to show " + folder + " (it shows \"" + FileDialogFolder(kavrin_.Handle(), dialog) + "\")"));
  ASSERT_TRUE(SetText(nameBox, NamesToType(names)));
  PressDialogOk(dialog);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog) || !IsShown(dialog); }, kStartBound,
                      "the file dialog to close; the program shows " + DescribeWindows(kavrin_.Id())));
}

void KavrinTest::CloseDropDownWithOk() {
  ASSERT_NE(FindDropDown(kavrin_.Id()), nullptr) << "the drop-down is not open";
  Click(window_.BitBtn1);
  ASSERT_TRUE(WaitFor([&] { return FindDropDown(kavrin_.Id()) == nullptr; }, kReactBound,
                      "the drop-down to close; the program shows " + DescribeWindows(kavrin_.Id())));
}

void KavrinTest::AddInputFiles(const std::vector<std::string>& windowsPaths) {
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(AddFilesInDropDown(windowsPaths));
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  ASSERT_TRUE(WaitFor([&] { return IsEnabled(window_.Button1); }, kReactBound, "\"Go\" to be enabled"));
}

void KavrinTest::WaitForDropDownClosed(const std::string& summary) {
  ASSERT_TRUE(WaitFor([&] { return FindDropDown(kavrin_.Id()) == nullptr && TextOf(window_.dxPopupEdit1) == summary; },
                      kReactBound,
                      "the drop-down to close with \"" + summary + "\" in the field (it shows \"" +
                          TextOf(window_.dxPopupEdit1) + "\"); the program shows " + DescribeWindows(kavrin_.Id())));
}

void KavrinTest::WriteIni(const std::string& text) {
  ASSERT_TRUE(WriteFileBytes(kavrin_.IniPath(), text)) << "could not write " << kavrin_.IniPath();
}

std::string KavrinTest::ReadIni() const { return ReadFileBytes(kavrin_.IniPath()); }

void KavrinTest::StartAndFindWindow() {
  ASSERT_TRUE(kavrin_.Start());
  HWND form = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMainWindow(form));
  ASSERT_TRUE(FindKavrinControls(form, window_));
}

void KavrinTest::CloseAndWaitForExit() {
  kavrin_.RequestClose();
  ASSERT_TRUE(kavrin_.WaitForExit());
}

}  // namespace kavrin::e2e
