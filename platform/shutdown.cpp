#include "platform/shutdown.hpp"

#include <cstdint>

namespace kavrin {

namespace {
constexpr std::uint32_t kPlatformNt = 2;
constexpr std::uint32_t kTokenAdjustPrivilegesAndQuery = 0x20 | 0x08;
constexpr std::uint32_t kPrivilegeEnabled = 2;
constexpr std::uint32_t kShutdownForced = 1 | 4;  // EWX_SHUTDOWN | EWX_FORCE
constexpr std::uint32_t kPowerOffForced = 8 | 4;  // EWX_POWEROFF | EWX_FORCE
}  // namespace

bool ShutdownComputer(ShutdownApi& api) {
  std::uint32_t platformId = 0;
  if (!api.QueryPlatformId(platformId)) return false;

  if (platformId != kPlatformNt) {
    // The old family needs no privilege for a shutdown.
    api.RequestShutdown(kShutdownForced);
  } else if (api.OpenProcessToken(kTokenAdjustPrivilegesAndQuery)) {
    // Neither result is checked: the program ends whether or not the
    // request was granted.
    api.EnablePrivilege("SeShutdownPrivilege", kPrivilegeEnabled);
    api.RequestShutdown(kPowerOffForced);
  }
  return true;
}

}  // namespace kavrin
