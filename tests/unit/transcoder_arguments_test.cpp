#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "backends/common/ffmpeg_messages.hpp"
#include "backends/common/wav_header.hpp"
#include "backends/transcoder/ac3_header.hpp"
#include "backends/transcoder/arguments.hpp"
#include "backends/transcoder/float_pcm.hpp"
#include "backends/transcoder/levels.hpp"
#include "batch/besweet_command_line.hpp"
#include "batch/track_names.hpp"

namespace kavrin::transcoder {
namespace {

std::string Summary(const Arguments& a) {
  std::string text = "in=" + a.InputPath + " s=" + (a.Stream ? std::to_string(*a.Stream) : "-") +
                     " out=" + a.OutputPath + " m=" + std::to_string(static_cast<int>(a.Channels)) +
                     " log=" + a.LogFile.value_or("-") + " n=" + std::to_string(a.Normalize) +
                     " r=" + (a.Rate ? std::to_string(*a.Rate) : "-") + " d=" + std::to_string(a.Dither) +
                     " g=" + (a.GainDb ? std::to_string(*a.GainDb) : "-") +
                     " c=" + std::to_string(static_cast<int>(a.Compress)) + " ign=";
  for (const std::string& option : a.Ignored) text += option + ",";
  return text;
}

// Kavrin's own builder makes the text; the parser must give back the job.
TEST(TranscoderArgumentsTest, RoundTripsWhatKavrinBuilds) {
  struct Row {
    BatchMode mode;
    std::optional<int> stream;
    const char* log;  // logging on when not empty
    bool normalize;
    const char *azid, *ota, *ssrc, *ssrcFixed, *boost;
    std::string expected;
  };
  const std::string cdda = "in=D:\\a.vob s=3 out=D:\\CD\\CDDA-Track-001.wav m=3 log=- ";
  const std::vector<Row> rows = {
      {BatchMode::DtsCd, 1, " C:\\My Logs\\enc.log ", true, "-c normal -L -3db", "", "", "--rate 44100", "",
       "in=D:\\a.vob s=1 out=C:\\Temp\\mono m=1 log=C:\\My Logs\\enc.log n=1 r=44100 d=0 g=- c=2 ign=-L,-3db,"},
      {BatchMode::Ac3Cd, std::nullopt, "", false, "", "-x 2", "", "--rate 44100", "",
       "in=D:\\a.vob s=- out=D:\\CD\\DOLBYDIGITAL-Track-001.wav m=2 log=- n=0 r=44100 d=0 g=- c=0 ign=-x,2,"},
      {BatchMode::Cdda, 3, "", true, "", "", "--dither", "--rate 48000", "--gain 3",
       cdda + "n=1 r=48000 d=1 g=3.000000 c=0 ign="},
      {BatchMode::Cdda, 3, "", false, "-g  max", "", "", "--rate 44100", "", cdda + "n=1 r=44100 d=0 g=- c=0 ign="},
      // An unknown compression is ignored; the last known one counts.
      {BatchMode::Cdda, 3, "", false, "-c loud -c heavy", "", "", "--rate 44100", "",
       cdda + "n=0 r=44100 d=0 g=- c=3 ign=-c,loud,"},
      // The fixed rate comes last and wins.
      {BatchMode::Cdda, 3, "", false, "", "", "--rate 48000", "--rate 44100", "",
       cdda + "n=0 r=44100 d=0 g=- c=0 ign="},
      {BatchMode::None, 7, "log", false, "", "", "", "--rate 44100", "",
       "in= s=7 out= m=0 log=log n=0 r=44100 d=0 g=- c=0 ign="},
  };
  for (const Row& r : rows) {
    const JobSettings f{"", "", "", "", *r.log != 0, r.log, r.normalize, r.azid, r.ota, r.ssrc, r.ssrcFixed, r.boost};
    const std::string text =
        BeSweetArguments({r.mode, TrackName(r.mode), 1, 0, "D:\\a.vob", r.stream, "C:\\Temp", "D:\\CD", f});
    const ParseResult result = ParseArguments(text);
    ASSERT_TRUE(result.Parsed) << text << ": " << result.Error;
    EXPECT_EQ(Summary(*result.Parsed), r.expected) << text;
  }
}

TEST(TranscoderArgumentsTest, RejectsMalformedLines) {
  const std::string core = "-core( -input \"a\" -output \"b\" -2ch ) ";
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"-input \"a\" -output \"b\" -2ch ) -ssrc( )", "expected \"-core(\""},
      {"-core( -input \"a -output \"b\" -2ch ) -ssrc( )", "expected a blank after the quoted text"},
      {"-core( -input \"a\" -output \"b -2ch ) -ssrc( )", "unclosed quote"},
      {"-core( -input a -output \"b\" -2ch ) -ssrc( )", "-input: expected a quoted path"},
      {"-core( -input \"\" -output \"b\" -2ch ) -ssrc( )", "-input: the path is empty"},
      {"-core( -input \"a\" -output \"b\" -4ch ) -ssrc( )", "expected -6ch, -ddwav or -2ch"},
      {"-substream 0x88 ) -ssrc( )", "-substream: expected 0x80 to 0x87"},
      {core + "-ssrc( --rate fast )", "--rate expects a rate in Hz, found \"fast\""},
      {core + "-ssrc( --rate 0 )", "--rate expects"},
      {core + "-ssrc( ) -boost( --gain 3dB )", "--gain expects a number of dB"},
      {core + "-ssrc( --rate 44100", "-ssrc(: the group is not closed"},
      {core + "-azid( -g max -ssrc( )", "-azid(: the group is not closed before \"-ssrc(\""},
      {core + "-ota( ) -azid( ) -ssrc( )", "expected the -ssrc( group"},
      {core, "expected the -ssrc( group after the -core( group, found the end"},
      {core + "-ssrc( ) )", "unexpected \")\" after the last group"},
      {"-logfilea l\"m ) -ssrc( )", "stray quote"},
  };
  for (const auto& [text, fragment] : rows) {
    const ParseResult result = ParseArguments(text);
    EXPECT_FALSE(result.Parsed) << text;
    EXPECT_NE(result.Error.find(fragment), std::string::npos) << text << ": " << result.Error;
  }
}

