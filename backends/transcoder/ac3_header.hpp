#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace kavrin::transcoder {

// The dialogue level of an AC3 frame (its "dialnorm"), -31 to -1 dB, read
// from the bit stream information at the front of `frame` (the bytes as an
// ".ac3" file holds them). Empty when the bytes start no AC3 frame (E-AC3
// included).
std::optional<int> Ac3DialNorm(std::span<const std::uint8_t> frame);

}  // namespace kavrin::transcoder
