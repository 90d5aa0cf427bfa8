#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kavrin {

inline constexpr std::uint32_t kStillActive = 259;

// A started child: owns its process and thread handles.
class ChildProcess {
 public:
  virtual ~ChildProcess() = default;

  // GetExitCodeProcess; false when the query fails (the code is then untouched).
  virtual bool QueryExitCode(std::uint32_t& code) = 0;

  // True once the process handle is signalled (a wait with time-out 0).
  virtual bool HasEnded() = 0;

  // The system's id of the process, which its windows carry.
  virtual std::uint32_t Id() const = 0;

  // Closes the process handle, then the thread handle. Further calls do
  // nothing; the destructor closes whatever is still open.
  virtual void CloseHandles() = 0;
};

// CreateProcessA, minimised without activation (SW_SHOWMINNOACTIVE), normal
// priority, handles inherited, the program's own environment.
class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;

  // No application name means the program is the first item of the command
  // line. No current folder means the child starts in ours. Null on failure.
  virtual std::unique_ptr<ChildProcess> Start(const std::optional<std::string>& applicationName,
                                              const std::string& commandLine,
                                              const std::optional<std::string>& currentFolder) = 0;
};

}  // namespace kavrin
