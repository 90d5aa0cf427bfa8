#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kavrin {

// A ".vob" file's AC3 substreams 0x80 to 0x87, chosen by index 0 to 7.
inline constexpr int kStreamCount = 8;

// "0x80" for stream 0 up to "0x87": the check box caption and the
// transcoder's substream id.
std::string StreamName(int stream);

// The record of one input list entry. Streams[k] selects the stream
// StreamName(k); the flags mean something only for ".vob" entries.
struct TVobFile {
  std::string Path;
  std::array<bool, kStreamCount> Streams{};
};

// From the last "." after the last "\" or ":", the dot included; "" without one.
std::string FileExtension(std::string_view path);

// The extension, a to z made capitals, equals ".VOB".
bool IsVobFile(std::string_view path);

}  // namespace kavrin
