#include "backends/dts_encoder/segments.hpp"

#include <algorithm>

namespace kavrin {

std::uint64_t DtsTrackFrames(std::uint64_t samples) {
  return (samples + kDtsFrameSamples + kDtsFrameSamples - 1) / kDtsFrameSamples;
}

unsigned DtsSegmentCount(std::uint64_t samples, unsigned processors) {
  const std::uint64_t fit = samples / kDtsMinSegmentSamples;
  return static_cast<unsigned>(std::clamp<std::uint64_t>(fit, 1, std::max(processors, 1u)));
}

std::vector<DtsSegment> PlanDtsSegments(std::uint64_t samples, unsigned count) {
  const std::uint64_t frames = DtsTrackFrames(samples);
  // Every segment holds a frame, and every one but the last ends inside the
  // source: only the last one reads the silence after it.
  std::uint64_t pieces = std::max(1u, count);
  while (pieces > 1 && (pieces > frames || frames * (pieces - 1) / pieces * kDtsFrameSamples > samples)) --pieces;
  std::vector<DtsSegment> segments;
  for (std::uint64_t k = 0; k < pieces; ++k) {
    DtsSegment segment;
    segment.FirstFrame = frames * k / pieces;
    segment.EndFrame = frames * (k + 1) / pieces;
    segment.DropsFirstFrame = k > 0;
    segment.FromSample = segment.DropsFirstFrame ? (segment.FirstFrame - 1) * kDtsFrameSamples : 0;
    if (k + 1 < pieces) segment.ToSample = segment.EndFrame * kDtsFrameSamples;
    segments.push_back(segment);
  }
  return segments;
}

}  // namespace kavrin
