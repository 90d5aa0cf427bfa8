#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/unique_resource.hpp"
#include "support/wait_for.hpp"

namespace kavrin::e2e {

using win32::UniqueHandle;

// Bounds for every wait. Start-up under Wine can take many seconds.
inline constexpr std::chrono::milliseconds kStartBound{20000};
inline constexpr std::chrono::milliseconds kReactBound{5000};
inline constexpr std::chrono::milliseconds kExitBound{10000};

// kavrin.exe as given by --kavrin=<path>, or the one two folders above this
// test program.
std::string KavrinExePath();

// ctest under Wine passes Unix paths: "/x/y" becomes "Z:\x\y".
std::string WindowsPath(const std::string& path);

using support::WaitFor;

// Memory lent in another process, for messages whose pointers the system
// does not carry across (the common controls', a dpi change, a drop).
win32::RemoteMemory LendMemory(HANDLE process, size_t size);
bool ReadRemote(const win32::RemoteMemory& memory, void* data, size_t size, size_t offset = 0);
bool WriteRemote(const win32::RemoteMemory& memory, const void* data, size_t size, size_t offset = 0);

// A fresh folder under the temporary folder, removed with all it holds.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Files, as bytes.
bool FileExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// The lines of a text, each without its LF or CR LF; a last line without an
// end counts too.
std::vector<std::string> TextLines(const std::string& text);
bool SetReadOnly(const std::string& path, bool readOnly);

// An INI file as written by the profile functions, for checking key by key.
struct IniEntry {
  std::string section;
  std::string key;
  std::string value;
};
struct IniFile {
  std::vector<std::string> sections;  // in file order
  std::vector<IniEntry> entries;      // in file order
  // Names match regardless of case, as in the profile functions.
  const IniEntry* Find(const std::string& section, const std::string& key) const;
};
IniFile ParseIni(const std::string& bytes);

// Windows of another process. Every message sent is bounded, so a hung
// program fails the test instead of hanging it.
std::vector<HWND> TopLevelWindows(DWORD processId);
// "class \"caption\"" of each visible top-level window, for failure messages.
std::string DescribeWindows(DWORD processId);
HWND FindTopLevel(DWORD processId, const std::string& className, const std::string& caption);
std::vector<HWND> Descendants(HWND parent);
HWND FindControl(HWND parent, const std::string& className, const std::string& text);
std::vector<HWND> FindControls(HWND parent, const std::string& className);
// A label: a static text or a button (a check box that labels its field).
HWND FindLabel(HWND parent, const std::string& text);
// The edits in the label's row, right of it, left to right.
std::vector<HWND> EditsRightOf(HWND label);

std::string ClassOf(HWND window);
std::string TextOf(HWND window);
bool IsChecked(HWND button);
bool IsEnabled(HWND window);
bool IsShown(HWND window);
LONG_PTR StyleOf(HWND window);
RECT ScreenRect(HWND window);
RECT RectInParent(HWND window);
SIZE ClientSize(HWND window);

// Actions are posted, so a handler that opens a modal loop does not block the
// driver; wait for their effect.
void Click(HWND button);
void ClickAt(HWND window, POINT client);
bool SetText(HWND window, const std::string& text);

// A real click of the left button at a point of the screen, through the
// system's input queue, so that it activates windows as a user's click does.
void ClickOnScreen(POINT screen);
// The centre of a window, in screen coordinates.
POINT CentreOf(HWND window);

// List boxes of another process.
std::vector<std::string> ListBoxLines(HWND listBox);
int ListBoxSelection(HWND listBox);
int ListBoxHorizontalExtent(HWND listBox);
// Selects a line as a click on it does (the list box notifies its owner).
bool ClickListBoxLine(HWND listBox, int index);

// A combo box's list, read like a list box's.
std::vector<std::string> ComboBoxLines(HWND comboBox);
// Real key presses through the system's input queue: each key of `keys` is
// pressed in order, then all are released in reverse order (VK_MENU, VK_DOWN
// is Alt+Down). They go to the window that has the keyboard focus.
void PressKeys(const std::vector<WORD>& keys);

// The folder an explorer-style file dialog shows (CDM_GETFOLDERPATH).
std::string FileDialogFolder(HANDLE process, HWND dialog);

// The tab control keeps its texts in the other process; they are read through
// memory lent to it.
std::vector<std::string> TabTexts(HANDLE process, HWND tab);
int SelectedTab(HWND tab);
bool ClickTab(HANDLE process, HWND tab, int index);

// The name a screen reader reads for a control: its client object's name.
std::wstring AccessibleName(HWND window);

// Message boxes (dialog class "#32770") of a process.
HWND FindMessageBox(DWORD processId, const std::string& caption);
// The message text: the static that is not the icon.
std::string MessageBoxText(HWND box);
// The finished box's text without its last part when that is the disc
// layout ("DTS-Track.cue: 2 tracks, ..."), which only the layout's own flow
// looks at.
std::string BeforeLayout(const std::string& finished);
// Whether the box shows an icon (which one cannot be told from outside).
bool MessageBoxHasIcon(HWND box);
bool PressButton(HWND dialog, const std::string& caption);

// One kavrin.exe copied into a test folder, so its Kavrin.ini is the test's
// own. It is always ended: closed politely, then terminated.
class KavrinProcess {
 public:
  explicit KavrinProcess(const TempFolder& folder, const std::string& exeName = "kavrin.exe");
  ~KavrinProcess();
  KavrinProcess(const KavrinProcess&) = delete;
  KavrinProcess& operator=(const KavrinProcess&) = delete;

  const std::string& ExePath() const { return exePath_; }
  std::string IniPath() const { return folder_ + "\\Kavrin.ini"; }
  HANDLE Handle() const { return process_.Get(); }
  DWORD Id() const { return id_; }

  ::testing::AssertionResult Start();
  bool Running() const;
  DWORD ExitCode() const;

  // The visible main window, class "TfKavrin", caption "Kavrin v1.2".
  ::testing::AssertionResult WaitForMainWindow(HWND& window, std::chrono::milliseconds bound = kStartBound);
  ::testing::AssertionResult WaitForMessageBox(const std::string& caption, HWND& box,
                                               std::chrono::milliseconds bound = kReactBound);
  ::testing::AssertionResult WaitForNoMessageBox(const std::string& caption,
                                                 std::chrono::milliseconds bound = kReactBound);
  // WM_CLOSE to the main window.
  void RequestClose();
  ::testing::AssertionResult WaitForExit(std::chrono::milliseconds bound = kExitBound);
  void End();

 private:
  std::string folder_;
  std::string exePath_;
  bool copied_ = false;
  UniqueHandle process_;
  DWORD id_ = 0;
};

}  // namespace kavrin::e2e
