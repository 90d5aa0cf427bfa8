#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "backends/common/wav_header.hpp"

namespace kavrin {

// A DTS stream or WAV size that the DTS-CD track cannot carry: the WAV
// header's own error.
using DtsCdError = TrackError;

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

}  // namespace kavrin