// What the transcoder takes from ffmpeg's messages and from an AC3 frame.
TEST(TranscoderArgumentsTest, ReadsFfmpegsReasonsPeaksAndDialogueLevels) {
  EXPECT_EQ(backends::FfmpegErrors("[info] Stream mapping:\r\n"
                                   "[null @ 1] [error] Application provided invalid, non monotonically increasing "
                                   "dts to muxer in stream 0: 543744 >= 543744\r\n"
                                   "[wav @ 0000000000a1b2c0] [error] Error writing trailer: No space left on device\r\n"
                                   "[error] Error writing trailer: No space left on device\r\n"
                                   "[info] Conversion failed!\r\n"),
            "Error writing trailer: No space left on device");
  // One peak per part of a stream; "-inf" is a silent part.
  const std::vector<std::pair<std::string, std::optional<double>>> peaks = {
      {"Peak level dB: -inf\n", std::nullopt},
      {"[a @ 1] [info] Peak level dB: 1.800000\n[b @ 2] [info] Peak level dB: -20.000000\n", 1.8},
      {"Peak level dB: -inf\nPeak level dB: -3.5\n", -3.5},
  };
  for (const auto& [messages, loudest] : peaks) EXPECT_EQ(backends::ReadPeakLevels(messages).Loudest, loudest);
  EXPECT_EQ(backends::ReadPeakLevels("no peak").Count, 0);
  EXPECT_EQ(backends::ReadPeakLevels("[astats@all @ 1] Peak level dB: -2\n[astats@lfe @ 2] Peak level dB: 1\n", "all")
                .Loudest,
            -2.0);
  // Why an input cannot be converted, from the streams ffmpeg listed.
  const std::string vob =
      "[info] Input #0, mpeg, from 'a.vob':\n[info]   Stream #0:0[0x1e0]: Video: mpeg2video\n"
      "[info]   Stream #0:1[0x80]: Audio: ac3, 48000 Hz\n[info]   Stream #0:2[0x81]: Audio: ac3\n"
      "[info]   Stream #0:3[0x88]: Audio: dts (DTS), 48000 Hz\n[info]   Stream #0:4[0xa0]: Audio: "
      "pcm_dvd, 0 channels\n";
  const std::string none =
      "[fatal] Stream specifier ':i:0x82' in filtergraph description [0:i:0x82] matches no streams.";
  const std::vector<std::tuple<std::string, std::optional<std::string>, std::string, std::string>> inputs = {
      {vob + none, "0x82", "",
       "the file has no stream 0x82; it holds the AC3 streams 0x80 and 0x81, and DTS 0x88 and LPCM 0xa0, which the "
       "transcoder does not take"},
      {"Input #0, mpeg:\n  Stream #0:0[0x1e0]: Video: mpeg2video\n" + none, "0x82", "",
       "the file has no stream 0x82 and no audio stream at all"},
      {"Input #0, mpegvideo:\n  Stream #0:0: Video: mpeg2video\n[fatal] Stream specifier ':a:0' matches no streams.",
       std::nullopt, "", "the file holds no audio stream"},
      {vob + "[fatal] Decoder (codec eac3) not found for input stream #0:1", "0x80", "",
       "stream 0x80 is E-AC3 (Dolby Digital Plus), not AC3"},
      {"[error] a.ac3: Invalid data found when processing input", std::nullopt, "\x0Bw\x01\x02\x03\x80",
       "the file is E-AC3 (Dolby Digital Plus), not AC3"},
      {"[error] a.ac3: Invalid data found when processing input", std::nullopt, "ID3",
       "the file is MPEG audio, not AC3"},
      {"[error] a.ac3: Invalid data found when processing input", std::nullopt, "text",
       "the file is neither AC3 nor a DVD video file"},
      {vob + "[error] Error writing trailer: No space left on device", "0x80", "", ""},
  };
  for (const auto& [messages, substream, head, reason] : inputs)
    EXPECT_EQ(backends::InputProblem(messages, substream, head), reason) << messages;
  // 3/2 with LFE at -27 dB; 2/0 at -31; 1/0 at -1; E-AC3 and no sync word.
  const std::vector<std::pair<std::vector<std::uint8_t>, std::optional<int>>> frames = {
      {{0x0B, 0x77, 0, 0, 0x1E, 0x40, 0xEB, 0xD8}, -27},
      {{0x0B, 0x77, 0, 0, 0x1E, 0x40, 0x43, 0xE0}, -31},
      {{0x0B, 0x77, 0, 0, 0x1E, 0x40, 0x20, 0x80}, -1},
      {{0x0B, 0x77, 0, 0, 0x1E, 0x80, 0xEB, 0xD8}, std::nullopt},
      {{0x77, 0x0B, 0, 0, 0x1E, 0x40, 0xEB, 0xD8}, std::nullopt}};
  for (const auto& [frame, dialnorm] : frames) EXPECT_EQ(Ac3DialNorm(frame), dialnorm);
}

