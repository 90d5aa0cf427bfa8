// Real conversions through the real window with our own ffmpeg backends:
// every track is decoded again by their ffmpeg.exe and measured channel by
// channel against its source: tones, levels, crosstalk, length, clipping and
// header.
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
#include "backends/transcoder/ac3_header.hpp"
#include "core/text.hpp"
#include "inputlist/vob_file.hpp"
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

  size_t Frames() const { return channels > 0 ? samples.size() / channels : 0; }
  double Seconds() const { return rate == 0 ? 0.0 : double(Frames()) / rate; }

  // A Hann-windowed Goertzel filter over all but the first and last half
  // second, where codec delays and fades sit; 1.0 is full scale.
  double Amplitude(int channel, double hz) const {
    const size_t frames = Frames(), from = rate / 2;
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
  double LevelDb(int channel, double hz) const { return 20.0 * std::log10(std::max(Amplitude(channel, hz), 1e-9)); }

  // What is left of a channel from `from` to `to` once the tone is taken
  // out, against the tone, in dB: its THD+N.
  double NoiseDb(int channel, double hz, size_t from, size_t to) const {
    const double w = 2.0 * std::acos(-1.0) * hz / rate;
    double ss = 0, cc = 0, sc = 0, sx = 0, cx = 0, xx = 0;
    for (size_t i = from; i < to && i < Frames(); ++i) {
      const double s = std::sin(w * double(i)), c = std::cos(w * double(i)),
                   x = samples[i * channels + channel] / 32768.0;
      ss += s * s, cc += c * c, sc += s * c, sx += s * x, cx += c * x, xx += x * x;
    }
    const double det = ss * cc - sc * sc, tone = ((sx * cc - cx * sc) * sx + (cx * ss - sx * sc) * cx) / det;
    return 10.0 * std::log10(std::max(xx - tone, 1e-30) / std::max(tone, 1e-30));
  }
  // Just after the last sample above 1 % of the channel's peak.
  size_t SoundEnd(int channel) const {
    int peak = 0;
    for (size_t i = 0; i < Frames(); ++i) peak = std::max(peak, std::abs(int(samples[i * channels + channel])));
    size_t end = Frames();
    while (end > 0 && std::abs(int(samples[(end - 1) * channels + channel])) * 100 <= peak) --end;
    return end;
  }

  int Peak() const {
    return samples.empty() ? 0 : std::abs(int(*std::max_element(samples.begin(), samples.end(), Less)));
  }
  double ClippedShare() const {
    return double(std::count_if(samples.begin(), samples.end(), [](int16_t s) { return std::abs(int(s)) >= 32767; })) /
           double(std::max<size_t>(samples.size(), 1));
  }
  static bool Less(int16_t a, int16_t b) { return std::abs(int(a)) < std::abs(int(b)); }
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
  track.channels = layout == "stereo"            ? 2
                   : layout == "mono"            ? 1
                   : layout.rfind("5.1", 0) == 0 ? 6
                                                 : std::atoi(layout.c_str());
}

// The plain 44-byte header: RIFF, a 16-byte PCM fmt chunk, then the data,
// the sizes those of the file.
::testing::AssertionResult PlainWavHeader(const std::string& file, int channels) {
  const std::string bytes = ReadFileBytes(file);
  auto word = [&](size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + i]);
    return value;
  };
  if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 8, "WAVEfmt ") != 0 ||
      word(16, 4) != 16 || word(20, 2) != 1 || word(22, 2) != uint32_t(channels) || word(24, 4) != 44100 ||
      word(34, 2) != 16 || bytes.compare(36, 4, "data") != 0 || word(4, 4) != bytes.size() - 8 ||
      word(40, 4) != bytes.size() - 44)
    return ::testing::AssertionFailure() << file << " has no plain WAV header";
  return ::testing::AssertionSuccess();
}

