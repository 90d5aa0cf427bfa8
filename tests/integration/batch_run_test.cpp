#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "batch/batch_run.hpp"
#include "integration/test_files.hpp"
#include "platform/win32/win32_clock.hpp"
#include "platform/win32/win32_file_lookup.hpp"
#include "platform/win32/win32_file_store.hpp"
#include "platform/win32/win32_message_pump.hpp"
#include "platform/win32/win32_process.hpp"

namespace kavrin::win32 {
namespace {

// The window's fields for an AC3-CD batch into the test's folder.
class Form final : public BatchForm {
 public:
  bool DtsCdChecked() override { return false; }
  bool Ac3CdChecked() override { return true; }
  bool CddaChecked() override { return false; }
  std::string BeSweetFileName() override { return beSweet; }
  std::string BeSweetTempFolderText() override { return folder; }
  std::string FinalOutputFolderText() override { return folder; }
  bool UseLogfileChecked() override { return true; }
  std::string LogfileText() override { return folder + "\\encode.log"; }
  bool NormalizeChecked() override { return false; }
  std::string AzidText() override { return std::string(); }
  std::string OtaText() override { return std::string(); }
  std::string SsrcText() override { return std::string(); }
  std::string SsrcFixedText() override { return "--rate 44100"; }
  std::string BoostText() override { return std::string(); }
  bool ShutdownChecked() override { return false; }
  int InputEntryCount() override { return static_cast<int>(paths.size()); }
  bool InputEntryText(int index, std::string& text) override {
    if (index >= static_cast<int>(paths.size())) return false;
    text = paths[index];
    return true;
  }
  bool InputEntryStream(int, int stream, bool& selected) override {
    selected = stream == 0 || stream == 3;
    return true;
  }
  void ShowFinishedMessage(const std::string&, bool) override { ++finished; }
  void ShowAnotherBatchRunning() override { ADD_FAILURE() << "no other batch runs"; }
  void ShutdownComputer() override {}

  std::string beSweet;
  std::string folder;
  std::vector<std::string> paths;
  int finished = 0;
};

class NoEncoder final : public EncoderStage {
 public:
  void CreateWindowList() override {}
  void ReleaseWindowList() override {}
  void BackupEncoderOptions() override {}
  bool PrepareSurCodeJob(const SurCodeJob&) override { return RunSurCodeJob(SurCodeJob()); }
  bool RunSurCodeJob(const SurCodeJob&) override {
    ADD_FAILURE() << "no encoder stage in AC3-CD";
    return false;
  }
  void RestoreEncoderOptions() override {}
  void RestoreEncoderOptionsNow() override {}
};

TEST(BatchRunIntegrationTest, Ac3BatchLeavesNumberedTracksAndALog) {
  char temp[MAX_PATH + 1];
  GetTempPathA(sizeof temp, temp);
  Form form;
  form.folder = std::string(temp) + "kavrin-batch-" + std::to_string(GetCurrentProcessId());
  form.beSweet = ModuleFolder() + "\\tools\\besweet_standin\\besweet_standin.exe";
  ASSERT_TRUE(CreateDirectoryA(form.folder.c_str(), nullptr));
  SetEnvironmentVariableA("KAVRIN_STANDIN_RECORD", nullptr);
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", nullptr);
  SetEnvironmentVariableA("KAVRIN_STANDIN_EXIT_CODE", nullptr);

  const std::string vob = form.folder + "\\VTS_01_1.VOB";
  const std::string ac3 = form.folder + "\\movie.ac3";
  for (const std::string& input : {vob, ac3}) std::ofstream(input, std::ios::binary) << std::string(2048, 'x');
  form.paths = {vob, ac3};

  Win32ProcessLauncher launcher;
  Win32FileLookup lookup;
  Win32FileStore files;
  Win32Clock clock;
  Win32MessagePump pump;
  NoEncoder encoder;
  BatchRunner runner(BatchServices{launcher, lookup, files, clock, pump, encoder});
  ASSERT_TRUE(runner.Run(form));
  EXPECT_EQ(form.finished, 1);

  const std::vector<std::string> tracks = {"DOLBYDIGITAL-Track-001.wav", "DOLBYDIGITAL-Track-002.wav",
                                           "DOLBYDIGITAL-Track-003.wav"};
  for (const std::string& track : tracks) EXPECT_TRUE(Exists(form.folder + "\\" + track)) << track;
  EXPECT_FALSE(Exists(form.folder + "\\DOLBYDIGITAL-Track-004.wav"));

  // The first job's report created the log; every later one follows an empty line.
  const std::string log = ReadAll(form.LogfileText());
  EXPECT_EQ(log.rfind("BeSweet stand-in\r\n", 0), 0u) << log;
  size_t empties = 0;
  for (size_t at = log.find("\r\n\r\nBeSweet stand-in"); at != std::string::npos;
       at = log.find("\r\n\r\nBeSweet stand-in", at + 1)) {
    ++empties;
  }
  EXPECT_EQ(empties, 2u) << log;

  for (const std::string& name : {std::string("encode.log"), std::string("VTS_01_1.VOB"), std::string("movie.ac3")}) {
    DeleteFileA((form.folder + "\\" + name).c_str());
  }
  for (const std::string& track : tracks) DeleteFileA((form.folder + "\\" + track).c_str());
  RemoveDirectoryA(form.folder.c_str());
}

}  // namespace
}  // namespace kavrin::win32
