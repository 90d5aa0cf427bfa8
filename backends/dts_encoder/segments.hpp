#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kavrin {

// The DTS encoder works on 512 samples a frame, and its filters reach back
// one frame: the 512 samples before a frame and the frame itself decide its
// bytes. So a track can be encoded in pieces at once, each started one frame
// early with that frame's output dropped, and the pieces' frames joined in
// order give the bytes of one encoding of the whole.
inline constexpr std::uint64_t kDtsFrameSamples = 512;
// A piece shorter than this costs more in ffmpeg starts than it saves.
inline constexpr std::uint64_t kDtsMinSegmentSamples = std::uint64_t{30} * 44100;

struct DtsSegment {
  std::uint64_t FirstFrame = 0;  // of the track
  std::uint64_t EndFrame = 0;    // one past its last
  // The source samples it encodes: from one frame before its first frame
  // (none before the first segment's); to the end of its last frame, or for
  // the last segment to the end of the source.
  std::uint64_t FromSample = 0;
  std::optional<std::uint64_t> ToSample;
  bool DropsFirstFrame = false;
};

// The frames of a track of `samples` source samples and one frame of
// silence after them, which lets the filter bank give out the last one.
std::uint64_t DtsTrackFrames(std::uint64_t samples);

// As many segments as `processors`, each of at least kDtsMinSegmentSamples.
unsigned DtsSegmentCount(std::uint64_t samples, unsigned processors);

// The track cut into `count` segments of whole frames, as even as they come;
// fewer where the source is too short for each to end inside it.
std::vector<DtsSegment> PlanDtsSegments(std::uint64_t samples, unsigned count);

}  // namespace kavrin
