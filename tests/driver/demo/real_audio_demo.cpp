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
#include <string>
#include <vector>

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

// The pixels of an area of the screen as a 24-bit BMP file.
bool SaveScreenArea(const RECT& area, const std::string& path) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // rows bottom-up, as BMP files hold them
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = bitmap != nullptr && memory != nullptr;
  if (copied) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
  }
  std::string file;
  if (copied) {
    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    BITMAPFILEHEADER head{};
    head.bfType = 0x4D42;  // "BM"
    head.bfOffBits = sizeof head + sizeof info;
    head.bfSize = head.bfOffBits + rowBytes * static_cast<DWORD>(height);
    file.append(reinterpret_cast<const char*>(&head), sizeof head);
    file.append(reinterpret_cast<const char*>(&info), sizeof info);
    file.append(static_cast<const char*>(bits), rowBytes * static_cast<size_t>(height));
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (memory != nullptr) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return copied && WriteFileBytes(path, file);
}

class RealAudioDemo : public RealAudioTest {
 protected:
  // A picture of that area of the screen; a failure is reported and the demo
  // goes on.
  void Shoot(const std::string& name) {
    const std::string folder = ProgramOption("shots");
    if (folder.empty()) return;
    const std::string path = folder + "\\" + ZeroPad(++shots_, 2) + "-" + name + ".bmp";
    Say(SaveScreenArea(ShownArea(kavrin_.Id()), path) ? "  picture: " + path : "  (no picture of " + name + ")");
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
