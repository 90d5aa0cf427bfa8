#pragma once

#include <optional>
#include <string>

#include "backends/transcoder/arguments.hpp"

namespace kavrin::transcoder {

// The report that goes to the log file, or to the error output without one.
class Report {
 public:
  void Line(const std::string& label, const std::string& text) { text_ += "  " + label + ": " + text + "\r\n"; }
  // Appended to the log file, never rewriting it; to the error output too.
  void Write(const std::optional<std::string>& logFile) const;

 private:
  std::string text_;
};

// The compression the AC3 decoder applies, as its options: "normal" is the
// dynamic range words as the stream gives them, "light" half of them in dB,
// "heavy" the stronger words meant for loudspeakers of small range.
struct CompressionOptions {
  const char* Name;
  const char* DrcScale;
  bool Heavy;
};
CompressionOptions OptionsOf(Compression compression);

// A number with this many decimals, for a report.
std::string Fixed(double value, int decimals);

}  // namespace kavrin::transcoder
