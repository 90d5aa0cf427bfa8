#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/shutdown_api.hpp"

namespace kavrin::fakes {

// Records every call as one line, e.g. "OpenProcessToken 40"; nothing is
// shut down.
class FakeShutdownApi final : public ShutdownApi {
 public:
  bool QueryPlatformId(std::uint32_t& platformId) override;
  bool OpenProcessToken(std::uint32_t desiredAccess) override;
  void EnablePrivilege(const std::string& privilege, std::uint32_t attributes) override;
  void RequestShutdown(std::uint32_t flags) override;

  std::uint32_t platformId = 2;
  bool failVersionQuery = false;
  bool failOpenToken = false;
  std::vector<std::string> calls;
};

}  // namespace kavrin::fakes
