#include "backends/dts_encoder/encoding.hpp"

#include <algorithm>
#include <exception>
#include <mutex>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "backends/common/ffmpeg_messages.hpp"
#include "backends/common/wav_header.hpp"
#include "backends/dts_encoder/dts_cd.hpp"
#include "backends/dts_encoder/segments.hpp"

namespace kavrin::dts_encoder {
namespace {

// WAVEFILE1..6 in this order: FL FR SL SR C LFE. ffmpeg's 5.1(side) layout
// takes them by name.
constexpr const char* kChannelNames[] = {"FL", "FR", "SL", "SR", "FC", "LFE"};

// DTS core 5.1 at 44.1 kHz and 1234.8 kbit/s: 1792 bytes per 512 samples,
// exactly what a DTS-CD frame carries.
constexpr const char* kDtsBitRate = "1234800";
constexpr std::uint32_t kTrackRate = 44100;
constexpr std::uint64_t kPackedFrameBytes = 2048;
// Enough of a frame to read its size.
constexpr std::size_t kCoreFrameHeaderBytes = 8;
// Enough of a WAV file to find its data chunk behind the usual extra chunks.
constexpr DWORD kWavHeadBytes = 4096;

std::optional<PcmWav> ReadInput(const std::string& path) {
  const win32::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size)) return std::nullopt;
  std::vector<std::uint8_t> head(kWavHeadBytes);
  DWORD read = 0;
  if (!ReadFile(file.Get(), head.data(), kWavHeadBytes, &read, nullptr)) return std::nullopt;
  head.resize(read);
  return ReadPcmWav(head, static_cast<std::uint64_t>(size.QuadPart));
}

// The six inputs as the segments read them: 16-bit mono at the track's rate,
// all of one length. Anything else is resampled in one piece, as a whole.
struct Source {
  bool Segmentable = false;
  std::uint64_t Samples = 0;  // at the track's rate; an estimate where resampled
};

Source Inspect(const std::array<std::string, 6>& inputs) {
  Source source;
  std::optional<std::uint64_t> length;
  bool plain = true;
  for (const std::string& input : inputs) {
    const std::optional<PcmWav> wav = ReadInput(input);
    if (!wav || wav->Channels == 0 || wav->BitsPerSample == 0 || wav->SampleRate == 0) {
      plain = false;
      continue;
    }
    const std::uint64_t samples = wav->DataBytes / (std::uint64_t{wav->Channels} * ((wav->BitsPerSample + 7u) / 8));
    if (!length) length = samples * kTrackRate / wav->SampleRate;
    plain =
        plain && wav->Channels == 1 && wav->BitsPerSample == 16 && wav->SampleRate == kTrackRate && samples == *length;
  }
  source.Segmentable = plain && length.has_value();
  source.Samples = length.value_or(0);
  return source;
}

unsigned LogicalProcessors() { return std::max<DWORD>(1, GetActiveProcessorCount(ALL_PROCESSOR_GROUPS)); }

bool WriteAt(HANDLE file, std::uint64_t offset, const void* data, std::size_t size) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return backends::WriteWhole(file, data, size, &at);
}

// The ffmpeg command of one segment: the six inputs from its first sample on
// (a WAV file seeks to the very sample), joined in the 5.1(side) layout, cut
// at its end or padded after the source's, into DTS core frames on ffmpeg's
// standard output.
std::vector<std::wstring> SegmentWords(const EncodingFiles& files, const DtsSegment& segment) {
  using backends::Ffmpeg;
  std::vector<std::wstring> words = {
      L"-nostdin", L"-hide_banner", L"-nostats", L"-loglevel", Ffmpeg::Text(backends::kFfmpegLogLevel), L"-y"};
  // Rounded to the microsecond, the time still names the one sample.
  const std::uint64_t micros = (segment.FromSample * 1000000 + kTrackRate / 2) / kTrackRate;
  std::string inputs;
  std::string map;
  for (std::size_t n = 0; n < files.Inputs.size(); ++n) {
    if (segment.FromSample > 0) words.insert(words.end(), {L"-ss", Ffmpeg::Text(std::to_string(micros) + "us")});
    words.insert(words.end(), {L"-i", Ffmpeg::FileArgument(files.Inputs[n])});
    const std::string input = std::to_string(n);
    inputs.append("[").append(input).append(":a]");
    map.append(n == 0 ? "" : "|").append(input).append(".0-").append(kChannelNames[n]);
  }
  // The encoder's filter bank holds back 512 samples that it never gives
  // out at the end: that much silence more lets the last source sample in.
  const std::string end = segment.ToSample
                              ? "atrim=end_sample=" + std::to_string(*segment.ToSample - segment.FromSample)
                              : "apad=pad_len=" + std::to_string(kDtsFrameSamples);
  const std::string graph =
      inputs + "join=inputs=6:channel_layout=5.1(side):map=" + map + ",aresample=osr=44100," + end + "[dts]";
  words.insert(words.end(), {L"-filter_complex", Ffmpeg::Text(graph), L"-map", L"[dts]", L"-c:a", L"dca", L"-strict",
                             L"-2", L"-b:a", Ffmpeg::Text(kDtsBitRate)});
  words.insert(words.end(), backends::kWholeBufferWrites.begin(), backends::kWholeBufferWrites.end());
  words.insert(words.end(), {L"-f", L"dts", L"pipe:1"});
  return words;
}

}  // namespace

