#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "harness.hpp"

namespace kavrin::e2e {

// The main window's controls under their names, found by caption, by the
// label left of them or by their place in a row.
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
};

// Fails naming every control it could not find.
::testing::AssertionResult FindKavrinControls(HWND form, KavrinWindow& window);

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

  TempFolder folder_;
  KavrinProcess kavrin_{folder_};
  KavrinWindow window_;
};

}  // namespace kavrin::e2e
