#include "backends/dts_encoder/dts_cd.hpp"

namespace kavrin {
namespace {

constexpr std::uint32_t kCoreSyncWord = 0x7FFE8001;
// FTYPE, SHORT, CPF, NBLKS and FSIZE end 60 bits into the frame.
constexpr std::size_t kCoreHeaderBytes = 8;
constexpr std::size_t kSamplesPerBlock = 32;
constexpr std::uint16_t kWord14Mask = 0x3FFF;
constexpr std::uint16_t kWord14Sign = 0x2000;
constexpr std::uint16_t kSignExtension = 0xC000;

std::uint64_t BigEndianBits(std::span<const std::uint8_t> bytes, std::size_t count) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value = value << 8 | bytes[i];
  return value;
}

}  // namespace

DtsCoreFrame ReadDtsCoreFrame(std::span<const std::uint8_t> stream) {
  if (stream.size() < kCoreHeaderBytes) {
    throw DtsCdError("DTS stream ends inside a frame header (" + std::to_string(stream.size()) + " bytes left)");
  }
  const std::uint64_t header = BigEndianBits(stream, kCoreHeaderBytes);
  if (header >> 32 != kCoreSyncWord) throw DtsCdError("no 16-bit big-endian DTS core sync word where a frame starts");
  const std::size_t blocks = ((header >> 18) & 0x7F) + 1;
  const std::size_t bytes = ((header >> 4) & 0x3FFF) + 1;
  return {bytes, blocks * kSamplesPerBlock};
}

std::vector<std::uint8_t> PackDts14(std::span<const std::uint8_t> coreFrames) {
  std::vector<std::uint8_t> packed;
  packed.reserve(coreFrames.size() / 7 * 8 + 8);
  std::size_t offset = 0;
  while (offset < coreFrames.size()) {
    const DtsCoreFrame frame = ReadDtsCoreFrame(coreFrames.subspan(offset));
    // A frame must become whole 14-bit words that fill its own 16-bit stereo
    // samples, or the track's DTS and PCM timings part. The encoder only ever
    // makes such frames (1792 bytes per 512 samples); any other size means it
    // ran with the wrong rate, so it is refused rather than padded.
    if (frame.Bytes * 2 != frame.Samples * 7) {
      throw DtsCdError("DTS frame of " + std::to_string(frame.Bytes) + " bytes for " + std::to_string(frame.Samples) +
                       " samples does not fill a DTS-CD frame; it needs " + std::to_string(frame.Samples * 7 / 2) +
                       " bytes (1234.8 kbit/s at 44.1 kHz)");
    }
    if (frame.Bytes > coreFrames.size() - offset) {
      throw DtsCdError("DTS stream ends inside a frame: " + std::to_string(coreFrames.size() - offset) + " of " +
                       std::to_string(frame.Bytes) + " bytes");
    }
    std::uint32_t bits = 0;
    int bitCount = 0;
    for (const std::uint8_t byte : coreFrames.subspan(offset, frame.Bytes)) {
      bits = bits << 8 | byte;
      bitCount += 8;
      if (bitCount >= 14) {
        bitCount -= 14;
        std::uint16_t word = (bits >> bitCount) & kWord14Mask;
        if (word & kWord14Sign) word |= kSignExtension;
        packed.push_back(static_cast<std::uint8_t>(word));
        packed.push_back(static_cast<std::uint8_t>(word >> 8));
        bits &= (1u << bitCount) - 1;
      }
    }
    offset += frame.Bytes;
  }
  return packed;
}

std::vector<std::uint8_t> UnpackDts14(std::span<const std::uint8_t> packed) {
  if (packed.size() % 2 != 0) throw DtsCdError("14-bit DTS stream of an odd number of bytes");
  std::vector<std::uint8_t> frames;
  frames.reserve(packed.size() / 8 * 7);
  std::uint32_t bits = 0;
  int bitCount = 0;
  for (std::size_t i = 0; i < packed.size(); i += 2) {
    const auto word = static_cast<std::uint16_t>(packed[i] | packed[i + 1] << 8);
    const std::uint16_t extension = (word & kWord14Sign) ? kSignExtension : 0;
    if ((word & kSignExtension) != extension) {
      throw DtsCdError("no 14-bit DTS word at byte " + std::to_string(i) + ": its top bits are no sign extension");
    }
    bits = bits << 14 | (word & kWord14Mask);
    bitCount += 14;
    while (bitCount >= 8) {
      bitCount -= 8;
      frames.push_back(static_cast<std::uint8_t>(bits >> bitCount));
    }
    bits &= (1u << bitCount) - 1;
  }
  if (bitCount != 0) throw DtsCdError("14-bit DTS stream does not end on a whole byte");
  return frames;
}

}  // namespace kavrin
