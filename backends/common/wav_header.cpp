#include "backends/common/wav_header.hpp"

#include <algorithm>

namespace kavrin {
namespace {

void PutLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

bool TagAt(std::span<const std::uint8_t> bytes, std::size_t at, const char* tag) {
  for (std::size_t i = 0; i < 4; ++i) {
    if (bytes[at + i] != static_cast<std::uint8_t>(tag[i])) return false;
  }
  return true;
}

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

// The samples' format code of the fmt chunk body at `body`, `size` bytes
// long. The extensible header names its samples' format by a GUID whose
// first two bytes are the plain format's code.
std::uint64_t FormatCode(std::span<const std::uint8_t> head, std::size_t body, std::uint64_t size) {
  const std::uint64_t format = LittleEndian(head, body, 2);
  if (format == kFormatExtensible && size >= 40 && body + 26 <= head.size()) return LittleEndian(head, body + 24, 2);
  return format;
}

}  // namespace

std::array<std::uint8_t, kWavHeaderBytes> WavHeader(std::uint64_t dataBytes, std::uint16_t channels,
                                                    std::uint32_t sampleRate) {
  const auto blockAlign = static_cast<std::uint16_t>(channels * kWavBitsPerSample / 8);
  if (dataBytes > kMaxWavDataBytes) {
    throw TrackError("WAV data of " + std::to_string(dataBytes) + " bytes exceeds the 4 GiB a WAV file can hold");
  }
  if (dataBytes % blockAlign != 0) {
    throw TrackError("WAV data of " + std::to_string(dataBytes) + " bytes is no whole number of samples");
  }
  std::array<std::uint8_t, kWavHeaderBytes> header{
      'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 0,   0,   0, 0, 0, 0,
      0,   0,   0,   0,   0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   'd', 'a', 't', 'a', 0, 0, 0, 0};
  const auto size = static_cast<std::uint32_t>(dataBytes);
  PutLittleEndian(&header[4], size + 36, 4);
  PutLittleEndian(&header[16], 16, 4);  // the fmt chunk's size
  PutLittleEndian(&header[20], 1, 2);   // PCM
  PutLittleEndian(&header[22], channels, 2);
  PutLittleEndian(&header[24], sampleRate, 4);
  PutLittleEndian(&header[28], sampleRate * blockAlign, 4);
  PutLittleEndian(&header[32], blockAlign, 2);
  PutLittleEndian(&header[34], kWavBitsPerSample, 2);
  PutLittleEndian(&header[40], size, 4);
  return header;
}

std::optional<PcmWav> ReadPcmWav(std::span<const std::uint8_t> head, std::uint64_t fileBytes) {
  constexpr std::size_t kChunkHeader = 8;
  constexpr std::size_t kRiffHeader = 12;
  if (head.size() < kRiffHeader || !TagAt(head, 0, "RIFF") || !TagAt(head, 8, "WAVE")) return std::nullopt;
  std::optional<PcmWav> wav;
  for (std::size_t at = kRiffHeader; at + kChunkHeader <= head.size();) {
    const auto size = static_cast<std::uint32_t>(LittleEndian(head, at + 4, 4));
    const std::size_t body = at + kChunkHeader;
    if (TagAt(head, at, "fmt ")) {
      if (size < 16 || body + 16 > head.size()) return std::nullopt;
      if (FormatCode(head, body, size) != kFormatPcm) return std::nullopt;
      wav = PcmWav{static_cast<std::uint32_t>(LittleEndian(head, body + 4, 4)),
                   static_cast<std::uint16_t>(LittleEndian(head, body + 2, 2)),
                   static_cast<std::uint16_t>(LittleEndian(head, body + 14, 2)), 0, 0};
    } else if (TagAt(head, at, "data")) {
      if (!wav || body > fileBytes) return std::nullopt;
      wav->DataOffset = body;
      wav->DataBytes = std::min<std::uint64_t>(size, fileBytes - body);
      return wav;
    }
    // Chunks are padded to an even size.
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

std::optional<FloatPcm> ReadFloatW64(std::span<const std::uint8_t> head, std::uint64_t fileBytes) {
  // A Wave64 chunk is named by a GUID whose first four bytes are the RIFF
  // tag, and counts its 24 header bytes in its 64-bit size; chunks are
  // padded to 8.
  constexpr std::size_t kChunkHeader = 24;
  constexpr std::size_t kRiffHeader = 40;  // the riff chunk's header and the wave GUID
  if (head.size() < kRiffHeader || !TagAt(head, 0, "riff") || !TagAt(head, 24, "wave")) return std::nullopt;
  std::optional<FloatPcm> pcm;
  for (std::size_t at = kRiffHeader; at + kChunkHeader <= head.size();) {
    const std::uint64_t size = LittleEndian(head, at + 16, 8);
    const std::size_t body = at + kChunkHeader;
    if (size < kChunkHeader) return std::nullopt;
    if (TagAt(head, at, "fmt ")) {
      if (body + 16 > head.size()) return std::nullopt;
      const auto channels = static_cast<std::uint16_t>(LittleEndian(head, body + 2, 2));
      if (FormatCode(head, body, size - kChunkHeader) != kFormatFloat || LittleEndian(head, body + 14, 2) != 32 ||
          channels == 0)
        return std::nullopt;
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

}  // namespace kavrin
