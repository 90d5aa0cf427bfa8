// Kavrin's transcoder: takes the argument text Kavrin builds for its
// command-line transcoder and does the work with ffmpeg.
//
// Exit codes: 0 done, 1 the conversion failed, 2 the arguments were refused,
// 3 no ffmpeg was found. Every output is written under a temporary name and
// renamed only when all of a run's outputs are complete.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "backends/common/ffmpeg.hpp"
#include "backends/dts_encoder/dts_cd.hpp"
#include "backends/transcoder/arguments.hpp"
#include "inputlist/vob_file.hpp"
#include "kavrin_version.h"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::transcoder {
namespace {

using backends::Ffmpeg;
using backends::FfmpegResult;

constexpr int kExitFailed = 1;
constexpr int kExitRefused = 2;
constexpr int kExitNoFfmpeg = 3;

// The six mono files of a DTS-CD job, in the order ffmpeg's 5.1(side) layout
// splits into: FL FR FC LFE SL SR.
struct MonoFile {
  const char* Pad;
  const char* Suffix;
};
constexpr MonoFile kMonoFiles[] = {{"FL", "FL.WAV"},   {"FR", "FR.WAV"}, {"FC", "C.WAV"},
                                   {"LFE", "LFE.WAV"}, {"SL", "SL.WAV"}, {"SR", "SR.WAV"}};

constexpr const char* kPartSuffix = ".part";

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

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// The last "Peak level dB: x" that ffmpeg's astats filter wrote.
std::optional<double> PeakLevel(const std::string& messages) {
  const std::string key = "Peak level dB: ";
  size_t at = messages.rfind(key);
  if (at == std::string::npos) return std::nullopt;
  std::istringstream value(messages.substr(at + key.size()));
  double peak = 0;
  if (!(value >> peak)) return std::nullopt;
  return peak;
}

unsigned long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The report that goes to the log file, or to the error output without one.
class Report {
 public:
  void Line(const std::string& label, const std::string& text) { text_ += "  " + label + ": " + text + "\r\n"; }

  void Write(const std::optional<std::string>& logFile) const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    std::string whole = "Kavrin transcoder " KAVRIN_VERSION_TEXT ", " + std::string(stamp) + "\r\n" + text_;
    std::fputs(whole.c_str(), stderr);
    if (!logFile) return;
    // Appends only: the file is opened for appending, never rewritten.
    win32::UniqueHandle log(CreateFileA(logFile->c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!log || !WriteFile(log.Get(), whole.data(), static_cast<DWORD>(whole.size()), &written, nullptr))
      std::fprintf(stderr, "The log file %s could not be written.\n", logFile->c_str());
  }

 private:
  std::string text_;
};

// One conversion: the ffmpeg runs and the outputs they leave.
class Transcode {
 public:
  Transcode(const Arguments& arguments, const Ffmpeg& ffmpeg, Report& report)
      : args_(arguments), ffmpeg_(ffmpeg), report_(report) {}

  bool Run() {
    std::optional<std::string> gain = GainFilter();
    if (!gain) return false;
    std::vector<std::wstring> words = Input();
    words.push_back(L"-filter_complex");
    words.push_back(Widen(Source() + *gain + Chain(true) +
                          ",astats=measure_perchannel=none:measure_overall=Peak_level" + Outputs()));
    AddOutputs(words);
    FfmpegResult result = Ffmpeg(words);
    if (!result.Succeeded()) return Fail(result.Reason());
    if (std::optional<double> peak = PeakLevel(result.Messages)) report_.Line("peak", Fixed(*peak, 2) + " dBFS");
    if (args_.Channels == ChannelMode::DdWav && !WrapIec61937()) return false;
    return Publish();
  }

  // Deletes whatever temporary outputs a failed run left.
  void DiscardParts() const {
    for (const std::string& part : Parts()) DeleteFileA(part.c_str());
    if (args_.Channels == ChannelMode::DdWav) DeleteFileA((args_.OutputPath + ".spdif" + kPartSuffix).c_str());
  }

 private:
  static std::wstring Widen(const std::string& ascii) { return Ffmpeg::Text(ascii); }

  std::vector<std::wstring> Input() const {
    // A DVD's later substreams may first show up megabytes into the file.
    return {L"-nostdin", L"-hide_banner",     L"-nostats", L"-y", L"-probesize",
            L"50M",      L"-analyzeduration", L"60M",      L"-i", ffmpeg_.FileArgument(args_.InputPath)};
  }

