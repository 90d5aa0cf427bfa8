#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "backends/common/ffmpeg.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::dts_encoder {

// The six mono WAV files in the order the encoder's options name them
// (FL FR SL SR C LFE), and the DTS-CD track.
struct EncodingFiles {
  std::array<std::string, 6> Inputs;
  std::string Track;
};

// One encoding, run on a worker thread: the track in segments at once, as
// many as the machine has logical processors (`segments` forces a count),
// each an ffmpeg of its own, their frames packed as they come and written at
// their places in the track. A segment that fails stops the others and fails
// the track.
//
// The track is written under a ".part" name and takes its own name only when
// it is complete, so that a reader waiting for it never sees a part of it,
// even when this program is killed.
class Encoding {
 public:
  Encoding(EncodingFiles files, backends::Ffmpeg ffmpeg, unsigned segments = 0);
  ~Encoding();
  Encoding(const Encoding&) = delete;
  Encoding& operator=(const Encoding&) = delete;

  // Creates the part and starts the worker, which calls `ended` from its
  // thread when it is done; false with Failure set if the part cannot be
  // created.
  bool Start(std::function<void()> ended);
  // Stops every ffmpeg; the worker then ends.
  void Cancel();
  // After the worker ended: an unfinished part is removed.
  void Finish();

  bool Complete() const { return complete_; }
  // Why the track was not made; never empty when it was not.
  const std::string& Failure() const { return failure_; }
  // The share of the track encoded, 0 to steps.
  int Progress(int steps) const;
  // The segments the worker encodes in, once it has read the inputs.
  unsigned Segments() const { return segments_; }

 private:
  class SegmentWriter;

  void Encode();
  bool Run();
  bool Fail(const std::string& reason);
  bool Close(std::uint64_t dataBytes);

  EncodingFiles files_;
  backends::Ffmpeg ffmpeg_;
  unsigned forcedSegments_;
  std::atomic<unsigned> segments_{0};
  win32::UniqueHandle cancel_;
  win32::UniqueHandle output_;
  std::string part_;
  std::atomic<std::uint64_t> framesDone_{0};
  std::atomic<std::uint64_t> framesTotal_{0};
  bool complete_ = false;
  std::string failure_;
  std::thread worker_;
};

}  // namespace kavrin::dts_encoder
