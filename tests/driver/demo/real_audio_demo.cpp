// Shows Kavrin at work without anyone at the screen: starts it with a given
// Kavrin.ini, adds the two samples, runs one batch per mode and ends,
// printing each step and how long each batch took from "Go" to the finished
// box, and saving pictures of the screen along the way.
//
//   real_audio_demo.exe --kavrin=<kavrin.exe> --ini=<Kavrin.ini> --samples=<folder>
//                       [--shots=<folder>] [--minutes=<bound per batch, 10>]
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "backends/common/ffmpeg.hpp"
#include "core/text.hpp"
#include "real_audio_flow.hpp"

namespace kavrin::e2e {
namespace {

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

// The part of the screen that Kavrin's windows and the DTS encoder's cover.
RECT ShownArea(DWORD kavrinId) {
  std::vector<HWND> windows = TopLevelWindows(kavrinId);
  windows.push_back(FindWindowA(nullptr, "DTS Encoder"));
  RECT area{};
  for (HWND window : windows) {
    if (window == nullptr || !IsShown(window) || IsIconic(window)) continue;
    const RECT rect = ScreenRect(window);
    UnionRect(&area, &area, &rect);
  }
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  InflateRect(&area, 8, 8);
  IntersectRect(&area, &area, &screen);
  return area;
}

class RealAudioDemo : public RealAudioTest {
 protected:
  // A picture of that area of the X display, taken by ffmpeg; a failure is
  // reported and the demo goes on.
  void Shoot(const std::string& name) {
    const std::string folder = ProgramOption("shots");
    char display[256] = {};
    if (folder.empty() || GetEnvironmentVariableA("DISPLAY", display, sizeof display) == 0) return;
    const std::optional<backends::Ffmpeg> ffmpeg = backends::Ffmpeg::Find();
    if (!ffmpeg) return Say("  (no picture: ffmpeg not found)");
    const RECT area = ShownArea(kavrin_.Id());
    // Even sizes suit every pixel format.
    const std::string size =
        std::to_string((area.right - area.left) & ~1) + "x" + std::to_string((area.bottom - area.top) & ~1);
    const std::string where = std::string(display) + "+" + std::to_string(area.left) + "," + std::to_string(area.top);
    const std::string path = folder + "\\" + ZeroPad(++shots_, 2) + "-" + name + ".png";
    const auto result = ffmpeg->Run({L"-nostdin", L"-hide_banner", L"-loglevel", L"error", L"-y", L"-f", L"x11grab",
                                     L"-draw_mouse", L"0", L"-video_size", backends::Ffmpeg::Text(size), L"-i",
                                     backends::Ffmpeg::Text(where), L"-frames:v", L"1", ffmpeg->FileArgument(path)});
    Say(result.Succeeded() ? "  picture: " + path : "  (no picture: " + result.Reason() + ")");
  }

  int shots_ = 0;
};

TEST_F(RealAudioDemo, OneBatchPerMode) {
  const std::string ini = ProgramOption("ini"), samples = ProgramOption("samples");
  ASSERT_FALSE(ini.empty() || samples.empty()) << "--ini=<Kavrin.ini> and --samples=<folder> are needed";
  const std::string minutes = ProgramOption("minutes");
  const auto bound = std::chrono::minutes(minutes.empty() ? 10 : std::max(1, std::atoi(minutes.c_str())));

  Say("Starting " + KavrinExePath() + " with the settings of " + ini);
  ASSERT_NO_FATAL_FAILURE(StartWithIni(ReadFileBytes(ini)));
  CdMode current = CdMode::DtsCd;
  onMoment_ = [&](FlowMoment moment) {
    switch (moment) {
      case FlowMoment::StreamsChosen:
        Say("  streams 0x80 and 0x81 ticked for " + std::string(kVobSample));
        return Shoot("input-list");
      case FlowMoment::BatchRunning:
        Say("  the batch runs");
        return Shoot(Lower(ModeCaption(current)) + "-running");
      case FlowMoment::Finished:
        Say("  \"Encoding Finished!\"");
        return Shoot(Lower(ModeCaption(current)) + "-finished");
    }
  };
  Say("Input files > Add: " + std::string(kVobSample) + " and " + kAc3Sample + " from " + samples);
  ASSERT_NO_FATAL_FAILURE(AddSamples(samples));
  for (CdMode mode : kCdModes) {
    current = mode;
    Say(ModeCaption(mode) + ": Go");
    double seconds = 0;
    ASSERT_NO_FATAL_FAILURE(RunBatch(mode, bound, seconds));
    char line[128];
    std::snprintf(line, sizeof line, "batch %s: %.2f s from Go to the finished box", ModeCaption(mode).c_str(),
                  seconds);
    Say(line);
  }
  Say("Closing Kavrin");
  ASSERT_NO_FATAL_FAILURE(CloseAndWaitForExit());
}

}  // namespace
}  // namespace kavrin::e2e

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Only failures and the summary from the test framework; the steps are ours.
  GTEST_FLAG_SET(brief, true);
  return RUN_ALL_TESTS();
}
