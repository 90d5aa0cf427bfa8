#include "real_audio_flow.hpp"

#include <string_view>
#include <vector>

#include "core/text.hpp"

namespace kavrin::e2e {

std::string ModeCaption(CdMode mode) {
  switch (mode) {
    case CdMode::DtsCd:
      return "DTS-CD";
    case CdMode::Ac3Cd:
      return "AC3-CD";
    case CdMode::Cdda:
      return "CDDA";
  }
  return std::string();
}

std::string TrackName(CdMode mode) {
  switch (mode) {
    case CdMode::DtsCd:
      return "DTS-Track";
    case CdMode::Ac3Cd:
      return "DOLBYDIGITAL-Track";
    case CdMode::Cdda:
      return "CDDA-Track";
  }
  return std::string();
}

std::string ProgramOption(const std::string& name) {
  const std::string option = "--" + name + "=";
  for (int i = 1; i < __argc; ++i) {
    const std::string_view argument = __argv[i];
    if (argument.substr(0, option.size()) == option) return WindowsPath(std::string(argument.substr(option.size())));
  }
  return std::string();
}

std::string RealAudioTest::TranscoderPath() {
  return ExtractFileDir(KavrinExePath()) + "\\backends\\kavrin-transcoder.exe";
}

std::string RealAudioTest::DtsEncoderPath() {
  return ExtractFileDir(KavrinExePath()) + "\\backends\\kavrin-dts-encoder.exe";
}

std::string RealAudioTest::FfmpegPath() { return ExtractFileDir(KavrinExePath()) + "\\backends\\ffmpeg.exe"; }

std::string RealAudioTest::IniText(const std::string& tempFolder, const std::string& outputFolder,
                                   const std::string& log, bool normalize, const std::string& azid) {
  return "[EXE]\r\nBeSweet=" + TranscoderPath() + "\r\nSurCode=" + DtsEncoderPath() +
         "\r\n[FOLDERS]\r\nBeSweet=" + tempFolder + "\r\nSurCode=" + outputFolder +
         "\r\n[LOG]\r\nUse Log=1\r\nFilename=" + log + "\r\n[SETTINGS]\r\nNormalize=" + (normalize ? "1" : "0") +
         "\r\nDTS CD=0\r\nAC3 CD=1\r\nCDDA CD=0\r\nShutdown=0\r\n" +
         (azid.empty() ? std::string() : "[Azid]\r\nOptions=" + azid + "\r\n");
}

void RealAudioTest::StartWithIni(const std::string& text) {
  ASSERT_NO_FATAL_FAILURE(WriteIni(text));
  ASSERT_NO_FATAL_FAILURE(StartAndFindWindow());
}

void RealAudioTest::AddSamples(const std::string& folder) {
  ASSERT_NO_FATAL_FAILURE(OpenDropDown());
  const int vob = static_cast<int>(ListBoxLines(window_.lbInputFiles).size());
  ASSERT_NO_FATAL_FAILURE(AddFilesInDropDown({folder + "\\" + kVobSample, folder + "\\" + kAc3Sample}));
  ASSERT_NO_FATAL_FAILURE(ChooseStreams(vob, {0, 1}));
  if (onMoment_) onMoment_(FlowMoment::StreamsChosen);
  ASSERT_NO_FATAL_FAILURE(CloseDropDownWithOk());
  ASSERT_TRUE(WaitFor([&] { return IsEnabled(window_.Button1); }, kReactBound, "\"Go\" to be enabled"));
}

void RealAudioTest::RunBatch(CdMode mode, std::chrono::milliseconds bound, double& seconds) {
  seconds = 0.0;
  HWND button = mode == CdMode::DtsCd ? window_.rbDTSCD : mode == CdMode::Ac3Cd ? window_.rbAC3CD : window_.rbCDDA;
  Click(button);
  ASSERT_TRUE(WaitFor([&] { return IsChecked(button); }, kReactBound, ModeCaption(mode) + " to be checked"));
  // Painted now: once the batch runs, the window repaints only between its waits.
  RedrawWindow(window_.fKavrin, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);

  const auto start = std::chrono::steady_clock::now();
  Click(window_.Button1);
  // A running batch locks the input list; its buttons show it until the
  // finished box has closed.
  ASSERT_TRUE(WaitFor([&] { return !IsEnabled(window_.BitBtn3); }, kReactBound, "the batch to start"));
  if (onMoment_) onMoment_(FlowMoment::BatchRunning);

  HWND box = nullptr;
  ASSERT_TRUE(kavrin_.WaitForMessageBox("Information", box, bound));
  seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(BeforeLayout(MessageBoxText(box)), "Encoding Finished!");
  if (onMoment_) onMoment_(FlowMoment::Finished);
  ASSERT_TRUE(PressButton(box, "OK"));
  ASSERT_TRUE(kavrin_.WaitForNoMessageBox("Information"));
  ASSERT_TRUE(WaitFor([&] { return IsEnabled(window_.BitBtn3); }, kReactBound, "the batch to end"));
}

}  // namespace kavrin::e2e
