#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kavrin::transcoder {

// Where the samples of a Wave64 file of 32-bit float samples are: the first
// pass keeps the decoded stream in one, and the PCM outputs are made from it
// without decoding the stream a second time.
struct FloatPcm {
  std::uint32_t SampleRate = 0;
  std::uint16_t Channels = 0;
  std::uint64_t DataOffset = 0;
  std::uint64_t DataBytes = 0;  // whole sample frames only
};

// Reads the chunks at the front of such a file (`head`, its first bytes) up
// to its data chunk; `fileBytes` bounds a data size that a writer left open.
// Empty for anything but interleaved 32-bit IEEE float samples.
std::optional<FloatPcm> ReadFloatW64(std::span<const std::uint8_t> head, std::uint64_t fileBytes);

// The largest magnitude among the samples, as a fraction of full scale.
float LoudestSample(std::span<const float> samples);

// Float samples, interleaved, to 16-bit ones: a gain on every channel and a
// further cut on one, then rounded, or with triangular dither of one step,
// and clipped to full scale.
class Quantiser {
 public:
  Quantiser(std::uint16_t channels, double gainDb, std::optional<std::uint16_t> cutChannel, double cutDb, bool dither);

  // `in` and `out` are of one size, and hold whole frames.
  void Convert(std::span<const float> in, std::span<std::int16_t> out);
  // The loudest sample written so far, in dBFS; empty while all were zero.
  std::optional<double> PeakDb() const;

 private:
  std::vector<float> gains_;  // per channel, on a scale of 16-bit steps
  bool dither_;
  std::uint32_t noise_ = 1;
  int loudest_ = 0;
};

}  // namespace kavrin::transcoder
