#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kavrin::transcoder {

enum class ChannelMode { None, SixMono, DdWav, Stereo };

// azid's "-c" choice of the AC3 dynamic range compression; none without it.
enum class Compression { None, Light, Normal, Heavy };

// What the transcoder takes from Kavrin's argument text.
struct Arguments {
  std::string InputPath;
  std::optional<int> Stream;  // 0..7, from "-substream 0x8k"
  std::string OutputPath;     // a file, or the base of the six mono files
  ChannelMode Channels = ChannelMode::None;
  std::optional<std::string> LogFile;
  bool Normalize = false;
  Compression Compress = Compression::None;
  std::optional<int> Rate;
  bool Dither = false;
  std::optional<double> GainDb;
  // Every option the transcoder does not act on, in order, to be logged.
  std::vector<std::string> Ignored;
};

struct ParseResult {
  std::optional<Arguments> Parsed;
  std::string Error;  // set when Parsed is empty
};

// Parses the text after the quoted program path, as Kavrin builds it:
// [-core( -input "in" -output "out" -6ch|-ddwav|-2ch] [-logfilea "log"]
// [-substream 0x8k] ) [-azid( ... )] [-ota( ... )] -ssrc( ... ) [-boost( ... )]
// Blanks between pieces may be any run of control characters and spaces.
ParseResult ParseArguments(const std::string& text);

// The substream id that "-substream" names stream 0..7 by: "0x80" to "0x87".
std::string SubstreamId(int stream);

}  // namespace kavrin::transcoder
