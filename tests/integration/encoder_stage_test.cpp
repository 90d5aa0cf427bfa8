#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "encoder/encoder_automation.hpp"
#include "fakes/fake_batch_form.hpp"
#include "fakes/fake_program_location.hpp"
#include "integration/test_files.hpp"
#include "platform/win32/win32_clock.hpp"
#include "platform/win32/win32_file_lookup.hpp"
#include "platform/win32/win32_file_store.hpp"
#include "platform/win32/win32_message_pump.hpp"
#include "platform/win32/win32_process.hpp"
#include "platform/win32/win32_registry.hpp"
#include "platform/win32/win32_text_services.hpp"
#include "platform/win32/win32_window_system.hpp"
#include "support/stream_samples.hpp"
#include "support/wait_for.hpp"

namespace kavrin::win32 {
namespace {

// One DTS-CD job against the stand-in encoder, through the real registry,
// processes, windows, messages and files. The user's option values are put
// back afterwards.
class EncoderStageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "kavrin stage " + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    CreateDirectoryA((folder_ + "\\temp").c_str(), nullptr);
    CreateDirectoryA((folder_ + "\\out").c_str(), nullptr);
    CreateDirectoryA((folder_ + "\\user").c_str(), nullptr);
    record_ = folder_ + "\\record.txt";
    SetEnvironmentVariableA("KAVRIN_SURCODE_RECORD", record_.c_str());

    form_.settings.SurCodePath = ModuleFolder() + "\\tools\\surcode_standin\\surcode_standin.exe";
    form_.settings.TempFolderText = folder_ + "\\temp";
    form_.settings.FinalFolderText = folder_ + "\\out";
    form_.settings.UseLogfile = true;
    form_.settings.LogfileText = folder_ + "\\kavrin.log";
    program_.path = folder_ + "\\kavrin.exe";
    for (std::string_view channel : ChannelFileNames) {
      WriteAll(form_.settings.TempFolderText + "\\mono" + std::string(channel), "pcm");
    }
    userOptions_.BackupEncoderOptions();
  }

  void TearDown() override {
    // The stand-in is only asked to close; give it time to go.
    support::WaitFor([this] { return ReadAll(record_).find("\r\nexit") != std::string::npos; },
                     std::chrono::seconds(10), "the stand-in to exit");
    userOptions_.RestoreEncoderOptions();
    SetEnvironmentVariableA("KAVRIN_SURCODE_RECORD", nullptr);
    RemoveTree(folder_);
  }

  void RunJob(const std::string& knobs) {
    WriteAll(folder_ + "\\surcode.ssf", knobs);
    stage_.CreateWindowList();
    stage_.BackupEncoderOptions();
    BatchStatus status(files_, clock_, nullptr, BatchMode::DtsCd);
    status.JobStarted(form_.ReadJobSettings());
    stage_.RunSurCodeJob(Job{BatchMode::DtsCd, "DTS-Track", 1, 0, folder_ + "\\a.ac3", std::nullopt,
                             form_.settings.TempFolderText, form_.settings.FinalFolderText, form_.ReadJobSettings()},
                         status);
    stage_.RestoreEncoderOptions();
    stage_.ReleaseWindowList();
  }

  bool MonoFilesRemain() {
    for (std::string_view channel : ChannelFileNames) {
      if (!Exists(form_.settings.TempFolderText + "\\mono" + std::string(channel))) return false;
    }
    return true;
  }

  std::string folder_;
  std::string record_;
  fakes::FakeBatchForm form_;
  fakes::FakeProgramLocation program_;
  Win32Registry registry_;
  Win32WindowSystem windows_;
  Win32MessagePump pump_;
  Win32Clock clock_;
  Win32ProcessLauncher launcher_;
  Win32FileStore files_;
  Win32FileLookup lookup_;
  Win32ErrorTexts errors_;
  std::vector<std::string> notices_;
  EncoderOptions userOptions_{registry_, files_, errors_, [this] { return folder_ + "\\user\\"; },
                              [this](const std::string& text) { notices_.push_back(text); }};
  EncoderAutomation stage_{EncoderServices{program_, registry_, windows_, pump_, clock_, launcher_, files_, lookup_,
                                           errors_, [this](const std::string& text) { notices_.push_back(text); }}};
};

