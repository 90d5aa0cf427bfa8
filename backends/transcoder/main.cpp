// Kavrin's transcoder: takes the argument text Kavrin builds for its
// command-line transcoder and does the work with ffmpeg.
//
// Exit codes: 0 done, 1 the conversion failed, 2 the arguments were refused,
// 3 no ffmpeg was found. Every output is written under a temporary name and
// renamed only when all of a run's outputs are complete.
#include <windows.h>

#include <optional>
#include <string>

#include "backends/common/ffmpeg.hpp"
#include "backends/transcoder/arguments.hpp"
#include "backends/transcoder/report.hpp"
#include "backends/transcoder/transcode.hpp"

namespace kavrin::transcoder {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitRefused = 2;
constexpr int kExitNoFfmpeg = 3;

// The text after the program name of this process's command line.
std::string ArgumentText() {
  const char* line = GetCommandLineA();
  if (*line == '"') {
    ++line;
    while (*line != '\0' && *line != '"') ++line;
    if (*line == '"') ++line;
  } else {
    while (*line != '\0' && *line != ' ' && *line != '\t') ++line;
  }
  return line;
}

const char* ModeName(ChannelMode mode) {
  switch (mode) {
    case ChannelMode::SixMono:
      return "six mono WAV files (-6ch)";
    case ChannelMode::DdWav:
      return "AC3 in a WAV file (-ddwav)";
    case ChannelMode::Stereo:
      return "stereo WAV file (-2ch)";
    case ChannelMode::None:
      break;
  }
  return "none";
}

// A refused line still names its log file, if it has one.
std::optional<std::string> LogFileIn(const std::string& text) {
  const std::string key = "-logfilea \"";
  size_t at = text.find(key);
  if (at == std::string::npos) return std::nullopt;
  size_t close = text.find('"', at + key.size());
  if (close == std::string::npos) return std::nullopt;
  return text.substr(at + key.size(), close - at - key.size());
}

// What the report says of the options before the work starts.
void ReportOptions(const Arguments& args, Report& report) {
  if (!args.Ignored.empty()) {
    std::string ignored;
    for (const std::string& option : args.Ignored) ignored += (ignored.empty() ? "" : " ") + option;
    report.Line("ignored", ignored);
  }
  if (args.Dither && args.Channels == ChannelMode::DdWav) report.Line("ignored", "--dither (AC3 is not dithered)");
  const CompressionOptions compression = OptionsOf(args.Compress);
  report.Line("compression", std::string(compression.Name) + " (AC3 decoder: drc_scale " + compression.DrcScale +
                                 (compression.Heavy ? ", heavy_compr 1)" : ")"));
}

int Main() {
  const std::string text = ArgumentText();
  Report report;
  ParseResult parsed = ParseArguments(text);
  if (!parsed.Parsed) {
    report.Line("command line", text);
    report.Line("error", "refused: " + parsed.Error);
    report.Write(LogFileIn(text));
    return kExitRefused;
  }
  const Arguments& args = *parsed.Parsed;
  report.Line("input", args.InputPath);
  if (args.Stream) report.Line("stream", SubstreamId(*args.Stream));
  report.Line("mode", ModeName(args.Channels));
  if (args.Channels == ChannelMode::None) {
    report.Line("error", "no channel switch (-6ch, -ddwav or -2ch): nothing to write");
    report.Write(args.LogFile);
    return kExitRefused;
  }
  ReportOptions(args, report);

  std::optional<backends::Ffmpeg> ffmpeg = backends::Ffmpeg::Find();
  if (!ffmpeg) {
    report.Line("error", "ffmpeg was not found: ffmpeg.exe belongs beside this program");
    report.Write(args.LogFile);
    return kExitNoFfmpeg;
  }
  const bool done = RunTranscode(args, *ffmpeg, report);
  report.Line("result", done ? "done" : "failed, no output written");
  report.Write(args.LogFile);
  return done ? 0 : kExitFailed;
}

}  // namespace
}  // namespace kavrin::transcoder

int main() { return kavrin::transcoder::Main(); }