  // The selected stream: a ".vob" substream by its id, otherwise the first
  // audio stream.
  std::string Source() const {
    if (args_.Stream) return "[0:i:" + StreamName(*args_.Stream) + "]";
    return "[0:a:0]";
  }

  int Rate() const { return args_.Rate.value_or(44100); }

  // Channels and rate in floating point; 16-bit samples at the end when the
  // output is PCM, dithered if asked.
  std::string Chain(bool final) const {
    std::string layout;
    if (args_.Channels == ChannelMode::SixMono) layout = "ochl=5.1(side):";
    if (args_.Channels == ChannelMode::Stereo) layout = "ochl=stereo:";
    std::string chain = "aresample=" + layout + "osr=" + std::to_string(Rate());
    bool pcm = args_.Channels != ChannelMode::DdWav;
    if (final && pcm) chain += std::string(":osf=s16") + (args_.Dither ? ":dither_method=triangular" : "");
    return chain;
  }

  // The gain before the chain: the normalising gain found by a first pass,
  // plus the boost; nothing when the first pass failed.
  std::optional<std::string> GainFilter() {
    double gain = args_.GainDb.value_or(0);
    if (args_.Normalize) {
      std::vector<std::wstring> words = Input();
      words.insert(words.end(),
                   {L"-filter_complex",
                    Widen(Source() + Chain(false) + ",astats=measure_perchannel=none:measure_overall=Peak_level[peak]"),
                    L"-map", L"[peak]", L"-f", L"null", L"-"});
      FfmpegResult result = Ffmpeg(words);
      std::optional<double> peak = PeakLevel(result.Messages);
      if (!result.Succeeded() || !peak) {
        Fail(result.Succeeded() ? "no peak level found for normalising" : result.Reason());
        return std::nullopt;
      }
      // Silence has no peak to raise.
      if (*peak > -120) gain -= *peak;
      report_.Line("normalise", Fixed(-*peak, 2) + " dB");
    }
    if (gain == 0) return std::string();
    return "volume=" + Fixed(gain, 4) + "dB,";
  }

  std::string Outputs() const {
    if (args_.Channels != ChannelMode::SixMono) return "[out]";
    std::string pads = ",channelsplit=channel_layout=5.1(side)";
    for (const MonoFile& mono : kMonoFiles) pads += std::string("[") + mono.Pad + "]";
    return pads;
  }

  std::vector<std::string> Finals() const {
    if (args_.Channels != ChannelMode::SixMono) return {args_.OutputPath};
    std::vector<std::string> finals;
    for (const MonoFile& mono : kMonoFiles) finals.push_back(args_.OutputPath + mono.Suffix);
    return finals;
  }

  std::vector<std::string> Parts() const {
    std::vector<std::string> parts;
    for (const std::string& final : Finals()) parts.push_back(final + kPartSuffix);
    return parts;
  }

  void AddOutputs(std::vector<std::wstring>& words) const {
    const std::vector<std::wstring> pcm = {L"-c:a",          L"pcm_s16le", L"-flags", L"+bitexact",
                                           L"-map_metadata", L"-1",        L"-f",     L"wav"};
    if (args_.Channels == ChannelMode::SixMono) {
      std::vector<std::string> parts = Parts();
      for (size_t i = 0; i < parts.size(); ++i) {
        words.insert(words.end(), {L"-map", Widen(std::string("[") + kMonoFiles[i].Pad + "]")});
        words.insert(words.end(), pcm.begin(), pcm.end());
        words.push_back(ffmpeg_.FileArgument(parts[i]));
      }
    } else if (args_.Channels == ChannelMode::DdWav) {
      words.insert(words.end(), {L"-map", L"[out]", L"-c:a", L"ac3", L"-b:a", L"448k", L"-f", L"spdif",
                                 ffmpeg_.FileArgument(args_.OutputPath + ".spdif" + kPartSuffix)});
    } else {
      words.insert(words.end(), {L"-map", L"[out]"});
      words.insert(words.end(), pcm.begin(), pcm.end());
      words.push_back(ffmpeg_.FileArgument(Parts().front()));
    }
  }