// The dialogue level of the first AC3 frame in an AC3-CD track's first IEC
// 61937 burst, whose 16-bit words are little-endian.
std::optional<int> TrackDialNorm(const std::string& file) {
  const std::string bytes = ReadFileBytes(file);
  const size_t burst = bytes.find("\x72\xF8\x1F\x4E", 44);
  if (burst == std::string::npos || bytes.size() < burst + 16) return std::nullopt;
  std::vector<uint8_t> frame;
  for (size_t i = burst + 8; i < burst + 16; i += 2)
    frame.insert(frame.end(), {uint8_t(bytes[i + 1]), uint8_t(bytes[i])});
  return transcoder::Ac3DialNorm(frame);
}

// The gain in dB from a source channel (FL FR FC LFE SL SR) into a track's
// channel: a 5.1 track has each as it is; the stereo downmix the centre and
// the surrounds at -3 dB and no LFE. kNot: not there.
constexpr double kNot = -999;
constexpr double kDownmixDb[6][2] = {{0, kNot}, {kNot, 0}, {-3.01, -3.01}, {kNot, kNot}, {-3.01, kNot}, {kNot, -3.01}};
double GainDb(int source, int channel, bool stereo) {
  return stereo ? kDownmixDb[source][channel] : source == channel ? 0 : kNot;
}

// One source of a batch: its file, its stream, its tones, and what is also
// checked of it.
struct Source {
  std::string file;
  std::optional<int> stream;
  ToneSet tones;
  std::vector<double> lfe;  // more LFE tones, sharing the channel
  // What the track may lack of its source: when the layout changes, ffmpeg
  // starts its filters afresh and drops what the resampler held, 1.5 ms.
  size_t slack = 2;
};

// What each mode's tracks must be, as ffmpeg reads them.
struct ModeCase {
  CdMode mode;
  const char* codec;
  int channels;
  size_t delay;  // samples the codec puts before the source, as ffmpeg decodes it
};
void PrintTo(const ModeCase& mode, std::ostream* out) { *out << ModeCaption(mode.mode); }
constexpr ModeCase kModeCases[] = {
    {CdMode::DtsCd, "dts", 6, 512}, {CdMode::Ac3Cd, "ac3", 6, 256}, {CdMode::Cdda, "pcm_s16le", 2, 0}};

// The names in a folder, sorted.
std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const WIN32_FIND_DATAA& found : win32::FolderEntries(folder)) names.push_back(found.cFileName);
  std::sort(names.begin(), names.end());
  return names;
}

class RealAudioChecks : public RealAudioTest {
 protected:
  void SetUp() override {
    RealAudioTest::SetUp();
    samples_ = ProgramOption("samples");
    ASSERT_FALSE(samples_.empty()) << "no --samples=<folder> given";
    // Blanks in every folder the programs are handed.
    for (const std::string& made : {Folder("DVD Film"), Folder("Temp Folder"), Folder("CD Out")})
      ASSERT_TRUE(CreateDirectoryA(made.c_str(), nullptr)) << made;
  }
  // The transcoder's reports, with its ffmpeg commands, explain a failure.
  void TearDown() override {
    if (HasFailure()) std::printf("Kavrin's log:\n%s\n", ReadFileBytes(Log()).c_str());
    RealAudioTest::TearDown();
  }
  std::string Folder(const std::string& name) const { return folder_.File(name); }
  std::string Log() const { return folder_.File("kavrin.log"); }

