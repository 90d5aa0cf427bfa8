#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/text_services.hpp"

namespace kavrin::fakes {

// Byte order after ASCII upper-casing: enough to tell case-blind ordering
// from plain byte order.
class FakeCollation final : public Collation {
 public:
  int CompareIgnoreCase(const std::string& a, const std::string& b) override;
  int comparisons = 0;
};

// Texts set per code; an unknown code gives "".
class FakeErrorTexts final : public ErrorTexts {
 public:
  std::string SystemErrorText(std::uint32_t code) override;

  std::map<std::uint32_t, std::string> texts;
  std::vector<std::uint32_t> asked;
};

}  // namespace kavrin::fakes
