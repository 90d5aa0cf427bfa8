#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "batch/job_settings.hpp"
#include "platform/file_system.hpp"

namespace kavrin {

// What a receiver would make of a track: empty when it plays as the mode
// promises, otherwise why not ("no DTS stream", "the AC3 stream breaks at
// 0:09.98", ...). The WAV's audio bytes count for the disc's layout.
struct TrackVerdict {
  std::string Problem;
  std::uint64_t DataBytes = 0;
};

// The 16-bit stream inside a track's "data" chunk, as a receiver reads it.
class StreamCheck {
 public:
  virtual ~StreamCheck() = default;
  // Whole 16-bit values in order; `offset` is the first one's byte offset in
  // the data. Nothing more is looked at after the first problem.
  virtual void Words(std::span<const std::uint8_t> bytes, std::uint64_t offset) = 0;
  // After the last value: the first problem, or empty.
  virtual std::string End(std::uint64_t dataBytes) = 0;
};

// Reads a track as it comes, in pieces of any size: a RIFF WAVE file with a
// "fmt " chunk of 16-bit stereo 44.1 kHz PCM and a "data" chunk of whole
// 4-byte frames, other chunks before or after; in DTS-CD mode a DTS stream in
// 14-bit words inside, in AC3-CD mode IEC 61937 bursts of AC-3.
class TrackCheck {
 public:
  explicit TrackCheck(BatchMode mode);
  ~TrackCheck();
  TrackCheck(const TrackCheck&) = delete;
  TrackCheck& operator=(const TrackCheck&) = delete;

  void Add(std::span<const std::uint8_t> bytes);
  TrackVerdict End();

 private:
  void Header(std::span<const std::uint8_t>& bytes);
  void Data(std::span<const std::uint8_t>& bytes);

  enum class Part { Riff, ChunkHeader, Format, Skip, Data, Done };
  Part part_ = Part::Riff;
  std::string pending_;     // the header or "fmt " chunk read so far
  std::uint64_t left_ = 0;  // bytes left in the current chunk
  bool formatOk_ = false;
  bool sawData_ = false;
  std::uint64_t dataBytes_ = 0;  // as the chunk says
  std::uint64_t dataRead_ = 0;
  std::uint8_t odd_ = 0;  // the first byte of a value split between pieces
  bool hasOdd_ = false;
  std::string problem_;
  std::unique_ptr<StreamCheck> stream_;
};

// "M:SS.ss" of a byte offset in 16-bit stereo 44.1 kHz audio, rounded down.
std::string TrackTime(std::uint64_t offset);

// The whole file through the store; one that cannot be read does not play.
TrackVerdict CheckTrack(FileStore& files, BatchMode mode, const std::string& path);

}  // namespace kavrin
