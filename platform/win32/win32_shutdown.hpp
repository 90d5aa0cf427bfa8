#pragma once

#include <functional>

#include "platform/shutdown_api.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

class Win32ShutdownApi final : public ShutdownApi {
 public:
  // `endProgram` ends the program through its ordinary exit; the window layer
  // gives one that destroys the window without storing the settings. Without
  // one the process ends at once (ExitProcess).
  explicit Win32ShutdownApi(std::function<void(int)> endProgram = {});

  bool QueryPlatformId(std::uint32_t& platformId) override;
  bool OpenProcessToken(std::uint32_t desiredAccess) override;
  void EnablePrivilege(const std::string& privilege, std::uint32_t attributes) override;
  void RequestShutdown(std::uint32_t flags) override;
  void EndProgram(int exitCode) override;

 private:
  std::function<void(int)> endProgram_;
  UniqueHandle token_;
};

}  // namespace kavrin::win32