// Packs one segment's frames as they come and writes them at their place in
// the track; keeps no more of them than one read of ffmpeg's output.
class Encoding::SegmentWriter {
 public:
  SegmentWriter(Encoding& encoding, const DtsSegment& segment, std::optional<std::uint64_t> planned)
      : encoding_(encoding), segment_(segment), planned_(planned), dropping_(segment.DropsFirstFrame) {}

  bool Take(const char* data, std::size_t size) {
    pending_.insert(pending_.end(), data, data + size);
    try {
      std::size_t from = 0;
      std::size_t whole = 0;
      std::uint64_t frames = 0;
      while (pending_.size() - whole >= kCoreFrameHeaderBytes) {
        const std::size_t bytes = ReadDtsCoreFrame(std::span(pending_).subspan(whole)).Bytes;
        if (pending_.size() - whole < bytes) break;
        whole += bytes;
        // The frame before the segment only primed the encoder's filters.
        if (dropping_) {
          dropping_ = false;
          from = whole;
        } else {
          ++frames;
        }
      }
      if (frames == 0) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(whole));
        return true;
      }
      const std::vector<std::uint8_t> packed = PackDts14(std::span(pending_.data() + from, whole - from));
      pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(whole));
      const std::uint64_t frame = segment_.FirstFrame + written_;
      if (planned_ && written_ + frames > *planned_) return Fail("more frames than the source holds");
      if ((frame + frames) * kPackedFrameBytes > kMaxWavDataBytes)
        return Fail("the DTS-CD track is too long for a WAV file");
      if (!WriteAt(encoding_.output_.Get(), kWavHeaderBytes + frame * kPackedFrameBytes, packed.data(), packed.size()))
        return Fail("the track cannot be written (" + backends::ErrorText(GetLastError()) + ")");
      written_ += frames;
      encoding_.framesDone_ += frames;
      return true;
    } catch (const DtsCdError& error) {
      return Fail(error.what());
    }
  }

  // Why the segment failed, once its ffmpeg has ended; empty when it gave
  // every frame, or was stopped from outside.
  std::string End(const backends::FfmpegResult& result) const {
    if (result.Cancelled) return {};
    if (!failure_.empty()) return failure_;
    if (!result.Succeeded()) return result.Reason();
    if (!pending_.empty())
      return "the DTS stream ends inside a frame (" + std::to_string(pending_.size()) + " bytes left)";
    if (written_ == 0) return "ffmpeg wrote no DTS stream";
    if (planned_ && written_ != *planned_)
      return "ffmpeg wrote " + std::to_string(written_) + " of the " + std::to_string(*planned_) + " frames";
    return {};
  }

 private:
  bool Fail(const std::string& reason) {
    failure_ = reason;
    return false;
  }

  Encoding& encoding_;
  DtsSegment segment_;
  std::optional<std::uint64_t> planned_;  // the frames it must give; unknown where resampled
  bool dropping_;
  std::vector<std::uint8_t> pending_;
  std::uint64_t written_ = 0;
  std::string failure_;
};

Encoding::Encoding(EncodingFiles files, backends::Ffmpeg ffmpeg, unsigned segments)
    : files_(std::move(files)),
      ffmpeg_(std::move(ffmpeg)),
      forcedSegments_(segments),
      cancel_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      part_(files_.Track + ".part") {}

Encoding::~Encoding() {
  if (worker_.joinable()) {
    Cancel();
    worker_.join();
  }
}