// A 32 kbit/s mono AC3 frame at 48 kHz, its dialogue level -24 dB.
const std::vector<std::uint8_t> kFrame = {
    0x0B, 0x77, 0x79, 0x1D, 0x00, 0x40, 0x2C, 0x04, 0x29, 0x03, 0xF7, 0x00, 0x34, 0x4F, 0x1F, 0xCB, 0x97, 0x5C, 0xBE,
    0x44, 0xF9, 0xF3, 0xF7, 0xCF, 0xA0, 0x88, 0xF2, 0xF9, 0xF3, 0xEA, 0xEF, 0x0C, 0xBF, 0xA9, 0x10, 0x6D, 0x1F, 0xF0,
    0x3E, 0x8A, 0x57, 0x6A, 0x29, 0x8E, 0x7F, 0x78, 0xEF, 0x8A, 0x14, 0x01, 0xBB, 0x60, 0x3E, 0xFD, 0x26, 0x49, 0xD5,
    0xD0, 0x1D, 0x12, 0xB3, 0xE2, 0x6B, 0x10, 0x06, 0xD1, 0x01, 0x00, 0xA2, 0xE1, 0x6A, 0x08, 0x27, 0xA4, 0x1D, 0xD1,
    0xBE, 0x58, 0x40, 0x1B, 0x47, 0xFC, 0x0F, 0xA2, 0x95, 0xDA, 0x8A, 0x63, 0x9F, 0xDE, 0x3B, 0xE2, 0x85, 0x00, 0x6E,
    0xD8, 0x0F, 0xBF, 0x49, 0x92, 0x75, 0x74, 0x07, 0x44, 0xAC, 0xF8, 0x9A, 0xC4, 0x01, 0xB4, 0x40, 0x40, 0x28, 0xB8,
    0x5A, 0x82, 0x09, 0xE9, 0x07, 0x74, 0x6F, 0x96, 0x00, 0x00, 0x00, 0x00, 0x25, 0x67};

