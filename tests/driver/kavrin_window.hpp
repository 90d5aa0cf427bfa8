#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "harness.hpp"

namespace kavrin::e2e {

// The main window's controls under their names, found by caption, by the
// label left of them or by their place in a row. The drop-down's controls
// keep their handles whether Panel1 lies hidden in the main window or is
// shown in the drop-down.
struct KavrinWindow {
  HWND fKavrin = nullptr;
  HWND Button1 = nullptr;
  HWND dxPopupEdit1 = nullptr;
  HWND PageControl1 = nullptr;
  HWND feBeSweet = nullptr;
  HWND feSurCode = nullptr;
  HWND deBeSweetOutputFolder = nullptr;
  HWND deSurcodeOutputFolder = nullptr;
  HWND cbUseLogfile = nullptr;
  HWND feLogfile = nullptr;
  HWND cbUseGMax = nullptr;
  HWND rbDTSCD = nullptr;
  HWND rbAC3CD = nullptr;
  HWND rbCDDA = nullptr;
  HWND cbShutdown = nullptr;
  HWND eOta = nullptr;
  HWND eAzid = nullptr;
  HWND eOtaFixed = nullptr;
  HWND eSSRC = nullptr;
  HWND eSSRCFixed = nullptr;
  HWND eBoost = nullptr;

  HWND Panel1 = nullptr;
  HWND BitBtn1 = nullptr;  // OK
  HWND BitBtn2 = nullptr;  // Cancel
  HWND BitBtn3 = nullptr;  // Add
  HWND BitBtn4 = nullptr;  // Delete
  HWND BitBtn5 = nullptr;  // Move up
  HWND BitBtn6 = nullptr;  // Sort
  HWND BitBtn7 = nullptr;  // Move down
  HWND lbInputFiles = nullptr;
  HWND cbStreams = nullptr;
  HWND cb80 = nullptr, cb81 = nullptr, cb82 = nullptr, cb83 = nullptr;
  HWND cb84 = nullptr, cb85 = nullptr, cb86 = nullptr, cb87 = nullptr;

  // cb80 to cb87: box k stands for stream 0x80 + k.
  std::array<HWND, 8> StreamBoxes() const { return {cb80, cb81, cb82, cb83, cb84, cb85, cb86, cb87}; }
};

// Fails naming every control it could not find.
::testing::AssertionResult FindKavrinControls(HWND form, KavrinWindow& window);

// The drop-down window of dxPopupEdit1 (class "TdxPopupWindow") while it is
// shown; null otherwise.
HWND FindDropDown(DWORD processId);

// Folder paths that name the same folder: letter case and a trailing
// delimiter aside.
bool SameFolder(std::string a, std::string b);
// The explorer-style file dialog's file name box (an edit).
HWND FileDialogNameBox(HWND dialog);
// IDOK, as a press of the dialog's OK button.
void PressDialogOk(HWND dialog);

// Each test in a fresh folder with its own copy of kavrin.exe; the process
// ends with the test whatever happens.
class KavrinTest : public ::testing::Test {
 protected:
  void WriteIni(const std::string& text);
  std::string ReadIni() const;
  // Starts kavrin.exe and finds its window and controls.
  void StartAndFindWindow();
  // WM_CLOSE, and the process must end.
  void CloseAndWaitForExit();

  // The input list, driven as a user does. Each fails the test (use
  // ASSERT_NO_FATAL_FAILURE) when a step does not happen in time.
  //
  // Opens the drop-down with a click on dxPopupEdit1's text; sets dropDown_.
  void OpenDropDown();
  // With the drop-down open: "Add", then the real open-file dialog is
  // navigated to each file's folder and given the names, one dialog per run
  // of files in the same folder, until the list has grown by all of them.
  void AddFilesInDropDown(const std::vector<std::string>& windowsPaths);
  // The visible dialog (class "#32770") of the program with this caption;
  // null, with a failure, when it does not show in time.
  HWND WaitForDialog(const std::string& caption);
  // In the open-file dialog with this caption: types the folder and OK to
  // open it, then types the names (several in double quotes) and OK, and
  // waits until the dialog has closed.
  void ChooseInFileDialog(const std::string& caption, const std::string& folder, const std::vector<std::string>& names);
  // Presses OK and waits until the drop-down has closed.
  void CloseDropDownWithOk();
  // All three: afterwards the files stand at the end of the input list, in
  // the given order (each ".vob" with stream 0x80 only), and "Go" is enabled.
  void AddInputFiles(const std::vector<std::string>& windowsPaths);
  // Waits until the drop-down has closed and the field shows `summary`.
  void WaitForDropDownClosed(const std::string& summary);

  TempFolder folder_;
  KavrinProcess kavrin_{folder_};
  KavrinWindow window_;
  HWND dropDown_ = nullptr;
};

}  // namespace kavrin::e2e
