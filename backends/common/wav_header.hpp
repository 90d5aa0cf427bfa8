#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace kavrin {

// A stream or a size that a track's WAV file cannot carry.
class TrackError : public std::runtime_error {
 public:
  explicit TrackError(const std::string& message) : std::runtime_error(message) {}
};

inline constexpr std::size_t kWavHeaderBytes = 44;
inline constexpr std::uint32_t kWavSampleRate = 44100;
inline constexpr std::uint16_t kWavChannels = 2;
inline constexpr std::uint16_t kWavBitsPerSample = 16;
// The RIFF size field counts the data and 36 header bytes in 32 bits; the data
// holds whole stereo samples.
inline constexpr std::uint64_t kMaxWavDataBytes = (0xFFFFFFFFull - 36) / 4 * 4;

// The canonical header of a 16-bit stereo 44.1 kHz PCM WAV with dataBytes of
// samples after it.
std::array<std::uint8_t, kWavHeaderBytes> WavHeader(std::uint64_t dataBytes);

}  // namespace kavrin
