#pragma once

#include <cstdint>
#include <string>

namespace kavrin {

// The Windows operations that shut the computer down.
class ShutdownApi {
 public:
  virtual ~ShutdownApi() = default;

  // GetVersionExA with a 148-byte OSVERSIONINFOA; false when the query fails.
  virtual bool QueryPlatformId(std::uint32_t& platformId) = 0;

  // OpenProcessToken on the current process with the given access.
  virtual bool OpenProcessToken(std::uint32_t desiredAccess) = 0;

  // LookupPrivilegeValueA on the local system, then AdjustTokenPrivileges on
  // the opened token with one privilege carrying `attributes`.
  virtual void EnablePrivilege(const std::string& privilege, std::uint32_t attributes) = 0;

  // ExitWindowsEx with reserved value 0. Not called ExitWindows: winuser.h
  // defines that name as a macro.
  virtual void RequestShutdown(std::uint32_t flags) = 0;
};

}  // namespace kavrin
