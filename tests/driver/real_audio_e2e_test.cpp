// Real conversions through the real window with our own ffmpeg backends:
// every track is decoded again and each channel must carry its source tone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "backends/common/ffmpeg.hpp"
#include "core/text.hpp"
#include "integration/test_files.hpp"
#include "real_audio_flow.hpp"

namespace kavrin::e2e {
namespace {

using namespace std::chrono_literals;
using backends::Ffmpeg;

constexpr double kSampleSeconds = 3.0;  // the ctest fixture's samples

struct Decoded {
  std::string codec;  // of the track, as ffmpeg names it
  int rate = 0;
  int channels = 0;
  std::vector<int16_t> samples;  // interleaved

  double Seconds() const { return channels * rate == 0 ? 0.0 : double(samples.size()) / channels / rate; }

  // A Hann-windowed Goertzel filter over all but the first and last half
  // second, where codec delays and fades sit; 1.0 is full scale.
  double Amplitude(int channel, double hz) const {
    const size_t frames = channels > 0 ? samples.size() / channels : 0, from = rate / 2;
    if (frames <= size_t(rate) + 1) return 0.0;
    const size_t to = frames - rate / 2;
    const double pi = std::acos(-1.0), k = 2.0 * std::cos(2.0 * pi * hz / rate), n = double(to - from);
    double s1 = 0.0, s2 = 0.0;
    for (size_t i = from; i < to; ++i) {
      const double hann = 0.5 - 0.5 * std::cos(2.0 * pi * double(i - from) / (n - 1.0));
      const double s = samples[i * channels + channel] / 32768.0 * hann + k * s1 - s2;
      s2 = s1;
      s1 = s;
    }
    return 4.0 * std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - k * s1 * s2)) / n;
  }
};

// The first audio stream ffmpeg reports for its input, e.g.
// "Stream #0:0: Audio: dts (DTS), 44100 Hz, 5.1(side), fltp, 1411 kb/s".
void ReadStreamLine(const std::string& messages, Decoded& track) {
  const size_t audio = messages.find("Audio: ", messages.find("Input #0"));
  if (audio == std::string::npos) return;
  std::istringstream fields(messages.substr(audio + 7, messages.find('\n', audio) - audio - 7));
  std::string codec, rate, layout;
  std::getline(fields, codec, ',');
  std::getline(fields, rate, ',');
  std::getline(fields, layout, ',');
  track.codec = codec.substr(0, codec.find(' '));
  track.rate = std::atoi(rate.c_str());
  layout = Trim(layout);
  track.channels = layout == "stereo" ? 2 : layout.rfind("5.1", 0) == 0 ? 6 : std::atoi(layout.c_str());
}

// What each mode's tracks must be, as ffmpeg reads them.
struct ModeCase {
  CdMode mode;
  const char* codec;
  int channels;
};
void PrintTo(const ModeCase& mode, std::ostream* out) { *out << ModeCaption(mode.mode); }
constexpr ModeCase kModeCases[] = {
    {CdMode::DtsCd, "dts", 6}, {CdMode::Ac3Cd, "ac3", 6}, {CdMode::Cdda, "pcm_s16le", 2}};

// The names in a folder, sorted.
std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const WIN32_FIND_DATAA& found : win32::FolderEntries(folder)) names.push_back(found.cFileName);
  std::sort(names.begin(), names.end());
  return names;
}

class RealAudio : public RealAudioTest, public ::testing::WithParamInterface<ModeCase> {
 protected:
  // The transcoder's reports, with its ffmpeg commands, explain a failure.
  void TearDown() override {
    if (HasFailure()) std::printf("Kavrin's log:\n%s\n", ReadFileBytes(Log()).c_str());
    RealAudioTest::TearDown();
  }
  std::string Log() const { return folder_.File("kavrin.log"); }