bool Encoding::Start(std::function<void()> ended) {
  output_ = win32::UniqueHandle(
      CreateFileA(part_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!output_) return Fail("the track " + part_ + " cannot be created (" + backends::ErrorText(GetLastError()) + ")");
  try {
    worker_ = std::thread([this, ended = std::move(ended)] {
      Encode();
      ended();
    });
  } catch (const std::exception& error) {
    return Fail(std::string("no thread for the encoding: ") + error.what());
  }
  return true;
}

void Encoding::Cancel() { SetEvent(cancel_.Get()); }

void Encoding::Finish() {
  if (worker_.joinable()) worker_.join();
  output_.Reset();
  if (!complete_) DeleteFileA(part_.c_str());
}

int Encoding::Progress(int steps) const {
  const std::uint64_t total = framesTotal_.load();
  if (total == 0) return 0;
  return static_cast<int>(std::min(framesDone_.load(), total) * static_cast<std::uint64_t>(steps) / total);
}

bool Encoding::Fail(const std::string& reason) {
  failure_ = reason;
  return false;
}

// Whatever ends the encoding, the window is told why.
void Encoding::Encode() {
  try {
    if (!Run() && failure_.empty()) Fail("the encoding ended without a reason");
  } catch (const std::exception& error) {
    Fail(std::string("the encoding failed: ") + error.what());
  }
}

bool Encoding::Run() {
  const Source source = Inspect(files_.Inputs);
  const std::vector<DtsSegment> plan =
      PlanDtsSegments(source.Samples, !source.Segmentable   ? 1
                                      : forcedSegments_ > 0 ? forcedSegments_
                                                            : DtsSegmentCount(source.Samples, LogicalProcessors()));
  segments_ = static_cast<unsigned>(plan.size());
  framesTotal_ = DtsTrackFrames(source.Samples);
  const auto header = WavHeader(0);
  if (!WriteAt(output_.Get(), 0, header.data(), header.size()))
    return Fail("the track cannot be written (" + backends::ErrorText(GetLastError()) + ")");

  std::mutex failing;
  std::string firstFailure;
  std::atomic<bool> cancelled = false;
  // One segment missing is the track missing: the first failure stops the
  // others, and is the one the window shows.
  const auto failed = [&](std::size_t index, const std::string& failure) {
    const std::lock_guard<std::mutex> lock(failing);
    if (firstFailure.empty()) {
      firstFailure = plan.size() == 1 ? failure
                                      : "segment " + std::to_string(index + 1) + " of " + std::to_string(plan.size()) +
                                            ": " + failure;
    }
    SetEvent(cancel_.Get());
  };
  std::vector<std::thread> running;
  try {
    for (std::size_t index = 0; index < plan.size(); ++index) {
      running.emplace_back([&, index] {
        try {
          const DtsSegment& segment = plan[index];
          SegmentWriter writer(
              *this, segment, source.Segmentable ? std::optional(segment.EndFrame - segment.FirstFrame) : std::nullopt);
          const backends::FfmpegResult result =
              ffmpeg_.Run(SegmentWords(files_, segment), cancel_.Get(),
                          [&writer](const char* data, std::size_t size) { return writer.Take(data, size); });
          if (const std::string failure = writer.End(result); !failure.empty()) failed(index, failure);
          if (result.Cancelled) cancelled = true;
        } catch (const std::exception& error) {
          failed(index, error.what());
        }
      });
    }
  } catch (const std::exception& error) {
    failed(running.size(), std::string("no thread for it: ") + error.what());
  }
  for (std::thread& thread : running) thread.join();
  if (!firstFailure.empty()) return Fail(firstFailure);
  if (cancelled) return Fail("stopped");
  return Close(framesDone_ * kPackedFrameBytes);
}

// The header's sizes, and the part under the track's name.
bool Encoding::Close(std::uint64_t dataBytes) {
  const auto header = WavHeader(dataBytes);
  if (!WriteAt(output_.Get(), 0, header.data(), header.size()) || !FlushFileBuffers(output_.Get()))
    return Fail("the track cannot be written (" + backends::ErrorText(GetLastError()) + ")");
  output_.Reset();
  if (!backends::WhenFree([this] {
        return MoveFileExA(part_.c_str(), files_.Track.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
      }))
    return Fail("the track " + files_.Track + " cannot be written (" + backends::ErrorText(GetLastError()) + ")");
  complete_ = true;
  return true;
}

}  // namespace kavrin::dts_encoder
