#pragma once

#include "platform/text_services.hpp"

namespace kavrin::win32 {

class Win32Collation final : public Collation {
 public:
  int CompareIgnoreCase(const std::string& a, const std::string& b) override;
};

class Win32ErrorTexts final : public ErrorTexts {
 public:
  std::string SystemErrorText(std::uint32_t code) override;
};

}  // namespace kavrin::win32
