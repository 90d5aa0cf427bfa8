#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "batch/track_names.hpp"
#include "encoder/option_registry.hpp"
#include "integration/test_files.hpp"
#include "platform/win32/win32_file_store.hpp"
#include "platform/win32/win32_registry.hpp"
#include "platform/win32/win32_text_services.hpp"
#include "platform/win32/win32_window_system.hpp"
#include "support/stream_samples.hpp"
#include "support/wait_for.hpp"

namespace kavrin::win32 {
namespace {

using support::WaitFor;

std::string StandinPath() { return ModuleFolder() + "\\tools\\surcode_standin\\surcode_standin.exe"; }

// Starts the stand-in encoder in a fresh folder, with the encoder options of
// the current user pointed at that folder for the test's length.
class StandinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "kavrin-standin-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    record_ = folder_ + "\\record.txt";
    SetEnvironmentVariableA("KAVRIN_SURCODE_RECORD", record_.c_str());
    options_.BackupEncoderOptions();
  }

  void TearDown() override {
    if (process_) {
      if (WaitForSingleObject(process_.Get(), 5000) != WAIT_OBJECT_0) TerminateProcess(process_.Get(), 1);
      process_.Reset();
      thread_.Reset();
    }
    options_.RestoreEncoderOptions();
    SetEnvironmentVariableA("KAVRIN_SURCODE_RECORD", nullptr);
    RemoveTree(folder_);
  }

  void Start(const std::string& knobs) {
    const std::string settings = folder_ + "\\surcode.ssf";
    WriteAll(settings, knobs);
    for (std::string_view channel : ChannelFileNames) WriteAll(folder_ + "\\mono" + std::string(channel), "x");
    std::string refused;
    const Job job{BatchMode::DtsCd, "DTS-Track", 1, 0, "", std::nullopt, folder_, folder_, {}};
    ASSERT_TRUE(options_.WriteJobOptions(job, folder_, refused)) << refused;

    const std::string application = StandinPath();
    std::vector<char> commandLine(settings.begin(), settings.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder_.c_str(), &startup, &started))
        << "cannot start " << application;
    process_.Reset(started.hProcess);
    thread_.Reset(started.hThread);
    processId_ = started.dwProcessId;
  }

  // A visible window of the stand-in with exactly this title, or 0.
  WindowHandle StandinWindow(const std::string& title) {
    WindowHandle result = 0;
    windows_.EnumTopLevelWindows([&](WindowHandle window) {
      DWORD pid = 0;
      GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &pid);
      if (pid == processId_ && windows_.IsVisible(window) && windows_.Title(window, 250) == title) {
        result = window;
      }
    });
    return result;
  }

  bool Ended(DWORD ms) { return WaitForSingleObject(process_.Get(), ms) == WAIT_OBJECT_0; }
  std::string Record() { return ReadAll(record_); }

  std::string folder_;
  std::string record_;
  UniqueHandle process_;
  UniqueHandle thread_;
  DWORD processId_ = 0;
  Win32WindowSystem windows_;
  Win32Registry registry_;
  Win32FileStore files_;
  Win32ErrorTexts errors_;
  EncoderOptions options_{registry_, files_, errors_, [this] { return folder_ + "\\"; }, [](const std::string&) {}};
};

TEST_F(StandinTest, EncoderWindowIsFoundAndClosedByPostedMessages) {
  Start("");
  WindowHandle encoder = 0;
  ASSERT_TRUE(WaitFor([&] { return (encoder = StandinWindow("DTS Encoder")) != 0; }, std::chrono::seconds(10),
                      "the encoder window"))
      << "no visible \"DTS Encoder\" window";
  EXPECT_EQ(windows_.Title(encoder, 4), "DTS");  // cut to the buffer
  EXPECT_EQ(windows_.Title(encoder, 0), "");
  EXPECT_TRUE(windows_.Exists(encoder));
  EXPECT_EQ(windows_.ProcessOf(encoder), processId_);

  EXPECT_TRUE(windows_.Post(encoder, kWmClose, 0, 0));
  ASSERT_TRUE(Ended(10000)) << "the stand-in did not end on WM_CLOSE";
  EXPECT_FALSE(windows_.Exists(encoder));
  EXPECT_EQ(windows_.ProcessOf(encoder), 0u);
  const std::string record = Record();
  EXPECT_NE(record.find("command line: " + folder_ + "\\surcode.ssf\r\n"), std::string::npos) << record;
  EXPECT_NE(record.find("current folder: " + folder_), std::string::npos) << record;
  EXPECT_NE(record.find("WAVEFILE1=" + folder_ + "\\monoFL.WAV"), std::string::npos) << record;
  EXPECT_NE(record.find("WAVEFILE7=" + folder_ + "\\DTS-Track-001.tmp"), std::string::npos) << record;
  EXPECT_NE(record.find("\r\nWM_CLOSE\r\n"), std::string::npos) << record;
}