  // The samples copied into the input folder, a batch of `mode` run on them
  // with these settings, and the names of the tracks it must make.
  std::vector<std::string> RunOn(const std::vector<std::string>& names, CdMode mode, bool normalize,
                                 const std::string& azid, bool vobStreams) {
    std::vector<std::string> inputs;
    for (const std::string& name : names) {
      inputs.push_back(Folder("DVD Film") + "\\" + name);
      EXPECT_TRUE(CopyFileA((samples_ + "\\" + name).c_str(), inputs.back().c_str(), FALSE)) << name;
    }
    StartWithIni(IniText(Folder("Temp Folder"), Folder("CD Out"), Log(), normalize, azid));
    if (vobStreams) {
      AddSamples(Folder("DVD Film"));
    } else {
      AddInputFiles(inputs);
    }
    double seconds = 0;
    RunBatch(mode, 180s, seconds);
    std::vector<std::string> tracks;
    for (size_t job = 1; job <= names.size() + (vobStreams ? 1 : 0); ++job)
      tracks.push_back(TrackName(mode) + "-" + ZeroPad(long(job), 3) + ".wav");
    // Nothing else is left in the output folder but the disc's layout,
    // nothing at all in the temporary one.
    std::vector<std::string> listing = tracks;
    listing.push_back(TrackName(mode) + ".cue");
    EXPECT_EQ(FolderNames(Folder("CD Out")), listing);
    EXPECT_EQ(FolderNames(Folder("Temp Folder")), std::vector<std::string>());
    return tracks;
  }

  // Decoded to 16-bit PCM by the backends' ffmpeg; `options` come after the
  // input.
  Decoded Decode(const std::string& file, std::vector<std::wstring> options = {}) {
    Decoded decoded;
    const std::optional<Ffmpeg> ffmpeg = Ffmpeg::At(FfmpegPath());
    if (!ffmpeg) {
      ADD_FAILURE() << "no ffmpeg at " << FfmpegPath();
      return decoded;
    }
    const std::string raw = folder_.File("decoded.raw");
    std::vector<std::wstring> words = {L"-nostdin", L"-hide_banner", L"-y", L"-i", Ffmpeg::FileArgument(file)};
    options.insert(options.end(), {L"-f", L"s16le", L"-c:a", L"pcm_s16le", Ffmpeg::FileArgument(raw)});
    words.insert(words.end(), options.begin(), options.end());
    const auto result = ffmpeg->Run(words);
    EXPECT_TRUE(result.Succeeded()) << file << ": " << result.Reason();
    ReadStreamLine(result.Messages, decoded);
    const std::string bytes = ReadFileBytes(raw);
    decoded.samples.resize(bytes.size() / 2);
    std::memcpy(decoded.samples.data(), bytes.data(), decoded.samples.size() * 2);
    DeleteFileA(raw.c_str());
    return decoded;
  }

  // The source's length at 44.1 kHz, as ffmpeg decodes it.
  size_t SourceFrames(const Source& source) {
    const std::wstring map = source.stream ? L"0:i:" + Ffmpeg::Text(StreamName(*source.stream)) : L"0:a:0";
    return Decode(samples_ + "\\" + source.file, {L"-map", map, L"-ac", L"1", L"-ar", L"44100"}).samples.size();
  }

  // A track of the mode, with its header, codec and length; the whole
  // source is in it, after the codec's delay.
  Decoded Track(const std::string& name, const ModeCase& mode, const Source& source) {
    const std::string file = Folder("CD Out") + "\\" + name;
    EXPECT_TRUE(PlainWavHeader(file, 2));
    Decoded decoded = Decode(file);
    EXPECT_EQ(decoded.codec, mode.codec);
    EXPECT_EQ(decoded.rate, 44100);
    EXPECT_EQ(decoded.channels, mode.channels);
    EXPECT_NEAR(decoded.Seconds(), kSampleSeconds, 0.25);
    const size_t frames = SourceFrames(source), made = decoded.Frames() - std::min(decoded.Frames(), mode.delay);
    EXPECT_TRUE(made + source.slack >= frames && made <= frames + 2048) << made << " frames for a source of " << frames;
    return decoded;
  }

