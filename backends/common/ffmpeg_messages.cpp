#include "backends/common/ffmpeg_messages.hpp"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <utility>
#include <vector>

namespace kavrin::backends {
namespace {

// A stream as ffmpeg lists its input's: "Stream #0:1[0x80]: Audio: ac3, ...".
struct ListedStream {
  std::string Id;     // "0x80" in a program stream; empty elsewhere
  std::string Kind;   // "Audio", "Video", ...
  std::string Codec;  // as ffmpeg names it: "ac3", "dts", "pcm_dvd"
};

std::vector<ListedStream> InputStreams(const std::string& messages) {
  std::vector<ListedStream> streams;
  std::istringstream lines(messages);
  bool input = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("Input #0") != std::string::npos) input = true;
    if (line.find("Output #") != std::string::npos || line.find("Stream mapping:") != std::string::npos) input = false;
    const size_t at = line.find("Stream #0:");
    const size_t colon = line.find(": ", at);
    if (!input || at == std::string::npos || colon == std::string::npos) continue;
    ListedStream stream;
    const size_t open = line.find('[', at);
    if (open < colon) stream.Id = line.substr(open + 1, line.find(']', open) - open - 1);
    const size_t kindEnd = line.find(": ", colon + 2);
    if (kindEnd == std::string::npos) continue;
    stream.Kind = line.substr(colon + 2, kindEnd - colon - 2);
    stream.Codec = line.substr(kindEnd + 2, line.find_first_of(", ", kindEnd + 2) - kindEnd - 2);
    streams.push_back(stream);
  }
  return streams;
}

std::string AudioName(const std::string& codec) {
  static const std::pair<const char*, const char*> kNames[] = {{"ac3", "AC3"},
                                                               {"eac3", "E-AC3 (Dolby Digital Plus)"},
                                                               {"dts", "DTS"},
                                                               {"pcm_dvd", "LPCM"},
                                                               {"truehd", "Dolby TrueHD"},
                                                               {"mlp", "MLP"},
                                                               {"mp1", "MPEG audio"},
                                                               {"mp2", "MPEG audio"},
                                                               {"mp3", "MPEG audio"},
                                                               {"aac", "AAC"}};
  for (const auto& [name, words] : kNames) {
    if (codec == name) return words;
  }
  return codec;
}

std::string JoinedWithAnd(const std::vector<std::string>& words) {
  std::string text;
  for (size_t i = 0; i < words.size(); ++i) text += (i == 0 ? "" : i + 1 == words.size() ? " and " : ", ") + words[i];
  return text;
}

}  // namespace

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
    // The null output of a measuring branch complains of the timestamps of
    // the frames it throws away; that is never why a run failed.
    if (text.empty() || text.find("non monotonically increasing dts") != std::string::npos) continue;
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

std::string InputProblem(const std::string& messages, const std::optional<std::string>& substream,
                         const std::string& head) {
  if (messages.find("Input #0") != std::string::npos) {
    // The stream asked for is not there.
    if (messages.find("matches no streams") != std::string::npos) {
      std::vector<std::string> ac3;
      std::vector<std::string> others;
      for (const ListedStream& s : InputStreams(messages)) {
        if (s.Kind == "Audio")
          (s.Codec == "ac3" ? ac3 : others).push_back((s.Codec == "ac3" ? "" : AudioName(s.Codec) + " ") + s.Id);
      }
      if (!substream) return ac3.empty() && others.empty() ? "the file holds no audio stream" : std::string();
      std::string text = "the file has no stream " + *substream;
      if (ac3.empty() && others.empty()) return text + " and no audio stream at all";
      text += ac3.empty()       ? "; it holds no AC3 stream"
              : ac3.size() == 1 ? "; it holds the AC3 stream " + ac3.front()
                                : "; it holds the AC3 streams " + JoinedWithAnd(ac3);
      if (!others.empty())
        text += (ac3.empty() ? ", only " : ", and ") + JoinedWithAnd(others) + ", which the transcoder does not take";
      return text;
    }
    // It is there, but no AC3: "Decoder (codec eac3) not found".
    const std::string key = "Decoder (codec ";
    const size_t at = messages.find(key);
    if (at == std::string::npos) return {};
    const std::string codec = messages.substr(at + key.size(), messages.find(')', at) - at - key.size());
    return (substream ? "stream " + *substream : std::string("the file")) + " is " + AudioName(codec) + ", not AC3";
  }
  // ffmpeg could not tell what the file is: its first bytes may.
  if (messages.find("Invalid data found when processing input") == std::string::npos) return {};
  const auto byte = [&](size_t at) { return at < head.size() ? static_cast<unsigned char>(head[at]) : 0u; };
  if (byte(0) == 0x0B && byte(1) == 0x77 && (byte(5) >> 3) > 10)
    return "the file is " + AudioName("eac3") + ", not AC3";
  if (head.compare(0, 3, "ID3") == 0 || (byte(0) == 0xFF && (byte(1) & 0xE0) == 0xE0))
    return "the file is " + AudioName("mp3") + ", not AC3";
  return "the file is neither AC3 nor a DVD video file";
}

}  // namespace kavrin::backends
