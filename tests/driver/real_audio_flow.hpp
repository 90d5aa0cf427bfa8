#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <string>

#include "batch_test.hpp"

namespace kavrin::e2e {

// Conversions of real audio through the real window and our own ffmpeg
// backends, shared by the end-to-end test and the demo driver.

enum class CdMode { DtsCd, Ac3Cd, Cdda };
inline constexpr CdMode kCdModes[] = {CdMode::DtsCd, CdMode::Ac3Cd, CdMode::Cdda};
// The mode button's caption, "DTS-CD"; the tracks' base name, "DTS-Track".
std::string ModeCaption(CdMode mode);
std::string TrackName(CdMode mode);

// The tones of scripts/make_samples.sh, in Hz, in the channel order
// FL FR FC LFE SL SR.
using ToneSet = std::array<double, 6>;
inline constexpr ToneSet kTones80{410, 630, 850, 50, 1070, 1290};
inline constexpr ToneSet kTones81{1510, 1730, 1950, 65, 2170, 2390};
inline constexpr ToneSet kTonesAc3{2610, 2830, 3050, 80, 3270, 3490};
inline constexpr char kVobSample[] = "VTS_01_1.VOB";
inline constexpr char kAc3Sample[] = "movie.ac3";
inline constexpr int kAc3SampleDialNorm = -27;
// The samples of "make_samples.sh --odd": loud.ac3 has the tones of stream
// 0x80 at 1.25 times full scale, drc.ac3 those of movie.ac3 at 1/8 with -6 dB
// compression words, lfe.ac3 these, 1/8 each, the LFE's five at once.
inline constexpr ToneSet kTonesLfeMain{700, 900, 1100, 0, 1300, 40};
inline constexpr double kTonesLfe[] = {20, 30, 50, 80, 120};
inline constexpr double kToneLevelDb = -18.06;  // 1/8 of full scale
// hotlfe.ac3: these at 1/8, and the LFE at 120 Hz and -3 dBFS. VTS_02_1.VOB
// and VTS_02_2.VOB: a title cut inside a frame, its stream 0x80 kTones80.
inline constexpr ToneSet kTonesHotLfe{700, 900, 1100, 0, 1300, 1500};
inline constexpr double kHotLfeHz = 120;
inline constexpr int kCutTitleDialNorm = -24;

// The value of this program's argument --<name>=<value>, a Unix path made a
// Windows one; empty when it is not given.
std::string ProgramOption(const std::string& name);

// Where a flow step stands when it tells its observer.
enum class FlowMoment { StreamsChosen, BatchRunning, Finished };

class RealAudioTest : public BatchTest {
 protected:
  // The backends built beside kavrin.exe, under backends\, with their ffmpeg.
  static std::string TranscoderPath();
  static std::string DtsEncoderPath();
  static std::string FfmpegPath();
  // Kavrin.ini with both backends and these folders; logging into `log`,
  // the azid options Kavrin's default unless given.
  static std::string IniText(const std::string& tempFolder, const std::string& outputFolder, const std::string& log,
                             bool normalize = true, const std::string& azid = std::string());

  void StartWithIni(const std::string& text);
  // Both samples of `folder` through "Input files" > "Add", the ".VOB" with
  // streams 0x80 and 0x81.
  void AddSamples(const std::string& folder);
  // The mode's button, "Go" and the finished box, closed again; `seconds`
  // is the time from "Go" until the box showed.
  void RunBatch(CdMode mode, std::chrono::milliseconds bound, double& seconds);

  // Told at each moment, while the drop-down or the box still shows.
  std::function<void(FlowMoment)> onMoment_;
};

}  // namespace kavrin::e2e