// Streams made of that frame: "F" whole, "h" its last 50 bytes (a part that
// starts inside a frame), "t" its first 60 (one that ends inside one), "d"
// with its dialogue level changed (CRC1 fails), "x" one byte changed near its
// end (CRC2 fails), "j" 40 bytes that are no frame.
std::vector<std::uint8_t> Stream(const std::string& recipe) {
  std::vector<std::uint8_t> bytes;
  for (char piece : recipe) {
    std::vector<std::uint8_t> frame = kFrame;
    if (piece == 'd') frame[6] ^= 0x01;
    if (piece == 'x') frame[120] ^= 0x40;
    if (piece == 'h') frame.erase(frame.begin(), frame.end() - 50);
    if (piece == 't') frame.resize(60);
    if (piece == 'j') frame.assign(40, 0x55);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
  }
  return bytes;
}

std::string Summary(const Ac3StreamCheck& c) {
  std::string text = "dn=" + (c.DialNorm ? std::to_string(*c.DialNorm) : "-") + " frames=" + std::to_string(c.Frames) +
                     " cut=" + std::to_string(c.CutBytes) + "/" + std::to_string(c.CutFrameBytes) + " damaged=";
  for (std::uint64_t frame : c.Damaged) text += std::to_string(frame) + ",";
  return text;
}

// The first frame that checks out gives the dialogue level; damage is found
// where it is, in the decoder's count of frames; the same whether the bytes
// come at once or in small pieces.
TEST(TranscoderArgumentsTest, ChecksAc3StreamsFrameByFrame) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"hFFF", "dn=-24 frames=3 cut=0/0 damaged="},      {"dFF", "dn=-24 frames=2 cut=0/0 damaged="},
      {"FxFFx", "dn=-24 frames=5 cut=0/0 damaged=1,4,"}, {"FFjFjjF", "dn=-24 frames=4 cut=0/0 damaged=2,3,"},
      {"hFFt", "dn=-24 frames=2 cut=60/128 damaged="},   {"jht", "dn=- frames=0 cut=0/0 damaged="},
  };
  for (const auto& [recipe, expected] : rows) {
    const std::vector<std::uint8_t> bytes = Stream(recipe);
    for (size_t piece : {bytes.size(), size_t{7}}) {
      Ac3StreamScan scan;
      for (size_t at = 0; at < bytes.size(); at += piece)
        scan.Add(std::span(bytes).subspan(at, std::min(piece, bytes.size() - at)));
      EXPECT_EQ(Summary(scan.End()), expected) << recipe << " in pieces of " << piece;
    }
  }
  Ac3StreamCheck check{-24, 48000, 9000, {311, 312, 340, 5000}, 0, 0};
  EXPECT_EQ(DamageText(check), "3 damaged AC3 frames near 0:09.95; 1 near 2:40.00");
  check.Damaged = {112500};
  EXPECT_EQ(DamageText(check), "1 damaged AC3 frame near 1:00:00.00");
}

// The normalised peak leaves a lossy codec's decoder room; the LFE alone
// comes down as far as the DTS encoder's lift of it passes full scale.
TEST(TranscoderArgumentsTest, ChoosesTheGains) {
  using M = ChannelMode;
  const std::optional<double> no;
  // Mode, normalise, boost, peak, LFE as encoded: normalising gain, gain, LFE cut.
  const std::vector<std::tuple<M, bool, double, std::optional<double>, std::optional<double>, std::string>> rows = {
      {M::Stereo, true, 0, -6, no, "6.00 6.00 0.00"},  {M::DdWav, true, 0, 1.9, no, "-2.20 -2.20 0.00"},
      {M::SixMono, true, 0, -6, -2, "1.70 1.70 0.00"}, {M::SixMono, true, 0, no, no, "- 0.00 0.00"},
      {M::SixMono, false, 0, no, 3.3, "- 0.00 3.30"},  {M::SixMono, false, 2, no, -1, "- 2.00 1.00"},
      {M::SixMono, false, 0, no, -0.5, "- 0.00 0.00"}, {M::SixMono, true, 1, -6, -2, "1.70 2.70 0.70"},
  };
  for (const auto& [mode, normalize, boost, peak, lfe, expected] : rows) {
    const Gains g = ChooseGains(mode, normalize, boost, peak, lfe);
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f", g.All, g.LfeCut);
    char normalise[16] = "-";
    if (g.Normalise) std::snprintf(normalise, sizeof normalise, "%.2f", *g.Normalise);
    EXPECT_EQ(std::string(normalise) + " " + text, expected) << static_cast<int>(mode) << " " << boost;
  }
}

