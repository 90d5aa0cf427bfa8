#include <windows.h>
#include <gtest/gtest.h>
// After windows.h, which it needs.
#include <uxtheme.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/text.hpp"
#include "harness.hpp"
#include "kavrin_window.hpp"

namespace kavrin::e2e {
namespace {

constexpr const char* kCreateQuestion = "The specified directory does not exist. Create it?";
// Ids of the explorer-style open-file dialog.
constexpr int kReadOnlyBox = 0x0410;  // chx1
constexpr int kFileTypes = 0x0470;    // cmb1

// Message box buttons carry a mnemonic on some systems.
bool PressEither(HWND box, const std::string& caption) {
  return PressButton(box, "&" + caption) || PressButton(box, caption);
}

DWORD_PTR SendToList(HWND list, UINT message, WPARAM wParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(list, message, wParam, 0, SMTO_ABORTIFHUNG, 5000, &result);
  return result;
}

// The folder tree as "<level> <text>" lines; a line's item data is its level.
std::vector<std::string> TreeLines(HWND tree) {
  std::vector<std::string> lines = ListBoxLines(tree);
  for (size_t index = 0; index < lines.size(); ++index) {
    lines[index] = std::to_string(SendToList(tree, LB_GETITEMDATA, index)) + " " + lines[index];
  }
  return lines;
}

// The tree open at `folder` (ASCII, no trailing "\"): the root, each folder
// down to it, then its subfolders one level deeper.
std::vector<std::string> ExpectedTree(const std::string& folder, const std::vector<std::string>& subfolders) {
  std::vector<std::string> lines;
  std::string rest = folder + "\\";
  for (size_t end = 0; (end = rest.find('\\')) != std::string::npos; rest.erase(0, end + 1)) {
    lines.push_back(std::to_string(lines.size()) + " " + rest.substr(0, lines.empty() ? end + 1 : end));
  }
  const std::string level = std::to_string(lines.size()) + " ";
  for (const std::string& name : subfolders) lines.push_back(level + name);
  return lines;
}

// A double click on a line: the click that selects it, then the second press.
void DoubleClickLine(HWND list, int index) {
  ASSERT_TRUE(ClickListBoxLine(list, index));
  const int row = index - static_cast<int>(SendToList(list, LB_GETTOPINDEX, 0));
  const auto height = static_cast<int>(SendToList(list, LB_GETITEMHEIGHT, 0));
  const LPARAM where = MAKELPARAM(4, row * height + height / 2);
  PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
  PostMessageA(list, WM_LBUTTONUP, 0, where);
}

class BrowseE2e : public KavrinTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
    ASSERT_TRUE(ClickTab(kavrin_.Handle(), window_.PageControl1, 0));
    ASSERT_TRUE(WaitFor([&] { return IsShown(window_.feBeSweet); }, kReactBound, "the \"Files and folders\" page"));
  }

  static HWND BrowseButton(HWND field) {
    const std::vector<HWND> buttons = FindControls(field, "Button");
    return buttons.empty() ? nullptr : buttons.front();
  }

  // Presses the field's browse button and waits for the dialog.
  HWND Browse(HWND field, const std::string& caption) {
    HWND button = BrowseButton(field);
    EXPECT_NE(button, nullptr) << "the field has no browse button";
    if (button == nullptr) return nullptr;
    Click(button);
    return WaitForDialog(caption);
  }

  HWND FolderLine(HWND dialog) {
    const std::vector<HWND> edits = FindControls(dialog, "Edit");
    return edits.size() == 1 ? edits.front() : nullptr;
  }

