#pragma once

#include <string>

#include "core/error.hpp"

namespace kavrin {

// Comparison of texts by the user's locale, ignoring case (CompareStringA).
class Collation {
 public:
  virtual ~Collation() = default;
  // Negative, zero or positive like strcmp.
  virtual int CompareIgnoreCase(const std::string& a, const std::string& b) = 0;
};

}  // namespace kavrin
