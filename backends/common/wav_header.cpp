#include "backends/common/wav_header.hpp"

namespace kavrin {
namespace {

void PutLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::array<std::uint8_t, kWavHeaderBytes> WavHeader(std::uint64_t dataBytes) {
  constexpr std::uint16_t kBlockAlign = kWavChannels * kWavBitsPerSample / 8;
  if (dataBytes > kMaxWavDataBytes) {
    throw TrackError("WAV data of " + std::to_string(dataBytes) + " bytes exceeds the 4 GiB a WAV file can hold");
  }
  if (dataBytes % kBlockAlign != 0) {
    throw TrackError("WAV data of " + std::to_string(dataBytes) + " bytes is no whole number of stereo samples");
  }
  std::array<std::uint8_t, kWavHeaderBytes> header{
      'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 0,   0,   0, 0, 0, 0,
      0,   0,   0,   0,   0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   'd', 'a', 't', 'a', 0, 0, 0, 0};
  const auto size = static_cast<std::uint32_t>(dataBytes);
  PutLittleEndian(&header[4], size + 36, 4);
  PutLittleEndian(&header[16], 16, 4);  // the fmt chunk's size
  PutLittleEndian(&header[20], 1, 2);   // PCM
  PutLittleEndian(&header[22], kWavChannels, 2);
  PutLittleEndian(&header[24], kWavSampleRate, 4);
  PutLittleEndian(&header[28], kWavSampleRate * kBlockAlign, 4);
  PutLittleEndian(&header[32], kBlockAlign, 2);
  PutLittleEndian(&header[34], kWavBitsPerSample, 2);
  PutLittleEndian(&header[40], size, 4);
  return header;
}

}  // namespace kavrin