  // Each channel carries its tones at their level relative to the other
  // channels (or, given, at this level), within 1 dB; the LFE within 3 dB
  // above 80 Hz. No tone of `others` (the source's own first) that does not
  // belong in a channel is within 40 dB of the channel's own.
  void ExpectTones(const Decoded& track, const Source& source, const std::vector<ToneSet>& others,
                   std::optional<double> levelDb = std::nullopt) {
    const bool stereo = track.channels == 2;
    std::vector<std::pair<int, double>> own;  // source channel, Hz
    for (int c = 0; c < 6; ++c)
      if (source.tones[c] > 0) own.push_back({c, source.tones[c]});
    for (double hz : source.lfe) own.push_back({3, hz});
    // Every source channel has the same level: theirs is the reference.
    double sum = 0;
    int count = 0;
    for (const auto& [c, hz] : own) {
      for (int ch = 0; ch < track.channels; ++ch) {
        if (c != 3 && GainDb(c, ch, stereo) != kNot) sum += track.LevelDb(ch, hz) - GainDb(c, ch, stereo), ++count;
      }
    }
    const double reference = levelDb.value_or(sum / std::max(count, 1));
    for (const auto& [c, hz] : own) {
      for (int ch = 0; ch < track.channels; ++ch) {
        if (GainDb(c, ch, stereo) == kNot) continue;
        const double level = track.LevelDb(ch, hz) - GainDb(c, ch, stereo);
        EXPECT_NEAR(level, reference, c == 3 && hz > 80 ? 3.0 : 1.0) << "channel " << ch << ", " << hz << " Hz";
        for (const ToneSet& set : others) {
          for (int o = 0; o < 6; ++o) {
            if (set[o] == 0 || (&set == &others.front() && GainDb(o, ch, stereo) != kNot)) continue;
            EXPECT_LT(track.LevelDb(ch, set[o]), level - 40) << "channel " << ch << ", " << set[o] << " Hz";
          }
        }
      }
    }
  }

  std::string samples_;
};

