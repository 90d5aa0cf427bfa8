#include "backends/transcoder/float_pcm.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kavrin::transcoder {

float LoudestSample(std::span<const float> samples) {
  float loudest = 0;
  for (const float sample : samples) loudest = std::max(loudest, std::fabs(sample));
  return loudest;
}

Quantiser::Quantiser(std::uint16_t channels, double gainDb, std::optional<std::uint16_t> cutChannel, double cutDb,
                     bool dither)
    : gains_(channels, static_cast<float>(32768.0 * std::pow(10.0, gainDb / 20.0))), dither_(dither) {
  if (cutChannel && *cutChannel < channels) gains_[*cutChannel] *= static_cast<float>(std::pow(10.0, -cutDb / 20.0));
}

void Quantiser::Convert(std::span<const float> in, std::span<std::int16_t> out) {
  const std::size_t channels = gains_.size();
  for (std::size_t frame = 0; frame + channels <= in.size(); frame += channels) {
    for (std::size_t channel = 0; channel < channels; ++channel) {
      float value = in[frame + channel] * gains_[channel];
      if (dither_) {
        // Two uniform values in [0, 1) make a triangular one in (-1, 1).
        float sum = 0;
        for (int n = 0; n < 2; ++n) {
          noise_ = noise_ * 1664525u + 1013904223u;
          sum += static_cast<float>(noise_ >> 8) * (1.0f / 16777216.0f);
        }
        value += sum - 1.0f;
      }
      if (std::isnan(value)) value = 0;
      const auto sample = static_cast<int>(std::lrint(std::clamp(value, -32768.0f, 32767.0f)));
      loudest_ = std::max(loudest_, std::abs(sample));
      out[frame + channel] = static_cast<std::int16_t>(sample);
    }
  }
}

std::optional<double> Quantiser::PeakDb() const {
  if (loudest_ == 0) return std::nullopt;
  return 20.0 * std::log10(loudest_ / 32768.0);
}

}  // namespace kavrin::transcoder