  FfmpegResult Ffmpeg(const std::vector<std::wstring>& words) {
    std::wstring line;
    for (const std::wstring& word : words) line += L" " + backends::QuoteArgument(word);
    report_.Line("ffmpeg", ffmpeg_.Location() + Narrow(line));
    return ffmpeg_.Run(words);
  }

  // ffmpeg writes the IEC 61937 bursts bare; the track is the same bytes
  // behind a 16-bit stereo 44.1 kHz WAV header.
  bool WrapIec61937() {
    const std::string bursts = args_.OutputPath + ".spdif" + kPartSuffix;
    win32::UniqueHandle in(CreateFileA(bursts.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    win32::UniqueHandle out(
        CreateFileA(Parts().front().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!in || !out || !GetFileSizeEx(in.Get(), &size)) return Fail("the AC3 bursts could not be wrapped");
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxWavDataBytes)
      return Fail("the AC3-CD track is too long for a WAV file");
    auto header = WavHeader(static_cast<unsigned long long>(size.QuadPart));
    DWORD done = 0;
    bool ok =
        WriteFile(out.Get(), header.data(), static_cast<DWORD>(header.size()), &done, nullptr) && done == header.size();
    std::vector<char> buffer(1 << 20);
    for (DWORD read = 0;
         ok && ReadFile(in.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0;) {
      ok = WriteFile(out.Get(), buffer.data(), read, &done, nullptr) && done == read;
    }
    ok = ok && FlushFileBuffers(out.Get());
    in.Reset();
    DeleteFileA(bursts.c_str());
    return ok ? true : Fail("the AC3-CD track could not be written (is the disk full?)");
  }

  // Every output under its own name, or none: a part that cannot be renamed
  // takes the renamed ones back out.
  bool Publish() {
    std::vector<std::string> finals = Finals();
    std::vector<std::string> parts = Parts();
    for (size_t i = 0; i < finals.size(); ++i) {
      if (FileSize(parts[i]) < kWavHeaderBytes) return Fail("ffmpeg wrote no audio to " + finals[i]);
    }
    for (size_t i = 0; i < finals.size(); ++i) {
      if (!MoveFileExA(parts[i].c_str(), finals[i].c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        for (size_t j = 0; j < i; ++j) DeleteFileA(finals[j].c_str());
        return Fail(finals[i] + " could not be written (error " + std::to_string(GetLastError()) + ")");
      }
    }
    for (const std::string& final : finals) {
      report_.Line("output", final);
    }
    int channels = args_.Channels == ChannelMode::SixMono ? 1 : 2;
    double seconds = static_cast<double>(FileSize(finals.front()) - kWavHeaderBytes) / (Rate() * 2.0 * channels);
    report_.Line("duration", Fixed(seconds, 2) + " s");
    return true;
  }

  bool Fail(const std::string& reason) {
    report_.Line("error", reason);
    return false;
  }

  const Arguments& args_;
  const backends::Ffmpeg& ffmpeg_;
  Report& report_;
};

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
  if (args.Stream) report.Line("stream", StreamName(*args.Stream));
  report.Line("mode", ModeName(args.Channels));
  if (args.Channels == ChannelMode::None) {
    report.Line("error", "no channel switch (-6ch, -ddwav or -2ch): nothing to write");
    report.Write(args.LogFile);
    return kExitRefused;
  }
  if (!args.Ignored.empty()) {
    std::string ignored;
    for (const std::string& option : args.Ignored) ignored += (ignored.empty() ? "" : " ") + option;
    report.Line("ignored", ignored);
  }
  if (args.Dither && args.Channels == ChannelMode::DdWav) report.Line("ignored", "--dither (AC3 is not dithered)");

  std::optional<backends::Ffmpeg> ffmpeg = backends::Ffmpeg::Find();
  if (!ffmpeg) {
    report.Line("error", "ffmpeg was not found: put ffmpeg.exe beside this program or on the PATH");
    report.Write(args.LogFile);
    return kExitNoFfmpeg;
  }
  Transcode transcode(args, *ffmpeg, report);
  bool done = transcode.Run();
  if (!done) transcode.DiscardParts();
  report.Line("result", done ? "done" : "failed, no output written");
  report.Write(args.LogFile);
  return done ? 0 : kExitFailed;
}

}  // namespace
}  // namespace kavrin::transcoder

int main() { return kavrin::transcoder::Main(); }
