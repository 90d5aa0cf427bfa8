#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kavrin::transcoder {

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
