#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
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

// The canonical header of a 16-bit PCM WAV, stereo at 44.1 kHz unless said
// otherwise, with dataBytes of samples after it.
std::array<std::uint8_t, kWavHeaderBytes> WavHeader(std::uint64_t dataBytes, std::uint16_t channels = kWavChannels,
                                                    std::uint32_t sampleRate = kWavSampleRate);

// Where the samples of a PCM WAV file are, and what they are.
struct PcmWav {
  std::uint32_t SampleRate = 0;
  std::uint16_t Channels = 0;
  std::uint16_t BitsPerSample = 0;
  std::uint64_t DataOffset = 0;
  std::uint64_t DataBytes = 0;
};

// Reads the chunks at the front of a WAV file (`head`, its first bytes) up
// to its data chunk; `fileBytes` bounds a data size that a writer left open
// or too large. Empty for anything but plain PCM (WAVE_FORMAT_PCM, or an
// extensible header of PCM samples) or a header that `head` does not hold.
std::optional<PcmWav> ReadPcmWav(std::span<const std::uint8_t> head, std::uint64_t fileBytes);

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

}  // namespace kavrin
