#pragma once

#include "platform/shutdown_api.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

class Win32ShutdownApi final : public ShutdownApi {
 public:
  bool QueryPlatformId(std::uint32_t& platformId) override;
  bool OpenProcessToken(std::uint32_t desiredAccess) override;
  void EnablePrivilege(const std::string& privilege, std::uint32_t attributes) override;
  void RequestShutdown(std::uint32_t flags) override;

 private:
  UniqueHandle token_;
};

}  // namespace kavrin::win32
