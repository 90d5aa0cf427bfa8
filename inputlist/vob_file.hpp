#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kavrin {

// The record of one input list entry. Streams[k] selects AC3 substream 0x80 + k;
// the flags mean something only for ".vob" entries.
struct TVobFile {
  std::string Path;
  std::array<bool, 8> Streams{};
};

// From the last "." after the last "\" or ":", the dot included; "" without one.
std::string FileExtension(std::string_view path);

// The extension, a to z made capitals, equals ".VOB".
bool IsVobFile(std::string_view path);

}  // namespace kavrin
