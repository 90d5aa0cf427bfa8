#pragma once

#include <cstdint>
#include <string>

namespace kavrin {

// Comparison of texts by the user's locale, ignoring case (CompareStringA).
class Collation {
 public:
  virtual ~Collation() = default;
  // Negative, zero or positive like strcmp.
  virtual int CompareIgnoreCase(const std::string& a, const std::string& b) = 0;
};

// The system's message text for an error code (FormatMessageA), without the
// trailing line break.
class ErrorTexts {
 public:
  virtual ~ErrorTexts() = default;
  virtual std::string SystemErrorText(std::uint32_t code) = 0;
};

}  // namespace kavrin
