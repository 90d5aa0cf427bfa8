#include "backends/transcoder/kept_stream.hpp"

#include <algorithm>
#include <optional>

#include "backends/common/ffmpeg.hpp"
#include "backends/common/wav_header.hpp"
#include "backends/transcoder/float_pcm.hpp"

namespace kavrin::transcoder {
namespace {

constexpr std::size_t kBlockSamples = std::size_t{1} << 20;
// Enough of the file for its chunks up to the data.
constexpr DWORD kHeadBytes = 4096;

}  // namespace

std::string ReadKeptSamples(const std::string& path, const KeptBlock& take) {
  const std::string unreadable = "the decoded stream cannot be read back from " + path + " (";
  auto systemError = [&unreadable] { return unreadable + backends::ErrorText(GetLastError()) + ")"; };
  const win32::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size)) return systemError();
  std::vector<std::uint8_t> head(kHeadBytes);
  DWORD got = 0;
  if (!ReadFile(file.Get(), head.data(), kHeadBytes, &got, nullptr)) return systemError();
  head.resize(got);
  const std::optional<FloatPcm> pcm = ReadFloatW64(head, static_cast<std::uint64_t>(size.QuadPart));
  if (!pcm) return unreadable + "not the float samples ffmpeg was asked for)";
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(pcm->DataOffset);
  if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) return systemError();
  std::vector<float> block(kBlockSamples / pcm->Channels * pcm->Channels);
  for (std::uint64_t left = pcm->DataBytes / sizeof(float); left > 0;) {
    const auto count = static_cast<DWORD>(std::min<std::uint64_t>(left, block.size()));
    const DWORD bytes = count * sizeof(float);
    if (!ReadFile(file.Get(), block.data(), bytes, &got, nullptr)) return systemError();
    if (got != bytes) return unreadable + "it ends before its samples do)";
    if (std::string stop = take(std::span<const float>(block.data(), count), pcm->Channels); !stop.empty()) return stop;
    left -= count;
  }
  return {};
}

PcmOutputs::PcmOutputs(std::vector<std::string> paths, std::uint16_t channels, std::uint32_t sampleRate)
    : paths_(std::move(paths)),
      channels_(channels),
      perFile_(paths_.size() == 1 ? channels : 1),
      sampleRate_(sampleRate) {}

std::string PcmOutputs::Open() {
  for (std::size_t n = 0; n < paths_.size(); ++n) {
    files_.emplace_back(
        CreateFileA(paths_[n].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!files_.back() || !WriteHeader(n, 0)) return Unwritten(n);
  }
  return {};
}

std::string PcmOutputs::Write(std::span<const std::int16_t> samples) {
  for (std::size_t n = 0; n < files_.size(); ++n) {
    std::span<const std::int16_t> out = samples;
    if (perFile_ == 1) {
      mono_.resize(samples.size() / channels_);
      for (std::size_t i = 0; i < mono_.size(); ++i) mono_[i] = samples[i * channels_ + n];
      out = mono_;
    }
    if (!backends::WriteWhole(files_[n].Get(), out.data(), out.size_bytes())) return Unwritten(n);
  }
  return {};
}

std::string PcmOutputs::Close() {
  for (std::size_t n = 0; n < files_.size(); ++n) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(files_[n].Get(), &size)) return Unwritten(n);
    const auto bytes = static_cast<std::uint64_t>(size.QuadPart) - kWavHeaderBytes;
    if (bytes > kMaxWavDataBytes) return paths_[n] + " is too long for a WAV file";
    if (SetFilePointer(files_[n].Get(), 0, nullptr, FILE_BEGIN) != 0 || !WriteHeader(n, bytes)) return Unwritten(n);
  }
  files_.clear();
  return {};
}

std::string PcmOutputs::Unwritten(std::size_t file) const {
  return paths_[file] + " could not be written (" + backends::ErrorText(GetLastError()) + ")";
}

bool PcmOutputs::WriteHeader(std::size_t file, std::uint64_t dataBytes) {
  const auto header = WavHeader(dataBytes, perFile_, sampleRate_);
  return backends::WriteWhole(files_[file].Get(), header.data(), header.size());
}

}  // namespace kavrin::transcoder
