#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kavrin::samples {

// A DTS-CD stream: 8 frames of 512 samples packed into 14-bit words, 2048
// bytes each, as our DTS encoder writes them.
std::span<const std::uint8_t> DtsCdFrames();
// An AC3-CD stream: 4 IEC 61937 bursts of AC-3 at 448 kbit/s, 6144 bytes each.
std::span<const std::uint8_t> Ac3CdBursts();

// A track that plays as its kind promises, at least `seconds` long: a tone,
// or the stream's frames over and over, in a 16-bit stereo 44.1 kHz WAV.
enum class Stream { Pcm, Dts, Ac3 };
std::string SampleTrack(Stream stream, double seconds = 0.2);

}  // namespace kavrin::samples
