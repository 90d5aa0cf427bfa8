#pragma once

#include "platform/file_system.hpp"

namespace kavrin::win32 {

class Win32FileLookup final : public FileLookup {
 public:
  Presence Look(const std::string& path) override;
  bool LastWriteTimeUtc(const std::string& path, DateTime& time, std::uint32_t& errorCode) override;
};

}  // namespace kavrin::win32