TEST_F(StandinTest, OutputIsHeldWhileEncodingAndRenamesAfterwards) {
  Start("encode_ms=1500\r\n");
  WindowHandle encoder = 0;
  ASSERT_TRUE(WaitFor([&] { return (encoder = StandinWindow("DTS Encoder")) != 0; }, std::chrono::seconds(10),
                      "the encoder window"));
  ASSERT_TRUE(windows_.Post(encoder, kWmCommand, 1050, 0));

  const std::string temporary = folder_ + "\\DTS-Track-001.tmp";
  const std::string final = folder_ + "\\DTS-Track-001.wav";
  ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(temporary.c_str()) != INVALID_FILE_ATTRIBUTES; },
                      std::chrono::seconds(10), "the temporary output"));
  EXPECT_FALSE(MoveFileA(temporary.c_str(), final.c_str())) << "the output was not held open";
  ASSERT_TRUE(WaitFor([&] { return MoveFileA(temporary.c_str(), final.c_str()) != FALSE; }, std::chrono::seconds(10),
                      "the output to be renamed"));
  const std::string wav = ReadAll(final);
  ASSERT_EQ(wav.size(), samples::SampleTrack(samples::Stream::Dts, 4.2).size());
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");

  windows_.Post(encoder, kWmClose, 0, 0);
  ASSERT_TRUE(Ended(10000));
  EXPECT_NE(Record().find("WM_COMMAND 1050\r\nencoding"), std::string::npos) << Record();
}

TEST_F(StandinTest, StartupWindowGivesWayToTheEncoderWindowOnClose) {
  Start("startup=1\r\n");
  WindowHandle startup = 0;
  ASSERT_TRUE(WaitFor([&] { return (startup = StandinWindow("Surcode CD Pro DTS")) != 0; }, std::chrono::seconds(10),
                      "the start-up window"));
  EXPECT_EQ(StandinWindow("DTS Encoder"), 0u);
  windows_.Post(startup, kWmClose, 0, 0);
  WindowHandle encoder = 0;
  ASSERT_TRUE(WaitFor([&] { return (encoder = StandinWindow("DTS Encoder")) != 0; }, std::chrono::seconds(10),
                      "the encoder window"));
  EXPECT_EQ(StandinWindow("Surcode CD Pro DTS"), 0u);
  windows_.Post(encoder, kWmClose, 0, 0);
  EXPECT_TRUE(Ended(10000));
}

TEST_F(StandinTest, HiddenWindowsAreEnumeratedButNotVisible) {
  Start("hide_encoder=1\r\nexit_ms=3000\r\n");
  ASSERT_TRUE(WaitFor([&] { return Record().find("WAVEFILELOCATION") != std::string::npos; }, std::chrono::seconds(10),
                      "the options in the record"));
  Sleep(300);
  EXPECT_EQ(StandinWindow("DTS Encoder"), 0u);
  bool seenHidden = false;
  windows_.EnumTopLevelWindows([&](WindowHandle window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &pid);
    if (pid == processId_ && !windows_.IsVisible(window) && windows_.Title(window, 250) == "DTS Encoder") {
      seenHidden = true;
    }
  });
  EXPECT_TRUE(seenHidden);
  EXPECT_TRUE(Ended(10000)) << "the hidden stand-in did not end by itself";
}

TEST(WindowSystemTest, ExceptionFromAVisitComesBackAfterTheEnumeration) {
  Win32WindowSystem windows;
  int visits = 0;
  EXPECT_THROW(windows.EnumTopLevelWindows([&](WindowHandle) {
    ++visits;
    throw std::runtime_error("stop");
  }),
               std::runtime_error);
  EXPECT_EQ(visits, 1);
}

}  // namespace
}  // namespace kavrin::win32