TEST_F(EncoderStageTest, JobEncodesRenamesCleansUpAndRestoresTheOptions) {
  {
    auto key = registry_.OpenOrCreateCurrentUserKey(kEncoderOptionKey);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->SetString("WAVEFILE1", "C:\\mine\\fl.wav"));
    key->DeleteValue("WAVEFILE7");
  }
  RunJob("startup=1\r\nencode_ms=1500\r\n");

  const std::string wav = ReadAll(form_.settings.FinalFolderText + "\\DTS-Track-001.wav");
  ASSERT_EQ(wav.size(), samples::SampleTrack(samples::Stream::Dts, 4.2).size());
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_FALSE(Exists(form_.settings.FinalFolderText + "\\DTS-Track-001.tmp"));
  EXPECT_FALSE(Exists(form_.settings.TempFolderText + "\\monoFL.WAV"));
  EXPECT_FALSE(Exists(form_.settings.TempFolderText + "\\monoLFE.WAV"));

  const std::string record = ReadAll(record_);
  // The settings file path alone, unquoted although it holds blanks.
  EXPECT_NE(record.find("command line: " + folder_ + "\\surcode.ssf\r\n"), std::string::npos) << record;
  EXPECT_NE(record.find("current folder: " + ModuleFolder() + "\\tools\\surcode_standin\r\n"), std::string::npos)
      << record;
  EXPECT_NE(record.find("WAVEFILE7=" + form_.settings.FinalFolderText + "\\DTS-Track-001.tmp"), std::string::npos)
      << record;
  EXPECT_NE(record.find("WAVEFILELOCATION=" + folder_ + "\r\n"), std::string::npos) << record;
  const size_t startupClosed = record.find("WM_CLOSE startup");
  const size_t started = record.find("WM_COMMAND 1050");
  ASSERT_NE(startupClosed, std::string::npos) << record;
  ASSERT_NE(started, std::string::npos) << record;
  EXPECT_LT(startupClosed, started);

  const std::string log = ReadAll(form_.settings.LogfileText);
  EXPECT_EQ(log.find("SurCode CD Pro DTS\r\n-----------------------------------\r\nLogging start : "), 0u) << log;
  EXPECT_NE(log.find("\r\nLogging end : "), std::string::npos) << log;

  auto key = registry_.OpenOrCreateCurrentUserKey(kEncoderOptionKey);
  std::string value;
  EXPECT_EQ(key->QueryString("WAVEFILE1", value), RegistryKey::QueryResult::String);
  EXPECT_EQ(value, "C:\\mine\\fl.wav");
  EXPECT_EQ(key->QueryString("WAVEFILE7", value), RegistryKey::QueryResult::Missing);
}

TEST_F(EncoderStageTest, EncoderEndingWithoutOutputSkipsTheJob) {
  RunJob("no_output=1\r\n");
  EXPECT_FALSE(Exists(form_.settings.FinalFolderText + "\\DTS-Track-001.wav"));
  EXPECT_TRUE(MonoFilesRemain());
  const std::string log = ReadAll(form_.settings.LogfileText);
  EXPECT_NE(log.find(std::string(kEndedWithoutOutputLine) + "\r\nLogging end : "), std::string::npos) << log;
}

TEST_F(EncoderStageTest, EncoderWithoutVisibleWindowSkipsTheJob) {
  RunJob("hide_encoder=1\r\nexit_ms=2000\r\n");  // about forty seconds of search
  EXPECT_FALSE(Exists(form_.settings.FinalFolderText + "\\DTS-Track-001.wav"));
  EXPECT_TRUE(MonoFilesRemain());
  EXPECT_EQ(ReadAll(record_).find("WM_COMMAND"), std::string::npos);
  const std::string log = ReadAll(form_.settings.LogfileText);
  EXPECT_NE(log.find(std::string(kWindowNotFoundLine) + "\r\nLogging end : "), std::string::npos) << log;
}

TEST_F(EncoderStageTest, EncoderThatCannotStartLeavesNoTrace) {
  form_.settings.SurCodePath = folder_ + "\\missing.exe";
  RunJob("");
  EXPECT_FALSE(Exists(form_.settings.LogfileText));
  EXPECT_TRUE(MonoFilesRemain());
  WriteAll(record_, "\r\nexit");  // nothing to wait for
}

}  // namespace
}  // namespace kavrin::win32
