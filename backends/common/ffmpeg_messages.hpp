#pragma once

#include <optional>
#include <string>

namespace kavrin::backends {

// The -loglevel that makes ffmpeg mark each line of its error output with
// its level ("[error] ..."), so that its own reasons can be told from the
// rest (the closing "Conversion failed!" is only information).
inline constexpr char kFfmpegLogLevel[] = "level+info";

// ffmpeg's error lines, without their marks: the first three, joined by
// "; ". Empty if there are none.
std::string FfmpegErrors(const std::string& messages);

// The peaks astats wrote, one per part of a stream (a stream whose layout
// changes is filtered in parts); with `instance`, only those of the astats
// named so in the filter graph ("astats@lfe").
struct PeakLevels {
  int Count = 0;
  // The loudest in dBFS; empty when every part was silent ("-inf").
  std::optional<double> Loudest;
};
PeakLevels ReadPeakLevels(const std::string& messages, const std::string& instance = std::string());

// Why ffmpeg could not convert an input, in words a user can act on, from
// the streams it listed for the file: a ".vob" without the substream chosen
// ("0x82"), a file without audio, or audio that is not AC3. `head`, the
// file's first bytes, names what ffmpeg could not read at all. Empty when
// the messages name no such cause.
std::string InputProblem(const std::string& messages, const std::optional<std::string>& substream,
                         const std::string& head);

}  // namespace kavrin::backends