  void WaitForDialogGone(HWND dialog, const std::string& what) {
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog) || !IsShown(dialog); }, kReactBound,
                        what + "; the program shows " + DescribeWindows(kavrin_.Id())));
  }

  void CancelDialog(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    WaitForDialogGone(dialog, "the dialog to close on Cancel");
  }

  // The program's current folder, as the folder dialog shows it when it
  // starts from ".". Browsing must leave it where the program started.
  void ExpectCurrentFolderKept(const std::string& after) {
    ASSERT_TRUE(SetText(window_.deBeSweetOutputFolder, "."));
    HWND dialog = Browse(window_.deBeSweetOutputFolder, "Select Directory");
    ASSERT_NE(dialog, nullptr);
    const std::string current = TextOf(FolderLine(dialog));
    ASSERT_NO_FATAL_FAILURE(CancelDialog(dialog));
    EXPECT_TRUE(SameFolder(current, folder_.Path())) << "after " << after << " the current folder is " << current;
  }

  void WaitForTree(HWND tree, const std::vector<std::string>& expected, const std::string& what) {
    EXPECT_TRUE(WaitFor([&] { return TreeLines(tree) == expected; }, kReactBound,
                        what + "; the tree shows " + ::testing::PrintToString(TreeLines(tree))));
  }
};

