#include "backends/transcoder/transcode.hpp"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "backends/common/ffmpeg_messages.hpp"
#include "backends/common/wav_header.hpp"
#include "backends/transcoder/ac3_header.hpp"
#include "backends/transcoder/float_pcm.hpp"
#include "backends/transcoder/kept_stream.hpp"
#include "backends/transcoder/levels.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::transcoder {
namespace {

using backends::Ffmpeg;
using backends::FfmpegResult;

// The six mono files of a DTS-CD job, in the order ffmpeg's 5.1(side) layout
// splits into: FL FR FC LFE SL SR.
struct MonoFile {
  const char* Pad;
  const char* Suffix;
};
constexpr MonoFile kMonoFiles[] = {{"FL", "FL.WAV"},   {"FR", "FR.WAV"}, {"FC", "C.WAV"},
                                   {"LFE", "LFE.WAV"}, {"SL", "SL.WAV"}, {"SR", "SR.WAV"}};

constexpr const char* kPartSuffix = ".part";
// The first pass's float samples beside the outputs, for the time between
// the passes.
constexpr const char* kKeptSuffix = ".w64.part";

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::optional<unsigned long long> SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

unsigned long long FileSize(const std::string& path) { return SizeOf(path).value_or(0); }

// The first bytes of a file, to tell what it is when ffmpeg cannot.
std::string FileHead(const std::string& path) {
  win32::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string head(16, '\0');
  DWORD read = 0;
  if (!file || !ReadFile(file.Get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) read = 0;
  head.resize(read);
  return head;
}
// swresample's default filter lets a 23 kHz tone alias into the audible band
// only 20 dB down and takes 1.3 dB off 20 kHz, on the way from 48 kHz to
// 44.1 kHz; this one keeps aliases below -90 dB and 20 kHz within 0.1 dB.
constexpr char kResampler[] = "filter_size=128:cutoff=0.97:";

// One conversion: the ffmpeg runs and the outputs they leave.
class Transcode {
 public:
  Transcode(const Arguments& arguments, const Ffmpeg& ffmpeg, Report& report)
      : args_(arguments), ffmpeg_(ffmpeg), report_(report) {}

  bool Run() {
    if (SizeOf(args_.InputPath) == 0ull) return Fail("the input file is empty");
    if (!FirstPass()) return false;
    if (Keeps()) return (args_.Channels == ChannelMode::DdWav ? EncodeKept() : QuantiseKept()) && Publish();
    const std::string gain = gains_.All == 0 ? std::string() : "volume=" + Fixed(gains_.All, 4) + "dB,";
    std::vector<std::wstring> words = Input();
    words.emplace_back(L"-filter_complex");
    // The AC3 encoder holds back one block of 256 samples that it never gives
    // out at the end: that much silence more lets the last source sample in.
    const std::string pad = args_.Channels == ChannelMode::DdWav ? ",apad=pad_len=256" : "";
    words.push_back(Widen(Source() + gain + Chain(true) + ",astats" + kPeakOptions + pad + Outputs()));
    AddOutputs(words);
    FfmpegResult result;
    if (args_.Channels == ChannelMode::DdWav) {
      if (!WrapIec61937(words, result)) return false;
    } else {
      result = RunFfmpeg(words);
      if (!result.Succeeded()) return FailRun(result);
    }
    if (std::optional<double> peak = backends::ReadPeakLevels(result.Messages).Loudest)
      report_.Line("peak", Fixed(*peak, 2) + " dBFS");
    return Publish();
  }

  // Deletes whatever temporary outputs a failed run left.
  void DiscardParts() const {
    for (const std::string& part : Parts()) backends::WhenFree([&part] { return DeleteFileA(part.c_str()); });
  }

  // The last ffmpeg may have read it until a moment ago.
  void DiscardKept() const {
    backends::WhenFree([this] { return DeleteFileA(KeptPath().c_str()); });
  }

 private:
  static constexpr char kPeakOptions[] = "=measure_perchannel=none:measure_overall=Peak_level";
  // The six mono files feed our DTS encoder, whose LFE decimator lifts the
  // LFE by the gain a DTS decoder's interpolator takes away: 1.1 dB at 50 Hz,
  // 3.1 dB at 80 Hz, 6.3 dB at 120 Hz (third_party/ffmpeg/0002-*.patch). A
  // decoder clips what that lifts above full scale, so the normalising peak
  // counts the LFE as the encoder will carry it. The entries are the
  // decimator's response, which tools/design_lfe_decimator.py prints.
  static constexpr char kLfeAsEncoded[] =
      "firequalizer=delay=0.1:gain_entry='entry(0,-0.1);entry(20,0.0);entry(30,0.3);entry(40,0.6);entry(50,1.1);"
      "entry(60,1.7);entry(70,2.4);entry(80,3.1);entry(90,3.9);entry(100,4.7);entry(110,5.6);entry(120,6.3);"
      "entry(130,7.1);entry(140,7.7);entry(150,8.3);entry(160,8.8);entry(170,9.1);entry(180,9.3);entry(190,9.4);"
      "entry(200,9.4);entry(210,9.2);entry(220,8.9);entry(230,8.5);entry(240,7.8);entry(250,7.1);entry(260,6.1);"
      "entry(270,5.0);entry(280,3.7);entry(290,2.2);entry(300,0.4);entry(320,-3.8);entry(340,-9.5);"
      "entry(400,-35.2);entry(500,-53.1);entry(700,-80)':fixed=on";
  static std::wstring Widen(const std::string& ascii) { return backends::Ffmpeg::Text(ascii); }

  static std::vector<std::wstring> Quiet() {
    return {L"-nostdin", L"-hide_banner", L"-nostats", L"-loglevel", Widen(backends::kFfmpegLogLevel), L"-y"};
  }

  std::vector<std::wstring> Input() const {
    const CompressionOptions compression = OptionsOf(args_.Compress);
    std::vector<std::wstring> words = Quiet();
    // A DVD's later substreams may first show up megabytes into the file.
    words.insert(words.end(), {L"-probesize", L"50M", L"-analyzeduration", L"60M"});
    words.insert(words.end(), {L"-drc_scale", Widen(compression.DrcScale)});
    if (compression.Heavy) words.insert(words.end(), {L"-heavy_compr", L"1"});
    words.insert(words.end(), {L"-i", backends::Ffmpeg::FileArgument(args_.InputPath)});
    return words;
  }

  // The selected stream: a ".vob" substream by its id, otherwise the first
  // audio stream.
  std::string Stream() const { return args_.Stream ? "0:i:" + SubstreamId(*args_.Stream) : "0:a:0"; }
  std::string Source() const { return std::string("[").append(Stream()).append("]"); }

  int Rate() const { return args_.Rate.value_or(44100); }

  // Channels and rate in floating point; 16-bit samples at the end when the
  // output is PCM, dithered if asked.
  std::string Chain(bool final) const {
    std::string layout;
    if (args_.Channels == ChannelMode::SixMono) layout = "ochl=5.1(side):";
    if (args_.Channels == ChannelMode::Stereo) layout = "ochl=stereo:";
    // The downmix keeps its sums within full scale in both passes alike, so
    // that the peak measured is the peak written.
    std::string chain =
        std::string("aresample=") + kResampler + "rematrix_maxval=1:" + layout + "osr=" + std::to_string(Rate());
    bool pcm = args_.Channels != ChannelMode::DdWav;
    const std::string format = std::string("osf=s16") + (args_.Dither ? ":dither_method=triangular" : "");
    if (final && gains_.LfeCut > 0) {
      // The LFE alone comes down while the samples are still floating point.
      chain +=
          ",pan=5.1(side)|c0=c0|c1=c1|c2=c2|c3=" + Fixed(std::pow(10.0, -gains_.LfeCut / 20.0), 6) + "*c3|c4=c4|c5=c5";
      if (pcm) chain += ",aresample=" + format;
    } else if (final && pcm) {
      chain += ":" + format;
    }
    return chain;
  }

  // The first pass reads the whole stream once. A copy of it goes through
  // the frame check, for the report: the dialogue level of its first whole
  // frame, which an AC3-CD keeps, its damaged frames, and a last frame that
  // it ends inside (the decoder leaves that out). Where the gains need peaks
  // (normalised, or six mono files, whose LFE is measured as the DTS encoder
  // will lift it), the stream is decoded, mixed and resampled once, and kept
  // in floating point for the outputs, whose peaks are taken from it before
  // any quantising.
  bool FirstPass() {
    const bool sixMono = args_.Channels == ChannelMode::SixMono;
    std::vector<std::wstring> words = Input();
    if (Keeps()) {
      std::string graph = Source() + Chain(false) + ",aformat=sample_fmts=flt";
      graph += sixMono ? std::string(",asplit[kept][lfe];[lfe]pan=mono|c0=LFE,") + kLfeAsEncoded + ",astats@lfe" +
                             kPeakOptions + "[lfepeak]"
                       : "[kept]";
      words.insert(words.end(), {L"-filter_complex", Widen(graph), L"-map", L"[kept]", L"-c:a", L"pcm_f32le", L"-f",
                                 L"w64", backends::Ffmpeg::FileArgument(KeptPath())});
      if (sixMono) words.insert(words.end(), {L"-map", L"[lfepeak]", L"-f", L"null", L"-"});
    }
    words.insert(words.end(), {L"-map", Widen(Stream()), L"-c:a", L"copy"});
    words.insert(words.end(), backends::kWholeBufferWrites.begin(), backends::kWholeBufferWrites.end());
    words.insert(words.end(), {L"-f", L"ac3", L"pipe:1"});
    Ac3StreamScan scan;
    FfmpegResult result = RunFfmpeg(words, [&scan](const char* data, size_t size) {
      scan.Add(std::span(reinterpret_cast<const std::uint8_t*>(data), size));
      return true;
    });
    // Without a stream to keep, only a cause in the input that the user can
    // act on ends the run here; anything else is left to the conversion.
    if (!result.Succeeded() && (Keeps() || !InputProblemOf(result).empty())) return FailRun(result);
    ReportStream(scan.End(), result);
    const backends::PeakLevels lfe = backends::ReadPeakLevels(result.Messages, "lfe");
    if (sixMono && lfe.Count == 0) return Fail("no peak level found for the LFE");
    return SetGains(lfe.Loudest);
  }

  // The gains for the peak of the kept samples, where normalised, and the
  // LFE's as the DTS encoder will lift it.
  bool SetGains(std::optional<double> lfePeak) {
    if (args_.Normalize) {
      const std::string failure = ReadKeptSamples(KeptPath(), [this](std::span<const float> samples, std::uint16_t) {
        loudest_ = std::max(loudest_, LoudestSample(samples));
        return std::string();
      });
      if (!failure.empty()) return Fail(failure);
    }
    // Silence has no peak to raise.
    std::optional<double> peak;
    if (loudest_ > 0) peak = 20.0 * std::log10(loudest_);
    gains_ = ChooseGains(args_.Channels, args_.Normalize, args_.GainDb.value_or(0), peak, lfePeak);
    if (args_.Normalize)
      report_.Line("normalise", gains_.Normalise ? Fixed(*gains_.Normalise, 2) + " dB" : "0 dB (the stream is silent)");
    if (gains_.LfeCut > 0)
      report_.Line("LFE",
                   Fixed(-gains_.LfeCut, 2) + " dB, so that its lift in the DTS encoder stays within full scale");
    return true;
  }

  // Whether the first pass keeps the decoded stream: where the gains need
  // its peaks.
  bool Keeps() const { return args_.Normalize || args_.Channels == ChannelMode::SixMono; }
  std::string KeptPath() const { return args_.OutputPath + kKeptSuffix; }

  // The PCM outputs from the kept samples: the gains, the LFE's cut and the
  // dither applied, 16-bit, one stereo file or six mono files.
  bool QuantiseKept() {
    const std::uint16_t channels = args_.Channels == ChannelMode::SixMono ? 6 : 2;
    PcmOutputs outputs(Parts(), channels, static_cast<std::uint32_t>(Rate()));
    if (const std::string failure = outputs.Open(); !failure.empty()) return Fail(failure);
    const std::optional<std::uint16_t> lfe = channels == 6 ? std::optional<std::uint16_t>(3) : std::nullopt;
    Quantiser quantiser(channels, gains_.All, lfe, gains_.LfeCut, args_.Dither);
    std::vector<std::int16_t> samples;
    std::string failure = ReadKeptSamples(KeptPath(), [&](std::span<const float> block, std::uint16_t kept) {
      if (kept != channels) return "ffmpeg kept " + std::to_string(kept) + " channels, not " + std::to_string(channels);
      samples.resize(block.size());
      quantiser.Convert(block, samples);
      return outputs.Write(samples);
    });
    if (failure.empty()) failure = outputs.Close();
    if (!failure.empty()) return Fail(failure);
    if (std::optional<double> peak = quantiser.PeakDb()) report_.Line("peak", Fixed(*peak, 2) + " dBFS");
    return true;
  }

  // The AC3-CD from the kept samples: ffmpeg encodes them with the gain.
  bool EncodeKept() {
    std::vector<std::wstring> words = Quiet();
    words.insert(words.end(), {L"-i", backends::Ffmpeg::FileArgument(KeptPath()), L"-filter_complex"});
    const std::string gain = gains_.All == 0 ? std::string("anull") : "volume=" + Fixed(gains_.All, 4) + "dB";
    // The AC3 encoder holds back one block of 256 samples that it never gives
    // out at the end: that much silence more lets the last source sample in.
    words.push_back(Widen("[0:a]" + gain + ",apad=pad_len=256[out]"));
    AddOutputs(words);
    FfmpegResult result;
    if (!WrapIec61937(words, result)) return false;
    if (loudest_ > 0) report_.Line("peak", Fixed(20.0 * std::log10(loudest_) + gains_.All, 2) + " dBFS");
    return true;
  }

  void ReportStream(const Ac3StreamCheck& check, const FfmpegResult& result) {
    if (args_.Channels == ChannelMode::DdWav) {
      const std::string why = result.Succeeded() ? "no whole AC3 frame in the stream" : result.Reason();
      report_.Line("dialnorm", check.DialNorm ? std::to_string(*check.DialNorm) + " dB, the source's"
                                              : "-31 dB (the source's is unknown: " + why + ")");
    }
    dialNorm_ = check.DialNorm;
    if (const std::string damage = DamageText(check); !damage.empty()) report_.Line("damaged", damage);
    if (check.CutBytes > 0) {
      const std::string size = check.CutFrameBytes > 0 ? " of " + std::to_string(check.CutFrameBytes) : "";
      report_.Line("end", "the stream ends inside an AC3 frame (" + std::to_string(check.CutBytes) + size +
                              " bytes), which is left out");
    }
  }

  // Each mono file a plain mono WAV: the split channels keep their names,
  // which the WAV muxer would write as an extensible format.
  std::string Outputs() const {
    if (args_.Channels != ChannelMode::SixMono) return "[out]";
    std::string split = ",channelsplit=channel_layout=5.1(side)";
    std::string mono;
    for (const MonoFile& file : kMonoFiles) {
      split += std::string("[s") + file.Pad + "]";
      mono += std::string(";[s") + file.Pad + "]pan=mono|c0=c0[" + file.Pad + "]";
    }
    return split + mono;
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
    // The plain 44-byte header: no LIST chunk with the muxer's name.
    const std::vector<std::wstring> pcm = {L"-c:a",          L"pcm_s16le", L"-fflags", L"+bitexact",
                                           L"-map_metadata", L"-1",        L"-f",      L"wav"};
    if (args_.Channels == ChannelMode::SixMono) {
      std::vector<std::string> parts = Parts();
      for (size_t i = 0; i < parts.size(); ++i) {
        words.insert(words.end(), {L"-map", Widen(std::string("[") + kMonoFiles[i].Pad + "]")});
        words.insert(words.end(), pcm.begin(), pcm.end());
        words.push_back(backends::Ffmpeg::FileArgument(parts[i]));
      }
    } else if (args_.Channels == ChannelMode::DdWav) {
      words.insert(words.end(), {L"-map", L"[out]", L"-c:a", L"ac3", L"-b:a", L"448k"});
      if (dialNorm_) words.insert(words.end(), {L"-dialnorm", Widen(std::to_string(*dialNorm_))});
      words.insert(words.end(), backends::kWholeBufferWrites.begin(), backends::kWholeBufferWrites.end());
      words.insert(words.end(), {L"-f", L"spdif", L"pipe:1"});
    } else {
      words.insert(words.end(), {L"-map", L"[out]"});
      words.insert(words.end(), pcm.begin(), pcm.end());
      words.push_back(backends::Ffmpeg::FileArgument(Parts().front()));
    }
  }

  std::string CommandText(const std::vector<std::wstring>& words) const {
    std::wstring line;
    for (const std::wstring& word : words) line += L" " + backends::QuoteArgument(word);
    return ffmpeg_.Location() + Narrow(line);
  }

  FfmpegResult RunFfmpeg(const std::vector<std::wstring>& words, const backends::FfmpegOutput& output = nullptr) {
    report_.Line("ffmpeg", CommandText(words));
    return ffmpeg_.Run(words, nullptr, output);
  }

  // ffmpeg writes the IEC 61937 bursts straight into the track, behind a
  // 16-bit stereo 44.1 kHz WAV header whose sizes are set once the last
  // burst is in.
  bool WrapIec61937(const std::vector<std::wstring>& words, FfmpegResult& result) {
    const std::string part = Parts().front();
    win32::UniqueHandle out(
        CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return Fail(part + " cannot be created (" + backends::ErrorText(GetLastError()) + ")");
    auto write = [&out](const void* data, size_t size) { return backends::WriteWhole(out.Get(), data, size); };
    const std::string unwritten = "the AC3-CD track could not be written (";
    auto header = WavHeader(0);
    if (!write(header.data(), header.size())) return Fail(unwritten + backends::ErrorText(GetLastError()) + ")");
    report_.Line("ffmpeg", CommandText(words));
    result = ffmpeg_.RunInto(words, out.Get());
    if (!result.Succeeded()) return FailRun(result);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(out.Get(), &size)) return Fail(unwritten + backends::ErrorText(GetLastError()) + ")");
    const auto bytes = static_cast<std::uint64_t>(size.QuadPart) - kWavHeaderBytes;
    if (bytes > kMaxWavDataBytes) return Fail("the AC3-CD track is too long for a WAV file");
    if (bytes % 4 != 0) return Fail("ffmpeg's AC3 bursts end inside a sample");
    header = WavHeader(bytes);
    if (SetFilePointer(out.Get(), 0, nullptr, FILE_BEGIN) != 0 || !write(header.data(), header.size()) ||
        !FlushFileBuffers(out.Get()))
      return Fail(unwritten + backends::ErrorText(GetLastError()) + ")");
    return true;
  }

  // Every output under its own name, or none: a part that cannot be renamed
  // takes the renamed ones back out.
  bool Publish() {
    std::vector<std::string> finals = Finals();
    std::vector<std::string> parts = Parts();
    for (size_t i = 0; i < finals.size(); ++i) {
      if (FileSize(parts[i]) <= kWavHeaderBytes) return Fail("ffmpeg wrote no audio to " + finals[i]);
    }
    for (size_t i = 0; i < finals.size(); ++i) {
      // The ffmpeg that wrote into it may hold it a moment after it ended.
      if (!backends::WhenFree([&] {
            return MoveFileExA(parts[i].c_str(), finals[i].c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
          })) {
        for (size_t j = 0; j < i; ++j) DeleteFileA(finals[j].c_str());
        return Fail(finals[i] + " could not be written (" + backends::ErrorText(GetLastError()) + ")");
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

  // A failed run's cause in the input, in words a user can act on; empty
  // when ffmpeg's messages name none.
  std::string InputProblemOf(const FfmpegResult& result) const {
    const std::optional<std::string> substream =
        args_.Stream ? std::optional(SubstreamId(*args_.Stream)) : std::nullopt;
    return backends::InputProblem(result.Messages, substream, FileHead(args_.InputPath));
  }

  bool FailRun(const FfmpegResult& result) {
    const std::string problem = InputProblemOf(result);
    return Fail(problem.empty() ? result.Reason() : problem);
  }

  const Arguments& args_;
  const backends::Ffmpeg& ffmpeg_;
  Report& report_;
  std::optional<int> dialNorm_;
  Gains gains_;
  float loudest_ = 0;  // its peak, where normalised
};

}  // namespace

bool RunTranscode(const Arguments& arguments, const backends::Ffmpeg& ffmpeg, Report& report) {
  Transcode transcode(arguments, ffmpeg, report);
  const bool done = transcode.Run();
  if (!done) transcode.DiscardParts();
  transcode.DiscardKept();
  return done;
}

}  // namespace kavrin::transcoder
