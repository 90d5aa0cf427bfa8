#include "kavrin_window.hpp"

#include <vector>

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
};

}  // namespace

::testing::AssertionResult FindKavrinControls(HWND form, KavrinWindow& window) {
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
