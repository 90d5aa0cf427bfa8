#pragma once

#include <string>

#include "platform/profile.hpp"

namespace kavrin::fakes {

// The running program's path, as a test sets it.
class FakeProgramLocation final : public ProgramLocation {
 public:
  std::string ExecutablePath() override { return path; }
  std::string path = "C:\\Kavrin\\kavrin.exe";
};

}  // namespace kavrin::fakes