  // Decoded to 16-bit PCM by the backends' ffmpeg.
  Decoded Decode(const std::string& track) {
    Decoded decoded;
    const std::optional<Ffmpeg> ffmpeg = Ffmpeg::At(FfmpegPath());
    if (!ffmpeg) {
      ADD_FAILURE() << "no ffmpeg at " << FfmpegPath();
      return decoded;
    }
    const std::string raw = folder_.File("decoded.raw");
    const auto result = ffmpeg->Run({L"-nostdin", L"-hide_banner", L"-y", L"-i", ffmpeg->FileArgument(track), L"-f",
                                     L"s16le", L"-c:a", L"pcm_s16le", ffmpeg->FileArgument(raw)});
    EXPECT_TRUE(result.Succeeded()) << track << ": " << result.Reason();
    ReadStreamLine(result.Messages, decoded);
    const std::string bytes = ReadFileBytes(raw);
    decoded.samples.resize(bytes.size() / 2);
    std::memcpy(decoded.samples.data(), bytes.data(), decoded.samples.size() * 2);
    DeleteFileA(raw.c_str());
    return decoded;
  }
};

// The channel carries `hz`, and each tone of `others` at least 40 dB lower
// (the codecs leave less than -60 dB).
::testing::AssertionResult CarriesTone(const Decoded& track, int channel, double hz,
                                       const std::vector<double>& others) {
  const double level = track.Amplitude(channel, hz);
  bool clean = level > 0.01;
  std::ostringstream report;
  report << "channel " << channel << ": " << hz << " Hz at " << level;
  for (double other : others) {
    const double leak = track.Amplitude(channel, other);
    if (leak > level / 100) clean = false, report << ", " << other << " Hz at " << leak;
  }
  return clean ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << report.str();
}

TEST_P(RealAudio, EveryTrackCarriesTheToneOfEachSourceChannel) {
  const ModeCase expected = GetParam();
  const std::string samples = ProgramOption("samples");
  ASSERT_FALSE(samples.empty()) << "no --samples=<folder> given";
  // Blanks in every folder the programs are handed.
  const std::string input = folder_.File("DVD Film"), temp = folder_.File("Temp Folder"), out = folder_.File("CD Out");
  for (const std::string& made : {input, temp, out}) ASSERT_TRUE(CreateDirectoryA(made.c_str(), nullptr)) << made;
  for (const char* name : {kVobSample, kAc3Sample}) {
    ASSERT_TRUE(CopyFileA((samples + "\\" + name).c_str(), (input + "\\" + name).c_str(), FALSE)) << name;
  }
  ASSERT_NO_FATAL_FAILURE(StartWithIni(IniText(temp, out, Log())));
  ASSERT_NO_FATAL_FAILURE(AddSamples(input));
  double seconds = 0;
  ASSERT_NO_FATAL_FAILURE(RunBatch(expected.mode, 180s, seconds));

  // Jobs in list order: stream 0x80, stream 0x81, the ".ac3"; nothing else
  // is left in the output folder, nothing at all in the temporary one.
  const ToneSet sets[] = {kTones80, kTones81, kTonesAc3};
  std::vector<std::string> tracks;
  for (int job = 1; job <= 3; ++job) tracks.push_back(TrackName(expected.mode) + "-" + ZeroPad(job, 3) + ".wav");
  EXPECT_EQ(FolderNames(out), tracks);
  EXPECT_EQ(FolderNames(temp), std::vector<std::string>());
  const bool stereo = expected.channels == 2;
  for (int job = 0; job < 3; ++job) {
    SCOPED_TRACE(tracks[job]);
    const Decoded decoded = Decode(out + "\\" + tracks[job]);
    EXPECT_EQ(decoded.codec, expected.codec);
    EXPECT_EQ(decoded.rate, 44100);
    ASSERT_EQ(decoded.channels, expected.channels);
    EXPECT_NEAR(decoded.Seconds(), kSampleSeconds, 0.25);
    // Each channel its own tone, and none of another channel or stream; the
    // stereo downmix carries the front tones, left and right kept apart.
    for (int channel = 0; channel < decoded.channels; ++channel) {
      std::vector<double> others;
      for (const ToneSet& set : sets) {
        for (int c = 0; c < 6; ++c) {
          const bool own = &set == &sets[job];
          if (!(own && c == channel) && !(own && stereo && c > 1)) others.push_back(set[c]);
        }
      }
      EXPECT_TRUE(CarriesTone(decoded, channel, sets[job][channel], others));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, RealAudio, ::testing::ValuesIn(kModeCases), [](const auto& info) {
  std::string name = ModeCaption(info.param.mode);
  name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
  return name;
});

}  // namespace
}  // namespace kavrin::e2e
