#pragma once

#include "platform/profile.hpp"

namespace kavrin::win32 {

class Win32ProfileStore final : public ProfileStore {
 public:
  std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& defaultValue) override;
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override;
};

class Win32ProgramLocation final : public ProgramLocation {
 public:
  std::string ExecutablePath() override;
};

}  // namespace kavrin::win32
