#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "batch/batch_run.hpp"
#include "fakes/fake_batch_form.hpp"
#include "integration/test_files.hpp"
#include "platform/win32/win32_clock.hpp"
#include "platform/win32/win32_file_lookup.hpp"
#include "platform/win32/win32_file_store.hpp"
#include "platform/win32/win32_folders.hpp"
#include "platform/win32/win32_message_pump.hpp"
#include "platform/win32/win32_process.hpp"
#include "platform/win32/win32_text_services.hpp"

namespace kavrin::win32 {
namespace {

TEST(BatchRunIntegrationTest, Ac3BatchLeavesNumberedTracksAndALog) {
  char temp[MAX_PATH + 1];
  GetTempPathA(sizeof temp, temp);
  // An AC3-CD batch into the test's folder, with streams 0x80 and 0x83 of the ".vob".
  fakes::FakeBatchForm form;
  const std::string folder = std::string(temp) + "kavrin-batch-" + std::to_string(GetCurrentProcessId());
  form.ac3Cd = true;
  form.settings.BeSweetPath = ModuleFolder() + "\\tools\\besweet_standin\\besweet_standin.exe";
  form.settings.TempFolderText = folder;
  form.settings.FinalFolderText = folder;
  form.settings.UseLogfile = true;
  form.settings.LogfileText = folder + "\\encode.log";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  SetEnvironmentVariableA("KAVRIN_STANDIN_RECORD", nullptr);
  SetEnvironmentVariableA("KAVRIN_STANDIN_RUN_MS", nullptr);
  SetEnvironmentVariableA("KAVRIN_STANDIN_EXIT_CODE", nullptr);

  const std::string vob = folder + "\\VTS_01_1.VOB";
  const std::string ac3 = folder + "\\movie.ac3";
  for (const std::string& input : {vob, ac3}) std::ofstream(input, std::ios::binary) << std::string(2048, 'x');
  form.AddEntry(vob, {0, 3});
  form.AddEntry(ac3, {0, 3});

  Win32ProcessLauncher launcher;
  Win32FileLookup lookup;
  Win32FileStore files;
  Win32Clock clock;
  Win32MessagePump pump;
  fakes::FakeEncoderStage encoder;
  Win32Folders folders;
  Win32ErrorTexts errors;
  BatchRunner runner(BatchServices{launcher, lookup, files, clock, pump, encoder, nullptr, nullptr, &folders, &errors});
  ASSERT_TRUE(runner.Run(form));
  EXPECT_EQ(encoder.jobs, 0) << "no encoder stage in AC3-CD";
  EXPECT_EQ(form.finishedMessages, 1);
  EXPECT_EQ(form.refusals, 0) << "no other batch runs";

  const std::vector<std::string> tracks = {"DOLBYDIGITAL-Track-001.wav", "DOLBYDIGITAL-Track-002.wav",
                                           "DOLBYDIGITAL-Track-003.wav"};
  for (const std::string& track : tracks) EXPECT_TRUE(Exists(folder + "\\" + track)) << track;
  EXPECT_FALSE(Exists(folder + "\\DOLBYDIGITAL-Track-004.wav"));
  // The disc's layout names all three, and the finish says so.
  const std::string cue = ReadAll(folder + "\\DOLBYDIGITAL-Track.cue");
  EXPECT_NE(cue.find("FILE \"DOLBYDIGITAL-Track-003.wav\" WAVE\r\n  TRACK 03 AUDIO\r\n"), std::string::npos) << cue;
  EXPECT_NE(form.finishedText.find("\n\nDOLBYDIGITAL-Track.cue: 3 tracks, 0:12 (fits a 74-minute disc)"),
            std::string::npos)
      << form.finishedText;

  // The first job's report created the log; every later one follows an empty line.
  const std::string log = ReadAll(form.settings.LogfileText);
  EXPECT_EQ(log.rfind("BeSweet stand-in\r\n", 0), 0u) << log;
  size_t empties = 0;
  for (size_t at = log.find("\r\n\r\nBeSweet stand-in"); at != std::string::npos;
       at = log.find("\r\n\r\nBeSweet stand-in", at + 1)) {
    ++empties;
  }
  EXPECT_EQ(empties, 2u) << log;

  // A folder that cannot take the tracks (or, in DTS-CD mode, the mono
  // files) would lose every job: the batch starts nothing and says why.
  const std::string missing = folder + "\\missing";
  for (const auto& [dts, bad, says] :
       {std::tuple{false, missing, " does not exist:\n" + missing},
        std::tuple{false, vob, " is a file, not a folder:\n" + vob},
        std::tuple{false, missing + std::string(240, 'x'), std::string(" is too long: Kavrin's files in it")},
        std::tuple{true, missing, std::string("\"BeSweet Temp Folder\" does not exist")}}) {
    form.ac3Cd = !dts;
    form.dtsCd = dts;
    form.settings.FinalFolderText = dts ? folder : bad;
    form.settings.TempFolderText = bad;
    try {
      runner.Run(form);
      ADD_FAILURE() << bad;
    } catch (const KavrinError& error) {
      EXPECT_NE(std::string(error.what()).find(says), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find("\n\nNothing was started."), std::string::npos) << error.what();
    }
  }
  EXPECT_EQ(form.finishedMessages, 1);

  for (const std::string& name : {std::string("encode.log"), std::string("VTS_01_1.VOB"), std::string("movie.ac3"),
                                  std::string("DOLBYDIGITAL-Track.cue")}) {
    DeleteFileA((folder + "\\" + name).c_str());
  }
  for (const std::string& track : tracks) DeleteFileA((folder + "\\" + track).c_str());
  EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "the check before the batch left a file";
}

}  // namespace
}  // namespace kavrin::win32