TEST_F(BrowseE2e, SelectDirectoryShowsItsControlsAndAFolderTreeAtTheFieldsFolder) {
  for (const char* sub : {"sub b", "sub a", "sub a\\inner"})
    ASSERT_TRUE(CreateDirectoryA(folder_.File(sub).c_str(), nullptr));
  ASSERT_TRUE(SetText(window_.deSurcodeOutputFolder, folder_.Path()));
  HWND dialog = Browse(window_.deSurcodeOutputFolder, "Select Directory");
  ASSERT_NE(dialog, nullptr);

  for (const char* label : {"Directory &Name:", "&Directories:", "&Files: (*.*)", "D&rives:"}) {
    EXPECT_NE(FindControl(dialog, "Static", label), nullptr) << label;
  }
  EXPECT_NE(FindControl(dialog, "Button", "OK"), nullptr);
  EXPECT_NE(FindControl(dialog, "Button", "Cancel"), nullptr);
  for (HWND button : FindControls(dialog, "Button")) EXPECT_NE(TextOf(button), "Help") << "no Help button";
  ASSERT_EQ(FindControls(dialog, "ListBox").size(), 2u) << "the folder and file lists";
  EXPECT_EQ(FindControls(dialog, "ComboBox").size(), 1u) << "the drive list";
  HWND line = FolderLine(dialog);
  ASSERT_NE(line, nullptr) << "the folder line is an edit";
  EXPECT_TRUE(SameFolder(TextOf(line), folder_.Path())) << TextOf(line);
  // The folder holds the test's copy of the program.
  const std::vector<std::string> files = ListBoxLines(FindControls(dialog, "ListBox").back());
  EXPECT_NE(std::find_if(files.begin(), files.end(),
                         [](const std::string& name) { return UpperAscii(name) == "KAVRIN.EXE"; }),
            files.end())
      << "the file list shows the folder's files";

  // The tree: root, the folders down to the field's, its subfolders in order.
  HWND tree = FindControls(dialog, "ListBox").front();
  const std::vector<std::string> atFolder = ExpectedTree(folder_.Path(), {"sub a", "sub b"});
  WaitForTree(tree, atFolder, "the tree at the field's folder");
  const int subA = static_cast<int>(atFolder.size()) - 2;
  // A click names the folder; a double click opens it; Enter opens a folder on the path.
  ASSERT_TRUE(ClickListBoxLine(tree, subA));
  EXPECT_TRUE(WaitFor([&] { return TextOf(line) == folder_.File("sub a"); }, kReactBound, "the clicked folder named"));
  ASSERT_NO_FATAL_FAILURE(DoubleClickLine(tree, subA));
  WaitForTree(tree, ExpectedTree(folder_.File("sub a"), {"inner"}), "the tree at \"sub a\" after a double click");
  ASSERT_TRUE(ClickListBoxLine(tree, subA - 1));
  PostMessageA(tree, WM_KEYDOWN, VK_RETURN, 0);
  WaitForTree(tree, atFolder, "the tree back at the field's folder after Enter (not OK)");
  // Right opens the selected folder, Left and Backspace go up.
  ASSERT_TRUE(ClickListBoxLine(tree, subA));
  PostMessageA(tree, WM_KEYDOWN, VK_RIGHT, 0);
  WaitForTree(tree, ExpectedTree(folder_.File("sub a"), {"inner"}), "the tree at \"sub a\" after Right");
  PostMessageA(tree, WM_KEYDOWN, VK_LEFT, 0);
  WaitForTree(tree, atFolder, "the tree back at the field's folder after Left");
  PostMessageA(tree, WM_KEYDOWN, VK_BACK, 0);
  EXPECT_TRUE(WaitFor([&] { return SameFolder(TextOf(line), ExtractFileDir(folder_.Path())); }, kReactBound,
                      "the tree one level up after Backspace"));
  // The drives as the system names them; the rows follow a dpi change.
  const std::vector<std::string> drives = ComboBoxLines(FindControls(dialog, "ComboBox").front());
  EXPECT_NE(std::find(drives.begin(), drives.end(), "C:"), drives.end()) << ::testing::PrintToString(drives);
  const auto rowHeight = [&] { return SendToList(tree, LB_GETITEMHEIGHT, 0); };
  const DWORD_PTR rowAt96 = rowHeight();
  const win32::RemoteMemory suggested = LendMemory(kavrin_.Handle(), sizeof(RECT));
  const RECT frame = ScreenRect(dialog);
  ASSERT_TRUE(WriteRemote(suggested, &frame, sizeof frame));
  PostMessageA(dialog, 0x02E0, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(suggested.Get().address));
  EXPECT_TRUE(WaitFor([&] { return rowHeight() >= rowAt96 * 3 / 2; }, kReactBound, "rows for 144 dpi"));
  const std::vector<std::string> up = ListBoxLines(tree);
  const auto ours = std::find(up.begin(), up.end(), ExtractFileName(folder_.Path()));
  ASSERT_NE(ours, up.end());
  ASSERT_NO_FATAL_FAILURE(DoubleClickLine(tree, static_cast<int>(ours - up.begin())));
  WaitForTree(tree, atFolder, "the tree at the field's folder again");

  // OK takes the folder the user selected.
  ASSERT_TRUE(ClickListBoxLine(tree, subA + 1));
  EXPECT_TRUE(WaitFor([&] { return TextOf(line) == folder_.File("sub b"); }, kReactBound, "the clicked folder named"));
  PressDialogOk(dialog);
  ASSERT_NO_FATAL_FAILURE(WaitForDialogGone(dialog, "the dialog to close on OK"));
  EXPECT_TRUE(WaitFor([&] { return TextOf(window_.deSurcodeOutputFolder) == folder_.File("sub b"); }, kReactBound,
                      "the selected folder in the field"));
}

TEST_F(BrowseE2e, FinalOutputFolderAsksBeforeCreatingAndNoKeepsTheDialogOpen) {
  const std::string typed = folder_.File("final out\\deeper");
  HWND dialog = Browse(window_.deSurcodeOutputFolder, "Select Directory");
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetText(FolderLine(dialog), typed));

  PressDialogOk(dialog);
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Confirm", box));
  EXPECT_EQ(MessageBoxText(box), kCreateQuestion);
  ASSERT_TRUE(PressEither(box, "No"));
  ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Confirm"));
  EXPECT_TRUE(IsWindow(dialog) && IsShown(dialog)) << "No keeps the dialog open";
  EXPECT_FALSE(FileExists(folder_.File("final out")));

  PressDialogOk(dialog);
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Confirm", box));
  ASSERT_TRUE(PressEither(box, "Yes"));
  ASSERT_NO_FATAL_FAILURE(WaitForDialogGone(dialog, "the dialog to close on Yes"));
  EXPECT_TRUE(WaitFor([&] { return TextOf(window_.deSurcodeOutputFolder) == typed; }, kReactBound,
                      "the typed folder in the field"));
  EXPECT_TRUE(FileExists(typed)) << "created with its missing parent";
}

