#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/unique_resource.hpp"

namespace kavrin::transcoder {

// Takes one block of float samples, interleaved, with their channel count;
// returns "" to go on, or why it stops.
using KeptBlock = std::function<std::string(std::span<const float> samples, std::uint16_t channels)>;

// Reads the float samples that the first pass kept in a Wave64 file, in
// blocks of whole frames of about 4 MB; "" when `take` had every one, or
// why not.
std::string ReadKeptSamples(const std::string& path, const KeptBlock& take);

// The 16-bit PCM outputs of one conversion, one WAV file per path: a stereo
// file takes the samples as they are, six mono files one channel each.
// Written as the samples come, with the sizes in their headers set at the
// end. Each method returns "" or why it failed.
class PcmOutputs {
 public:
  PcmOutputs(std::vector<std::string> paths, std::uint16_t channels, std::uint32_t sampleRate);

  std::string Open();
  // Interleaved samples of whole frames of `channels`.
  std::string Write(std::span<const std::int16_t> samples);
  std::string Close();

 private:
  std::string Unwritten(std::size_t file) const;
  bool WriteHeader(std::size_t file, std::uint64_t dataBytes);

  std::vector<std::string> paths_;
  std::uint16_t channels_;
  std::uint16_t perFile_;
  std::uint32_t sampleRate_;
  std::vector<win32::UniqueHandle> files_;
  std::vector<std::int16_t> mono_;
};

}  // namespace kavrin::transcoder
