#include "batch_test.hpp"

#include <algorithm>

#include "core/text.hpp"
#include "platform/win32/win32_profile.hpp"

namespace kavrin::e2e {

namespace {

// Built beside this driver: tests\driver\e2e_tests.exe and tests\tools\besweet_standin.
std::string StandInSource() {
  return ExtractFileDir(ExtractFileDir(win32::Win32ProgramLocation().ExecutablePath())) +
         "\\tools\\besweet_standin\\besweet_standin.exe";
}

// The names in `folder`, each after a blank.
std::string FolderNames(const std::string& folder) {
  std::string names;
  WIN32_FIND_DATAA data;
  const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return " (cannot be listed)";
  do {
    if (data.cFileName[0] != '.') names += std::string(" ") + data.cFileName;
  } while (FindNextFileA(find, &data) != FALSE);
  FindClose(find);
  return names;
}

}  // namespace

std::vector<StandInRun> ReadRuns(const std::string& record) {
  std::vector<StandInRun> runs;
  const std::string bytes = ReadFileBytes(record);
  size_t from = 0;
  while (from < bytes.size()) {
    size_t end = bytes.find("\r\n", from);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(from, end - from);
    from = end + 2;
    // The folder cannot hold "|", so the command line is all after the third.
    const size_t a = line.find('|');
    const size_t b = a == std::string::npos ? a : line.find('|', a + 1);
    const size_t c = b == std::string::npos ? b : line.find('|', b + 1);
    if (c == std::string::npos) {
      runs.push_back({std::string(), std::string(), std::string(), line});
    } else {
      runs.push_back(
          {line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1, c - b - 1), line.substr(c + 1)});
    }
  }
  return runs;
}

std::vector<std::string> CommandLines(const std::vector<StandInRun>& runs) {
  std::vector<std::string> lines;
  for (const StandInRun& run : runs) lines.push_back(run.commandLine);
  return lines;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void BatchTest::SetUp() {
  standIn_ = folder_.File("besweet_standin.exe");
  ASSERT_TRUE(CopyFileA(StandInSource().c_str(), standIn_.c_str(), FALSE)) << "no stand-in at " << StandInSource();
  ASSERT_TRUE(CreateDirectoryA(Out().c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(Temp().c_str(), nullptr));
  SetEnvironmentVariableA("KAVRIN_STANDIN_RECORD", Record().c_str());
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", nullptr);
  SetEnvironmentVariableA("KAVRIN_STANDIN_EXIT_CODE", nullptr);
}

void BatchTest::TearDown() {
  SetEnvironmentVariableA("KAVRIN_STANDIN_RECORD", nullptr);
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", nullptr);
}

void BatchTest::Start(const BatchSettings& settings) {
  auto truth = [&](const char* key) { return std::string(key) + "=" + (settings.mode == key ? "1" : "0") + "\r\n"; };
  WriteIni("[EXE]\r\nBeSweet=" + (settings.beSweet.empty() ? standIn_ : settings.beSweet) +
           "\r\n[FOLDERS]\r\nBeSweet=" + Temp() + "\r\nSurCode=" + Out() +
           "\r\n[LOG]\r\nUse Log=" + (settings.useLog ? "1" : "0") + "\r\nFilename=" + settings.logFile +
           "\r\n[SETTINGS]\r\nNormalize=" + (settings.normalize ? "1" : "0") + "\r\n" + truth("DTS CD") +
           truth("AC3 CD") + truth("CDDA CD") + "Shutdown=0\r\n[OTA]\r\nOptions=" + settings.ota +
           "\r\n[Azid]\r\nOptions=" + settings.azid + "\r\n[SSRC]\r\nOptions=" + settings.ssrc +
           "\r\n[Boost]\r\nOptions=" + settings.boost + "\r\n");
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
}

void BatchTest::AddInputs(const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    ASSERT_TRUE(WriteFileBytes(Input(name), "sample")) << name;
    paths.push_back(Input(name));
  }
  ASSERT_NO_FATAL_FAILURE(AddInputFiles(paths));
}

void BatchTest::ChooseStreams(int index, const std::vector<int>& streams) {
  ASSERT_TRUE(ClickListBoxLine(window_.lbInputFiles, index));
  const auto boxes = window_.StreamBoxes();
  ASSERT_TRUE(WaitFor([&] { return IsEnabled(boxes[0]); }, kReactBound, "the stream boxes to be enabled"));
  for (int k = 0; k < 8; ++k) {
    const bool wanted = std::find(streams.begin(), streams.end(), k) != streams.end();
    if (IsChecked(boxes[k]) != wanted) Click(boxes[k]);
    ASSERT_TRUE(WaitFor([&] { return IsChecked(boxes[k]) == wanted; }, kReactBound,
                        "stream box 0x8" + std::to_string(k) + " to follow the click"));
  }
}

void BatchTest::RunBatch(const std::string& text) {
  Click(window_.Button1);
  ASSERT_NO_FATAL_FAILURE(ExpectFinishedAndClose(text));
}

void BatchTest::ExpectFinishedAndClose(const std::string& text) {
  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Information", box, kBatchBound));
  // Which runs began and what they left tell a launch that failed from a
  // run that wrote nothing.
  EXPECT_EQ(BeforeLayout(MessageBoxText(box)), text)
      << "The stand-in's runs:\n"
      << ReadFileBytes(Record()) << "The output folder holds:" << FolderNames(Out());
  EXPECT_TRUE(MessageBoxHasIcon(box));
  ASSERT_TRUE(PressButton(box, "OK"));
  ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Information"));
}

void BatchTest::WaitForRuns(size_t count) {
  ASSERT_TRUE(WaitFor([&] { return ReadRuns(Record()).size() >= count; }, kRunStartBound,
                      "stand-in run " + std::to_string(count) + " to begin"));
}

}  // namespace kavrin::e2e
