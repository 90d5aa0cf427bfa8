#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace kavrin {

// A DTS stream or WAV size that the DTS-CD track cannot carry.
class DtsCdError : public std::runtime_error {
 public:
  explicit DtsCdError(const std::string& message) : std::runtime_error(message) {}
};

struct DtsCoreFrame {
  std::size_t Bytes;    // the whole frame, header included
  std::size_t Samples;  // per channel
};

// The size of the core frame at the front of a 16-bit big-endian DTS stream.
DtsCoreFrame ReadDtsCoreFrame(std::span<const std::uint8_t> stream);

// Repacks whole 16-bit big-endian DTS core frames into the 14-bit
// little-endian stream of a DTS-CD: each frame fills exactly the 16-bit stereo
// samples it lasts.
std::vector<std::uint8_t> PackDts14(std::span<const std::uint8_t> coreFrames);

// The inverse of PackDts14.
std::vector<std::uint8_t> UnpackDts14(std::span<const std::uint8_t> packed);

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
