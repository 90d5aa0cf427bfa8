#include "backends/common/ffmpeg_messages.hpp"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace kavrin::backends {

std::string FfmpegErrors(const std::string& messages) {
  std::vector<std::string> errors;
  std::istringstream lines(messages);
  for (std::string line; std::getline(lines, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    size_t mark = std::string::npos;
    for (const char* level : {"[error] ", "[fatal] ", "[panic] "}) mark = std::min(mark, line.find(level));
    if (mark == std::string::npos) continue;
    // The context ("[wav @ 0x...] ") names a pointer, not a place.
    std::string text = line.substr(line.find(' ', mark) + 1);
    if (text.empty()) continue;
    if (std::find(errors.begin(), errors.end(), text) == errors.end()) errors.push_back(text);
  }
  std::string joined;
  for (size_t i = 0; i < errors.size() && i < 3; ++i) joined += (i == 0 ? "" : "; ") + errors[i];
  return joined;
}

PeakLevels ReadPeakLevels(const std::string& messages, const std::string& instance) {
  PeakLevels peaks;
  const std::string key = "Peak level dB: ";
  // A named filter's messages come with its name: "[astats@lfe @ 0x...]".
  const std::string context = "@" + instance + " @ ";
  std::istringstream lines(messages);
  for (std::string line; std::getline(lines, line);) {
    const size_t at = line.find(key);
    if (at == std::string::npos || (!instance.empty() && line.find(context) == std::string::npos)) continue;
    const char* value = line.c_str() + at + key.size();
    char* end = nullptr;
    const double peak = std::strtod(value, &end);
    if (end == value) continue;
    ++peaks.Count;
    // "-inf" reads as minus infinity: a silent part.
    if (peak > -1e300 && (!peaks.Loudest || peak > *peaks.Loudest)) peaks.Loudest = peak;
  }
  return peaks;
}

}  // namespace kavrin::backends
