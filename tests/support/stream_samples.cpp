#include "support/stream_samples.hpp"

#include <cmath>

namespace kavrin::samples {

namespace {

void Put(std::string& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

}  // namespace

std::string SampleTrack(Stream stream, double seconds) {
  const auto bytes = static_cast<std::size_t>(seconds * 44100) * 4;
  std::string data;
  if (stream == Stream::Pcm) {
    for (std::size_t i = 0; data.size() < bytes; ++i) {
      const auto sample = static_cast<std::int16_t>(8000 * std::sin(2 * 3.14159265358979 * 440 * i / 44100.0));
      Put(data, static_cast<std::uint16_t>(sample), 2);
      Put(data, static_cast<std::uint16_t>(sample), 2);
    }
  } else {
    const std::span<const std::uint8_t> frames = stream == Stream::Dts ? DtsCdFrames() : Ac3CdBursts();
    while (data.size() < bytes) data.append(frames.begin(), frames.end());
  }
  std::string wav = "RIFF";
  Put(wav, static_cast<std::uint32_t>(36 + data.size()), 4);
  wav += "WAVEfmt ";
  for (const std::uint32_t field : {16u, 1u | 2u << 16, 44100u, 44100u * 4, 4u | 16u << 16}) Put(wav, field, 4);
  wav += "data";
  Put(wav, static_cast<std::uint32_t>(data.size()), 4);
  return wav + data;
}

}  // namespace kavrin::samples
