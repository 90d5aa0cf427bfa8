#include "backends/transcoder/ac3_header.hpp"

#include <cstddef>

namespace kavrin::transcoder {

std::optional<int> Ac3DialNorm(std::span<const std::uint8_t> frame) {
  // Sync word, CRC, sample rate and frame size, then bsid, bsmod and acmod:
  // the dialogue level ends 4 to 10 bits later.
  constexpr std::size_t kBytes = 8;
  if (frame.size() < kBytes || frame[0] != 0x0B || frame[1] != 0x77) return std::nullopt;
  std::size_t bit = 40;
  auto take = [&](int count) {
    unsigned value = 0;
    for (int i = 0; i < count; ++i, ++bit) value = value << 1 | ((frame[bit / 8] >> (7 - bit % 8)) & 1);
    return value;
  };
  // bsid 0 to 8 is AC3 (9 and 10 are its rare rate-halved kin), 16 E-AC3.
  if (take(5) > 8) return std::nullopt;
  take(3);
  const unsigned acmod = take(3);
  if ((acmod & 1) != 0 && acmod != 1) take(2);  // centre mix level
  if ((acmod & 4) != 0) take(2);                // surround mix level
  if (acmod == 2) take(2);                      // Dolby Surround mode
  take(1);                                      // LFE on
  const unsigned dialnorm = take(5);
  // 0 is reserved and read as -31, as decoders do.
  return dialnorm == 0 ? -31 : -static_cast<int>(dialnorm);
}

}  // namespace kavrin::transcoder
