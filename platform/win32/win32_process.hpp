#pragma once

#include "platform/process.hpp"

namespace kavrin::win32 {

class Win32ProcessLauncher final : public ProcessLauncher {
 public:
  std::unique_ptr<ChildProcess> Start(const std::optional<std::string>& applicationName, const std::string& commandLine,
                                      const std::optional<std::string>& currentFolder) override;
};

}  // namespace kavrin::win32