// The first pass's Wave64 file is found by its chunks; its samples become
// 16-bit ones with the gains, the LFE's cut, rounding and clipping.
TEST(TranscoderArgumentsTest, ReadsAndQuantisesTheKeptFloatSamples) {
  auto chunk = [](const char* tag, std::vector<std::uint8_t> body) {
    std::vector<std::uint8_t> bytes(tag, tag + 4);
    bytes.resize(16);
    const std::uint64_t size = 24 + body.size();
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    bytes.insert(bytes.end(), body.begin(), body.end());
    bytes.resize((bytes.size() + 7) / 8 * 8);
    return bytes;
  };
  // Extensible, six channels at 44.1 kHz, 32-bit float; then a fact chunk.
  std::vector<std::uint8_t> fmt = {0xFE, 0xFF, 6, 0, 0x44, 0xAC, 0, 0, 0, 0, 0, 0, 24, 0, 32, 0, 22, 0, 32, 0};
  fmt.resize(44);
  fmt[24] = 3;
  std::vector<std::uint8_t> file = chunk("riff", {});
  file.resize(24);
  const std::vector<std::uint8_t> wave = {'w', 'a', 'v', 'e'};
  file.insert(file.end(), wave.begin(), wave.end());
  file.resize(40);
  for (const auto& part : {chunk("fmt ", fmt), chunk("fact", {1, 2, 3, 4}), chunk("data", {})}) {
    file.insert(file.end(), part.begin(), part.end());
  }
  // The data's size field says 0, as a writer that never came back left it;
  // the file's size rules, in whole frames of 24 bytes.
  const std::optional<FloatPcm> pcm = ReadFloatW64(file, file.size() + 50);
  ASSERT_TRUE(pcm.has_value());
  EXPECT_EQ(std::make_tuple(pcm->Channels, pcm->SampleRate, pcm->DataOffset, pcm->DataBytes),
            std::make_tuple(std::uint16_t{6}, 44100u, std::uint64_t{file.size()}, std::uint64_t{0}));
  file[file.size() - 8] = 24 + 48;
  EXPECT_EQ(ReadFloatW64(file, file.size() + 50)->DataBytes, 48u);
  file[40 + 24 + 24] = 1;  // integer samples
  EXPECT_FALSE(ReadFloatW64(file, file.size() + 50).has_value());

  const std::vector<float> in = {0.5f, -1.0f, 1.5f, 0.5f, 0.25f, 0.0f};
  std::vector<std::int16_t> out(in.size());
  Quantiser plain(6, 0, 3, 6.0206, false);
  plain.Convert(in, out);
  EXPECT_EQ(out, (std::vector<std::int16_t>{16384, -32768, 32767, 8192, 8192, 0}));
  EXPECT_NEAR(*plain.PeakDb(), 0.0, 0.001);
  Quantiser dithered(2, -6.0206, std::nullopt, 0, true);
  const std::vector<float> quiet(2000, 0.25f);
  std::vector<std::int16_t> noisy(quiet.size());
  dithered.Convert(quiet, noisy);
  EXPECT_TRUE(std::all_of(noisy.begin(), noisy.end(), [](std::int16_t v) { return v >= 4095 && v <= 4097; }));
  EXPECT_NE(std::count(noisy.begin(), noisy.end(), 4096), 2000);
  EXPECT_FALSE(Quantiser(2, 0, std::nullopt, 0, false).PeakDb().has_value());
}

}  // namespace
}  // namespace kavrin::transcoder