TEST_F(BrowseE2e, TempFolderIsCreatedWithoutAQuestion) {
  ASSERT_TRUE(SetText(window_.deBeSweetOutputFolder, "C:\\no such folder here"));
  const std::string typed = folder_.File("temp\\a\\b");
  HWND dialog = Browse(window_.deBeSweetOutputFolder, "Select Directory");
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetText(FolderLine(dialog), typed));
  PressDialogOk(dialog);
  ASSERT_NO_FATAL_FAILURE(WaitForDialogGone(dialog, "the dialog to close without a question"));
  EXPECT_EQ(FindMessageBox(kavrin_.Id(), "Confirm"), nullptr);
  EXPECT_TRUE(WaitFor([&] { return TextOf(window_.deBeSweetOutputFolder) == typed; }, kReactBound,
                      "the typed folder in the field"));
  EXPECT_TRUE(FileExists(typed));
  ASSERT_NO_FATAL_FAILURE(ExpectCurrentFolderKept("OK in the folder dialog"));

  // The next browse starts at the folder it chose when the field is empty.
  ASSERT_TRUE(SetText(window_.deBeSweetOutputFolder, ""));
  dialog = Browse(window_.deBeSweetOutputFolder, "Select Directory");
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(SameFolder(TextOf(FolderLine(dialog)), typed)) << TextOf(FolderLine(dialog));
  CancelDialog(dialog);
  EXPECT_EQ(TextOf(window_.deBeSweetOutputFolder), "");
  ASSERT_NO_FATAL_FAILURE(ExpectCurrentFolderKept("Cancel in the folder dialog"));

  // A relative name lies inside the folder shown, not the current one.
  ASSERT_TRUE(SetText(window_.deBeSweetOutputFolder, typed));
  dialog = Browse(window_.deBeSweetOutputFolder, "Select Directory");
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(SetText(FolderLine(dialog), "..\\c d"));
  PressDialogOk(dialog);
  ASSERT_NO_FATAL_FAILURE(WaitForDialogGone(dialog, "the dialog to close on a relative name"));
  EXPECT_TRUE(WaitFor([&] { return TextOf(window_.deBeSweetOutputFolder) == folder_.File("temp\\a\\c d"); },
                      kReactBound,
                      "the folder beside the one shown (the field has " + TextOf(window_.deBeSweetOutputFolder) + ")"));
  EXPECT_TRUE(FileExists(folder_.File("temp\\a\\c d")));
}

// With visual styles on (Wine has its own), the buttons inside the fields
// are drawn by the theme, which shows where the mouse is over them.
TEST_F(BrowseE2e, TheBrowseButtonShowsTheMouseOverItWithVisualStyles) {
  if (!IsThemeActive()) GTEST_SKIP() << "no visual style is active";
  HWND button = BrowseButton(window_.feBeSweet);
  ASSERT_NE(button, nullptr);
  const auto pixels = [&] {
    const RECT rect = ScreenRect(button);
    const win32::WindowDc screen = win32::GetWindowDc(nullptr);
    std::vector<COLORREF> seen;
    for (LONG y = rect.top; y < rect.bottom; ++y) {
      for (LONG x = rect.left; x < rect.right; ++x) seen.push_back(GetPixel(screen.Get().dc, x, y));
    }
    return seen;
  };
  SetCursorPos(0, 0);
  std::vector<COLORREF> away;
  ASSERT_TRUE(WaitFor([&] { return !(away = pixels()).empty() && pixels() == away; }, kReactBound, "a still button"));
  const POINT over = CentreOf(button);
  SetCursorPos(over.x, over.y);
  EXPECT_TRUE(WaitFor([&] { return pixels() != away; }, kReactBound, "the button's hover look"));
  SetCursorPos(0, 0);
  EXPECT_TRUE(WaitFor([&] { return pixels() == away; }, kReactBound, "the button's look without the mouse"));
}

