#include "backends/transcoder/float_pcm.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kavrin::transcoder {
namespace {

std::uint64_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

// A Wave64 chunk is named by a GUID whose first four bytes are the RIFF tag,
// and counts its 24 header bytes in its 64-bit size; chunks are padded to 8.
bool TagAt(std::span<const std::uint8_t> bytes, std::size_t at, const char* tag) {
  return std::equal(tag, tag + 4, bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

constexpr std::size_t kChunkHeader = 24;
constexpr std::size_t kRiffHeader = 40;  // the riff chunk's header and the wave GUID
constexpr std::uint64_t kFormatFloat = 3;
constexpr std::uint64_t kFormatExtensible = 0xFFFE;

}  // namespace

std::optional<FloatPcm> ReadFloatW64(std::span<const std::uint8_t> head, std::uint64_t fileBytes) {
  if (head.size() < kRiffHeader || !TagAt(head, 0, "riff") || !TagAt(head, 24, "wave")) return std::nullopt;
  std::optional<FloatPcm> pcm;
  for (std::size_t at = kRiffHeader; at + kChunkHeader <= head.size();) {
    const std::uint64_t size = LittleEndian(head, at + 16, 8);
    const std::size_t body = at + kChunkHeader;
    if (size < kChunkHeader) return std::nullopt;
    if (TagAt(head, at, "fmt ")) {
      if (body + 16 > head.size()) return std::nullopt;
      std::uint64_t format = LittleEndian(head, body, 2);
      if (format == kFormatExtensible && body + 26 <= head.size()) format = LittleEndian(head, body + 24, 2);
      const auto channels = static_cast<std::uint16_t>(LittleEndian(head, body + 2, 2));
      if (format != kFormatFloat || LittleEndian(head, body + 14, 2) != 32 || channels == 0) return std::nullopt;
      pcm = FloatPcm{static_cast<std::uint32_t>(LittleEndian(head, body + 4, 4)), channels, 0, 0};
    } else if (TagAt(head, at, "data")) {
      if (!pcm || body > fileBytes) return std::nullopt;
      const std::uint64_t frame = std::uint64_t{pcm->Channels} * 4;
      pcm->DataOffset = body;
      pcm->DataBytes = std::min<std::uint64_t>(size - kChunkHeader, fileBytes - body) / frame * frame;
      return pcm;
    }
    if (size > head.size()) return std::nullopt;
    at += static_cast<std::size_t>((size + 7) & ~std::uint64_t{7});
  }
  return std::nullopt;
}

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
