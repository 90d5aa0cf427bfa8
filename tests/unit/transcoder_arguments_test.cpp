#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "backends/common/ffmpeg_messages.hpp"
#include "backends/transcoder/ac3_header.hpp"
#include "backends/transcoder/arguments.hpp"
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
  // 3/2 with LFE at -27 dB; 2/0 at -31; 1/0 at -1; E-AC3 and no sync word.
  const std::vector<std::pair<std::vector<std::uint8_t>, std::optional<int>>> frames = {
      {{0x0B, 0x77, 0, 0, 0x1E, 0x40, 0xEB, 0xD8}, -27},
      {{0x0B, 0x77, 0, 0, 0x1E, 0x40, 0x43, 0xE0}, -31},
      {{0x0B, 0x77, 0, 0, 0x1E, 0x40, 0x20, 0x80}, -1},
      {{0x0B, 0x77, 0, 0, 0x1E, 0x80, 0xEB, 0xD8}, std::nullopt},
      {{0x77, 0x0B, 0, 0, 0x1E, 0x40, 0xEB, 0xD8}, std::nullopt}};
  for (const auto& [frame, dialnorm] : frames) EXPECT_EQ(Ac3DialNorm(frame), dialnorm);
}

}  // namespace
}  // namespace kavrin::transcoder