TEST_F(BrowseE2e, FileNameDialogsHaveTheFieldsFilterAndNoReadOnlyBox) {
  struct Row {
    const char* name;
    HWND field;
    std::vector<std::string> filter;
  };
  const Row rows[] = {
      {"feBeSweet", window_.feBeSweet, {"All files (*.*)"}},
      {"feSurCode", window_.feSurCode, {"Surcode Executable (surcodedts.exe)", "All files (*.*)"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    HWND dialog = Browse(row.field, "Browse");
    ASSERT_NE(dialog, nullptr);
    HWND readOnly = GetDlgItem(dialog, kReadOnlyBox);
    EXPECT_TRUE(readOnly == nullptr || !IsShown(readOnly)) << "no read-only check box";
    EXPECT_EQ(ComboBoxLines(GetDlgItem(dialog, kFileTypes)), row.filter);
    CancelDialog(dialog);
    EXPECT_EQ(TextOf(row.field), "");
  }
}

TEST_F(BrowseE2e, ABrowsedPathWithABlankIsQuotedAndReadsWithoutQuotes) {
  const std::string folder = folder_.File("Be Sweet");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string exe = folder + "\\BeSweet 1.5.exe";
  ASSERT_TRUE(WriteFileBytes(exe, "MZ"));

  // Alt+Down in the field does what the button does.
  ClickOnScreen(CentreOf(window_.feBeSweet));
  ASSERT_TRUE(WaitFor([&] { return IsShown(window_.feBeSweet) && GetForegroundWindow() == window_.fKavrin; },
                      kReactBound, "the main window in front"));
  PressKeys({VK_MENU, VK_DOWN});
  ASSERT_NO_FATAL_FAILURE(ChooseInFileDialog("Browse", folder, {"BeSweet 1.5.exe"}));
  EXPECT_TRUE(WaitFor([&] { return TextOf(window_.feBeSweet) == "\"" + exe + "\""; }, kReactBound,
                      "the quoted path in the field (it shows " + TextOf(window_.feBeSweet) + ")"));
  ASSERT_NO_FATAL_FAILURE(ExpectCurrentFolderKept("OK in the open-file dialog"));

  // The next browse starts in the chosen file's folder.
  HWND dialog = Browse(window_.feBeSweet, "Browse");
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(WaitFor([&] { return SameFolder(FileDialogFolder(kavrin_.Handle(), dialog), folder); }, kReactBound,
                      "the dialog in " + folder));
  // Cancel after browsing elsewhere.
  const std::string films = folder_.File("films");
  ASSERT_TRUE(CreateDirectoryA(films.c_str(), nullptr));
  ASSERT_TRUE(SetText(FileDialogNameBox(dialog), films));
  PressDialogOk(dialog);
  EXPECT_TRUE(WaitFor([&] { return SameFolder(FileDialogFolder(kavrin_.Handle(), dialog), films); }, kReactBound,
                      "the dialog in " + films));
  CancelDialog(dialog);
  ASSERT_NO_FATAL_FAILURE(ExpectCurrentFolderKept("Cancel in the open-file dialog"));

  // The input list's "Add" browses the same way.
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  ASSERT_NO_FATAL_FAILURE(AddFilesInDropDown({exe}));
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  ASSERT_NO_FATAL_FAILURE(ExpectCurrentFolderKept("\"Add\""));

  // Stored through the FileName reading: without the quotes.
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
  const IniFile ini = ParseIni(ReadIni());
  const IniEntry* stored = ini.Find("EXE", "BeSweet");
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->value, exe);
}

}  // namespace
}  // namespace kavrin::e2e
