#pragma once

#include <functional>
#include <memory>

#include "platform/shutdown_api.hpp"

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
  struct CloseToken {
    void operator()(void* token) const;
  };

  std::function<void(int)> endProgram_;
  std::unique_ptr<void, CloseToken> token_;
};

}  // namespace kavrin::win32
