#pragma once

#include "platform/process.hpp"
#include "platform/win32/unique_resource.hpp"

namespace kavrin::win32 {

// Every program it starts, and whatever that starts in turn, belongs to one
// job that ends them all when the launcher's last handle goes: when Kavrin
// ends, also killed, no transcoder or encoder of its batch outlives it to
// write into a later batch's tracks.
class Win32ProcessLauncher final : public ProcessLauncher {
 public:
  Win32ProcessLauncher();

  std::unique_ptr<ChildProcess> Start(const std::optional<std::string>& applicationName, const std::string& commandLine,
                                      const std::optional<std::string>& currentFolder) override;

 private:
  UniqueHandle job_;
};

}  // namespace kavrin::win32
