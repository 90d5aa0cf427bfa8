#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kavrin::transcoder {

// The dialogue level of an AC3 frame (its "dialnorm"), -31 to -1 dB, read
// from the bit stream information at the front of `frame` (the bytes as an
// ".ac3" file holds them). Empty when the bytes start no AC3 frame (E-AC3
// included).
std::optional<int> Ac3DialNorm(std::span<const std::uint8_t> frame);

// What a check of an AC3 stream, frame by frame, found. A frame is whole
// when its sync word, its size and both its CRCs check out.
struct Ac3StreamCheck {
  std::optional<int> DialNorm;  // of the first whole frame
  int SampleRate = 0;           // of the first whole frame; 0 without one
  // The frames from the first whole one on, damaged ones included: what a
  // decoder gives out, 1536 samples each.
  std::uint64_t Frames = 0;
  // Where the damage is: for each damaged frame, or each run of bytes that
  // are no frame, the number of frames before it.
  std::vector<std::uint64_t> Damaged;
  // A last frame that the stream ends inside: its bytes there, and its size.
  std::size_t CutBytes = 0;
  std::size_t CutFrameBytes = 0;
};

// Checks a stream as its bytes come, keeping no more of them than one frame.
// The bytes before its first whole frame are the end of a frame that an
// earlier part of the stream holds (a DVD title's later VOB part starts so).
class Ac3StreamScan {
 public:
  void Add(std::span<const std::uint8_t> bytes);
  // After the last bytes.
  const Ac3StreamCheck& End();

 private:
  std::size_t Scan(bool atEnd);
  // Counts a frame, whole or damaged; the first one whole gives the stream's
  // dialogue level and rate.
  void Take(std::span<const std::uint8_t> frame, bool whole);

  std::vector<std::uint8_t> pending_;
  Ac3StreamCheck check_;
  bool inGap_ = false;
};

// "3 damaged AC3 frames near 0:09.98", a place for each run of damage
// within a second, for a report; empty without damage.
std::string DamageText(const Ac3StreamCheck& check);

}  // namespace kavrin::transcoder
