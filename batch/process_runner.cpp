#include "batch/process_runner.hpp"

#include <optional>

namespace kavrin {

void WaitForProcessEnd(ChildProcess& child, Clock& clock, MessagePump& pump, std::uint32_t& exitCode) {
  for (;;) {
    clock.Sleep(1000);
    pump.ProcessMessages();
    // A failed query ends the wait, as the untouched code would normally do.
    if (!child.QueryExitCode(exitCode)) return;
    if (exitCode != kStillActive) return;
    // A child may really exit with 259; its signalled handle tells it apart.
    // It may also have ended just after the query: its code is final now.
    if (child.HasEnded()) {
      child.QueryExitCode(exitCode);
      return;
    }
  }
}

bool RunAndWait(ProcessLauncher& launcher, const std::string& commandLine, Clock& clock, MessagePump& pump,
                std::uint32_t& exitCode) {
  const std::unique_ptr<ChildProcess> child = launcher.Start(std::nullopt, commandLine, std::nullopt);
  if (!child) return false;
  WaitForProcessEnd(*child, clock, pump, exitCode);
  child->CloseHandles();
  return true;
}

}  // namespace kavrin