class RealAudio : public RealAudioChecks, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(RealAudio, EveryTrackCarriesEachSourceChannelAtItsLevelWholeAndApart) {
  const ModeCase mode = GetParam();
  // Jobs in list order: stream 0x80, stream 0x81, the ".ac3"; normalised,
  // which leaves room for the lift our DTS encoder gives the LFE.
  const std::vector<std::string> tracks = RunOn({kVobSample, kAc3Sample}, mode.mode, true, "", true);
  const std::vector<Source> sources = {
      {kVobSample, 0, kTones80, {}}, {kVobSample, 1, kTones81, {}}, {kAc3Sample, std::nullopt, kTonesAc3, {}}};
  for (size_t job = 0; job < tracks.size() && job < sources.size(); ++job) {
    SCOPED_TRACE(tracks[job]);
    const Decoded decoded = Track(tracks[job], mode, sources[job]);
    EXPECT_LT(decoded.ClippedShare(), 0.001);
    std::vector<ToneSet> others = {sources[job].tones};
    for (const Source& other : sources)
      if (&other != &sources[job]) others.push_back(other.tones);
    ExpectTones(decoded, sources[job], others);
    // The AC3-CD keeps its source's dialogue level.
    if (mode.mode == CdMode::Ac3Cd) {
      EXPECT_EQ(TrackDialNorm(Folder("CD Out") + "\\" + tracks[job]), job == 2 ? kAc3SampleDialNorm : -31);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, RealAudio, ::testing::ValuesIn(kModeCases), [](const auto& info) {
  std::string name = ModeCaption(info.param.mode);
  name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
  return name;
});

// Sources that decode above full scale, are silent, or change their layout
// half way, normalised into CDDA tracks: none clips, silence stays silence.
TEST_F(RealAudioChecks, OddSourcesNormaliseWithoutClipping) {
  const std::vector<std::string> tracks =
      RunOn({"loud.ac3", "silent.ac3", "layout.ac3"}, CdMode::Cdda, true, "", false);
  ASSERT_EQ(tracks.size(), 3u);
  const ModeCase& cdda = kModeCases[2];
  for (size_t job : {0, 2}) {
    SCOPED_TRACE(tracks[job]);
    const Decoded decoded =
        Track(tracks[job], cdda, {job == 0 ? "loud.ac3" : "layout.ac3", {}, kTones80, {}, job == 0 ? 2u : 128u});
    EXPECT_LT(decoded.ClippedShare(), 0.001);
    EXPECT_GT(decoded.Peak(), 30000) << "normalised to full scale";
  }
  const Decoded silent = Track(tracks[1], cdda, {"silent.ac3", {}, kTones80, {}});
  EXPECT_EQ(silent.Peak(), 0);
}

// A title cut in two inside an AC3 frame, into AC3-CD tracks: the second
// part keeps the dialogue level though it starts inside a frame, and the
// first ends with its last whole frame: no concealed frame, no buzz.
TEST_F(RealAudioChecks, ATitleCutInsideAFrameKeepsItsDialogueLevelAndEndsCleanly) {
  const std::vector<std::string> tracks = RunOn({"VTS_02_1.VOB", "VTS_02_2.VOB"}, CdMode::Ac3Cd, true, "", false);
  ASSERT_EQ(tracks.size(), 2u);
  for (size_t part = 0; part < 2; ++part) {
    SCOPED_TRACE(tracks[part]);
    const Source source{part == 0 ? "VTS_02_1.VOB" : "VTS_02_2.VOB", 0, kTones80, {}};
    const Decoded decoded = Track(tracks[part], kModeCases[1], source);
    ExpectTones(decoded, source, {kTones80});
    EXPECT_EQ(TrackDialNorm(Folder("CD Out") + "\\" + tracks[part]), kCutTitleDialNorm);
    const size_t end = decoded.SoundEnd(0);
    EXPECT_LT(decoded.NoiseDb(0, kTones80[0], end - 1300, end - 100), -40.0) << "the last 30 ms";
  }
}

// Without compression (azid "-c none") and without normalising, a source
// with compression words keeps its level in a DTS-CD track; the LFE keeps
// its level from 20 to 120 Hz, and bass in the right surround stays out of it.
// An LFE that the DTS encoder would lift above full scale comes down alone,
// no further than it must, and decodes without clipping.
TEST_F(RealAudioChecks, UncompressedLevelsAndTheLfeInDtsCdTracks) {
  const std::vector<std::string> tracks =
      RunOn({"drc.ac3", "lfe.ac3", "hotlfe.ac3"}, CdMode::DtsCd, false, "-c none", false);
  ASSERT_EQ(tracks.size(), 3u);
  const ModeCase& dts = kModeCases[0];
  const Source drc{"drc.ac3", {}, kTonesAc3, {}};
  const Source lfe{"lfe.ac3", {}, kTonesLfeMain, {kTonesLfe, kTonesLfe + 5}};
  const Decoded compressed = Track(tracks[0], dts, drc);
  ExpectTones(compressed, drc, {kTonesAc3}, kToneLevelDb);
  const Decoded bass = Track(tracks[1], dts, lfe);
  ExpectTones(bass, lfe, {kTonesLfeMain});
  EXPECT_LT(bass.LevelDb(3, kTonesLfeMain[5]), bass.LevelDb(5, kTonesLfeMain[5]) - 60) << "the right surround's bass";
  for (double hz : kTonesLfe) std::printf("LFE %5.0f Hz: %+.2f dB\n", hz, bass.LevelDb(3, hz) - kToneLevelDb);
  const Source hot{"hotlfe.ac3", {}, kTonesHotLfe, {}};
  const Decoded lifted = Track(tracks[2], dts, hot);
  ExpectTones(lifted, hot, {kTonesHotLfe}, kToneLevelDb);
  const double level = lifted.LevelDb(3, kHotLfeHz);
  const double noise = lifted.NoiseDb(3, kHotLfeHz, 22050, lifted.Frames() - 22050);
  std::printf("hot LFE %.0f Hz: %+.2f dBFS, THD+N %.1f dB\n", kHotLfeHz, level, noise);
  EXPECT_LT(noise, -40.0) << "the LFE clips";
  // Its lift at 120 Hz is 6.3 dB, so it fits at about -6.8 dBFS decoded.
  EXPECT_GT(level, -8.0);
}

}  // namespace
}  // namespace kavrin::e2e
